// Per-pixel combine classes: each has one static doPix, so every drawing loop
// is instantiated per class and the formula is inlined.
#pragma once

#include "raster/pixels/bitmap.h"
#include "raster/pixels/hsv_p.h"

// Any bit above bit 7 set: 0 when negative, else 255.
static inline int px_clamp_chan(int v) { return (v & ~255) ? (v < 0 ? 0 : 255) : v; }

template <bool CLAMP>
static inline void px_store(PX_pixel_chan* d, int r, int g, int b, int a) {
  if (CLAMP) {
    r = px_clamp_chan(r);
    g = px_clamp_chan(g);
    b = px_clamp_chan(b);
    a = px_clamp_chan(a);
  }
  d[PX_PIXEL_R] = (PX_pixel_chan)r;
  d[PX_PIXEL_G] = (PX_pixel_chan)g;
  d[PX_PIXEL_B] = (PX_pixel_chan)b;
  d[PX_PIXEL_A] = (PX_pixel_chan)a;
}

template <bool CLAMP>
struct PxClobber {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int) {
    px_store<CLAMP>(d, r, g, b, a);
  }
};
typedef PxClobber<false> PX_CombinePixelsClobberNoClamp;
typedef PxClobber<true> PX_CombinePixelsClobberClamp;

template <bool CLAMP>
struct PxCopy {
  static inline int mix(int s, int d, int inv) { return s + (d - s) * inv / 256; }
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    const int inv = 256 - alpha;
    px_store<CLAMP>(d, mix(r, d[PX_PIXEL_R], inv), mix(g, d[PX_PIXEL_G], inv),
                    mix(b, d[PX_PIXEL_B], inv), mix(a, d[PX_PIXEL_A], inv));
  }
};
typedef PxCopy<false> PX_CombinePixelsCopyNoClamp;
typedef PxCopy<true> PX_CombinePixelsCopyClamp;

struct PX_CombinePixelsHalfMixNoClamp {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int) {
    px_store<false>(d, (r + d[PX_PIXEL_R]) >> 1, (g + d[PX_PIXEL_G]) >> 1, (b + d[PX_PIXEL_B]) >> 1,
                    (a + d[PX_PIXEL_A]) >> 1);
  }
};

struct PX_CombinePixelsAdd {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    px_store<true>(d, d[PX_PIXEL_R] + r * alpha / 256, d[PX_PIXEL_G] + g * alpha / 256,
                   d[PX_PIXEL_B] + b * alpha / 256, d[PX_PIXEL_A] + a * alpha / 256);
  }
};

struct PX_CombinePixelsColorDodge {
  static inline int dodge(int s, int d, int alpha) {
    const int t = 256 - s * alpha / 256;
    return t > 1 ? d * 256 / t : d * 256;
  }
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    px_store<true>(d, dodge(r, d[PX_PIXEL_R], alpha), dodge(g, d[PX_PIXEL_G], alpha),
                   dodge(b, d[PX_PIXEL_B], alpha), dodge(a, d[PX_PIXEL_A], alpha));
  }
};

template <bool CLAMP>
struct PxMul {
  static inline int mul(int s, int d, int alpha) {
    return (d * ((256 - alpha) * 256 + s * alpha)) >> 16;
  }
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    px_store<CLAMP>(d, mul(r, d[PX_PIXEL_R], alpha), mul(g, d[PX_PIXEL_G], alpha),
                    mul(b, d[PX_PIXEL_B], alpha), mul(a, d[PX_PIXEL_A], alpha));
  }
};
typedef PxMul<false> PX_CombinePixelsMulNoClamp;
typedef PxMul<true> PX_CombinePixelsMulClamp;

struct PX_CombinePixelsOverlay {
  static inline int overlay(int s, int d, int alpha) {
    const int t = s * alpha + (256 - alpha) * 128;
    return (d * ((d * (32768 - t)) / 256 + t)) >> 15;
  }
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    px_store<true>(d, overlay(r, d[PX_PIXEL_R], alpha), overlay(g, d[PX_PIXEL_G], alpha),
                   overlay(b, d[PX_PIXEL_B], alpha), overlay(a, d[PX_PIXEL_A], alpha));
  }
};

struct PX_CombinePixelsHSVAdjust {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    int h, s, v;
    PX_RGB2HSV(d[PX_PIXEL_R], d[PX_PIXEL_G], d[PX_PIXEL_B], &h, &s, &v);
    h += ((r + r / 2 - 192) * alpha) / 256;
    if (h < 0) h += 384;
    else if (h >= 384) h -= 384;
    s = px_hsv_clamp(s + ((g - 128) * alpha) / 128);
    v = px_hsv_clamp(v + ((b - 128) * alpha) / 128);
    // Writes the whole word at once; an alpha outside a byte saturates.
    const PX_pixel p = PX_HSV2Pix(h, s, v, a < 0 ? 0 : a > 255 ? 255 : a);
    d[PX_PIXEL_A] = (PX_pixel_chan)PX_GETA(p);
    d[PX_PIXEL_R] = (PX_pixel_chan)PX_GETR(p);
    d[PX_PIXEL_G] = (PX_pixel_chan)PX_GETG(p);
    d[PX_PIXEL_B] = (PX_pixel_chan)PX_GETB(p);
  }
};

