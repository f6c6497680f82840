// Per-pixel combine classes: each has one static doPix, so every drawing loop
// is instantiated per class and the formula is inlined.
#pragma once

#include "raster/lice_bitmap.h"
#include "raster/lice_hsv_p.h"

// Any bit above bit 7 set: 0 when negative, else 255.
static inline int lice_clamp_chan(int v) { return (v & ~255) ? (v < 0 ? 0 : 255) : v; }

template <bool CLAMP>
static inline void lice_store(LICE_pixel_chan* d, int r, int g, int b, int a) {
  if (CLAMP) {
    r = lice_clamp_chan(r);
    g = lice_clamp_chan(g);
    b = lice_clamp_chan(b);
    a = lice_clamp_chan(a);
  }
  d[LICE_PIXEL_R] = (LICE_pixel_chan)r;
  d[LICE_PIXEL_G] = (LICE_pixel_chan)g;
  d[LICE_PIXEL_B] = (LICE_pixel_chan)b;
  d[LICE_PIXEL_A] = (LICE_pixel_chan)a;
}

template <bool CLAMP>
struct LiceClobber {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int) {
    lice_store<CLAMP>(d, r, g, b, a);
  }
};
typedef LiceClobber<false> _LICE_CombinePixelsClobberNoClamp;
typedef LiceClobber<true> _LICE_CombinePixelsClobberClamp;

template <bool CLAMP>
struct LiceCopy {
  static inline int mix(int s, int d, int inv) { return s + (d - s) * inv / 256; }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    const int inv = 256 - alpha;
    lice_store<CLAMP>(d, mix(r, d[LICE_PIXEL_R], inv), mix(g, d[LICE_PIXEL_G], inv),
                      mix(b, d[LICE_PIXEL_B], inv), mix(a, d[LICE_PIXEL_A], inv));
  }
};
typedef LiceCopy<false> _LICE_CombinePixelsCopyNoClamp;
typedef LiceCopy<true> _LICE_CombinePixelsCopyClamp;

struct _LICE_CombinePixelsHalfMixNoClamp {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int) {
    lice_store<false>(d, (r + d[LICE_PIXEL_R]) >> 1, (g + d[LICE_PIXEL_G]) >> 1,
                      (b + d[LICE_PIXEL_B]) >> 1, (a + d[LICE_PIXEL_A]) >> 1);
  }
};

struct _LICE_CombinePixelsAdd {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    lice_store<true>(d, d[LICE_PIXEL_R] + r * alpha / 256, d[LICE_PIXEL_G] + g * alpha / 256,
                     d[LICE_PIXEL_B] + b * alpha / 256, d[LICE_PIXEL_A] + a * alpha / 256);
  }
};

struct _LICE_CombinePixelsColorDodge {
  static inline int dodge(int s, int d, int alpha) {
    const int t = 256 - s * alpha / 256;
    return t > 1 ? d * 256 / t : d * 256;
  }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    lice_store<true>(d, dodge(r, d[LICE_PIXEL_R], alpha), dodge(g, d[LICE_PIXEL_G], alpha),
                     dodge(b, d[LICE_PIXEL_B], alpha), dodge(a, d[LICE_PIXEL_A], alpha));
  }
};

template <bool CLAMP>
struct LiceMul {
  static inline int mul(int s, int d, int alpha) {
    return (d * ((256 - alpha) * 256 + s * alpha)) >> 16;
  }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    lice_store<CLAMP>(d, mul(r, d[LICE_PIXEL_R], alpha), mul(g, d[LICE_PIXEL_G], alpha),
                      mul(b, d[LICE_PIXEL_B], alpha), mul(a, d[LICE_PIXEL_A], alpha));
  }
};
typedef LiceMul<false> _LICE_CombinePixelsMulNoClamp;
typedef LiceMul<true> _LICE_CombinePixelsMulClamp;

struct _LICE_CombinePixelsOverlay {
  static inline int overlay(int s, int d, int alpha) {
    const int t = s * alpha + (256 - alpha) * 128;
    return (d * ((d * (32768 - t)) / 256 + t)) >> 15;
  }
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    lice_store<true>(d, overlay(r, d[LICE_PIXEL_R], alpha), overlay(g, d[LICE_PIXEL_G], alpha),
                     overlay(b, d[LICE_PIXEL_B], alpha), overlay(a, d[LICE_PIXEL_A], alpha));
  }
};

struct _LICE_CombinePixelsHSVAdjust {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    int h, s, v;
    __LICE_RGB2HSV(d[LICE_PIXEL_R], d[LICE_PIXEL_G], d[LICE_PIXEL_B], &h, &s, &v);
    h += ((r + r / 2 - 192) * alpha) / 256;
    if (h < 0)
      h += 384;
    else if (h >= 384)
      h -= 384;
    s = lice_hsv_clamp(s + ((g - 128) * alpha) / 128);
    v = lice_hsv_clamp(v + ((b - 128) * alpha) / 128);
    // Writes the whole word at once; an alpha outside a byte saturates.
    const LICE_pixel p = __LICE_HSV2Pix(h, s, v, a < 0 ? 0 : a > 255 ? 255 : a);
    d[LICE_PIXEL_A] = (LICE_pixel_chan)LICE_GETA(p);
    d[LICE_PIXEL_R] = (LICE_pixel_chan)LICE_GETR(p);
    d[LICE_PIXEL_G] = (LICE_pixel_chan)LICE_GETG(p);
    d[LICE_PIXEL_B] = (LICE_pixel_chan)LICE_GETB(p);
  }
};

// Source-alpha copy at full weight: the source alpha alone decides.
template <bool CLAMP>
struct LiceCopySrcAlphaFull {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int) {
    if (a == 0) return;
    if (a == 255) {
      lice_store<CLAMP>(d, r, g, b, a);
      return;
    }
    const int w = 255 - a;
    const int da = a + d[LICE_PIXEL_A];
    lice_store<CLAMP>(d, r + (d[LICE_PIXEL_R] - r) * w / 256, g + (d[LICE_PIXEL_G] - g) * w / 256,
                      b + (d[LICE_PIXEL_B] - b) * w / 256, CLAMP ? da : (da > 255 ? 255 : da));
  }
};
typedef LiceCopySrcAlphaFull<false> _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
typedef LiceCopySrcAlphaFull<true> _LICE_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp;

static inline int lice_srcalpha_weight(int alpha, int a) { return alpha * (a + 1) / 256; }

template <bool CLAMP>
struct LiceCopySrcAlpha {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    if (a == 0) return;
    const int w = lice_srcalpha_weight(alpha, a);
    const int inv = 256 - w;
    const int da = w + d[LICE_PIXEL_A];
    lice_store<CLAMP>(d, r + (d[LICE_PIXEL_R] - r) * inv / 256,
                      g + (d[LICE_PIXEL_G] - g) * inv / 256, b + (d[LICE_PIXEL_B] - b) * inv / 256,
                      CLAMP ? da : (da > 255 ? 255 : da));
  }
};
typedef LiceCopySrcAlpha<false> _LICE_CombinePixelsCopySourceAlphaNoClamp;
typedef LiceCopySrcAlpha<true> _LICE_CombinePixelsCopySourceAlphaClamp;

// Scales the weight by the source alpha, then applies BASE; SKIP0 leaves
// pixels of source alpha 0 untouched.
template <class BASE, bool SKIP0>
struct LiceSrcAlphaOf {
  static inline void doPix(LICE_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    if (SKIP0 && a == 0) return;
    BASE::doPix(d, r, g, b, a, lice_srcalpha_weight(alpha, a));
  }
};
typedef LiceSrcAlphaOf<_LICE_CombinePixelsAdd, true> _LICE_CombinePixelsAddSourceAlpha;
typedef LiceSrcAlphaOf<_LICE_CombinePixelsColorDodge, false>
    _LICE_CombinePixelsColorDodgeSourceAlpha;
typedef LiceSrcAlphaOf<_LICE_CombinePixelsMulNoClamp, true>
    _LICE_CombinePixelsMulSourceAlphaNoClamp;
typedef LiceSrcAlphaOf<_LICE_CombinePixelsMulClamp, true> _LICE_CombinePixelsMulSourceAlphaClamp;
typedef LiceSrcAlphaOf<_LICE_CombinePixelsOverlay, false> _LICE_CombinePixelsOverlaySourceAlpha;
typedef LiceSrcAlphaOf<_LICE_CombinePixelsHSVAdjust, false> _LICE_CombinePixelsHSVAdjustSourceAlpha;

// Whole-word classes: act on all four bytes at once with per-byte truncation;
// the caller pre-shifts the source word as each class notes.
struct _LICE_CombinePixelsClobberFAST {
  static inline void doPix(LICE_pixel* d, LICE_pixel src) { *d = src; }
};
struct _LICE_CombinePixelsHalfMixFAST {  // src unshifted
  static inline void doPix(LICE_pixel* d, LICE_pixel src) {
    *d = ((*d >> 1) & 0x7f7f7f7f) + ((src >> 1) & 0x7f7f7f7f);
  }
};
struct _LICE_CombinePixelsHalfMix2FAST {  // src = (colour >> 1) & 0x7f7f7f7f
  static inline void doPix(LICE_pixel* d, LICE_pixel src) { *d = src + ((*d >> 1) & 0x7f7f7f7f); }
};
struct _LICE_CombinePixelsQuarterMix2FAST {  // src = (colour >> 2) & 0x3f3f3f3f
  static inline void doPix(LICE_pixel* d, LICE_pixel src) {
    *d = ((*d >> 1) & 0x7f7f7f7f) + ((*d >> 2) & 0x3f3f3f3f) + src;
  }
};
struct _LICE_CombinePixelsThreeQuarterMix2FAST {  // src = half + quarter of the colour
  static inline void doPix(LICE_pixel* d, LICE_pixel src) { *d = src + ((*d >> 2) & 0x3f3f3f3f); }
};