// Source-alpha copy at full weight: the source alpha alone decides.
template <bool CLAMP>
struct PxCopySrcAlphaFull {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int) {
    if (a == 0) return;
    if (a == 255) {
      px_store<CLAMP>(d, r, g, b, a);
      return;
    }
    const int w = 255 - a;
    const int da = a + d[PX_PIXEL_A];
    px_store<CLAMP>(d, r + (d[PX_PIXEL_R] - r) * w / 256, g + (d[PX_PIXEL_G] - g) * w / 256,
                    b + (d[PX_PIXEL_B] - b) * w / 256, CLAMP ? da : (da > 255 ? 255 : da));
  }
};
typedef PxCopySrcAlphaFull<false> PX_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
typedef PxCopySrcAlphaFull<true> PX_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp;

static inline int px_srcalpha_weight(int alpha, int a) { return alpha * (a + 1) / 256; }

template <bool CLAMP>
struct PxCopySrcAlpha {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    if (a == 0) return;
    const int w = px_srcalpha_weight(alpha, a);
    const int inv = 256 - w;
    const int da = w + d[PX_PIXEL_A];
    px_store<CLAMP>(d, r + (d[PX_PIXEL_R] - r) * inv / 256, g + (d[PX_PIXEL_G] - g) * inv / 256,
                    b + (d[PX_PIXEL_B] - b) * inv / 256, CLAMP ? da : (da > 255 ? 255 : da));
  }
};
typedef PxCopySrcAlpha<false> PX_CombinePixelsCopySourceAlphaNoClamp;
typedef PxCopySrcAlpha<true> PX_CombinePixelsCopySourceAlphaClamp;

// Scales the weight by the source alpha, then applies BASE; SKIP0 leaves
// pixels of source alpha 0 untouched.
template <class BASE, bool SKIP0>
struct PxSrcAlphaOf {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    if (SKIP0 && a == 0) return;
    BASE::doPix(d, r, g, b, a, px_srcalpha_weight(alpha, a));
  }
};
typedef PxSrcAlphaOf<PX_CombinePixelsAdd, true> PX_CombinePixelsAddSourceAlpha;
typedef PxSrcAlphaOf<PX_CombinePixelsColorDodge, false> PX_CombinePixelsColorDodgeSourceAlpha;
typedef PxSrcAlphaOf<PX_CombinePixelsMulNoClamp, true> PX_CombinePixelsMulSourceAlphaNoClamp;
typedef PxSrcAlphaOf<PX_CombinePixelsMulClamp, true> PX_CombinePixelsMulSourceAlphaClamp;
typedef PxSrcAlphaOf<PX_CombinePixelsOverlay, false> PX_CombinePixelsOverlaySourceAlpha;
typedef PxSrcAlphaOf<PX_CombinePixelsHSVAdjust, false> PX_CombinePixelsHSVAdjustSourceAlpha;

// Whole-word classes: act on all four bytes at once with per-byte truncation;
// the caller pre-shifts the source word as each class notes.
struct PX_CombinePixelsClobberFAST {
  static inline void doPix(PX_pixel* d, PX_pixel src) { *d = src; }
};
struct PX_CombinePixelsHalfMixFAST {  // src unshifted
  static inline void doPix(PX_pixel* d, PX_pixel src) {
    *d = ((*d >> 1) & 0x7f7f7f7f) + ((src >> 1) & 0x7f7f7f7f);
  }
};
struct PX_CombinePixelsHalfMix2FAST {  // src = (colour >> 1) & 0x7f7f7f7f
  static inline void doPix(PX_pixel* d, PX_pixel src) { *d = src + ((*d >> 1) & 0x7f7f7f7f); }
};
struct PX_CombinePixelsQuarterMix2FAST {  // src = (colour >> 2) & 0x3f3f3f3f
  static inline void doPix(PX_pixel* d, PX_pixel src) {
    *d = ((*d >> 1) & 0x7f7f7f7f) + ((*d >> 2) & 0x3f3f3f3f) + src;
  }
};
struct PX_CombinePixelsThreeQuarterMix2FAST {  // src = half + quarter of the colour
  static inline void doPix(PX_pixel* d, PX_pixel src) { *d = src + ((*d >> 2) & 0x3f3f3f3f); }
};
