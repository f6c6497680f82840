// Per-pixel combine classes: each has one static doPix, so every drawing loop
// is instantiated per class and the formula is inlined.
//
// Each formula is written once, as apply<N> over an integer type N. doPix runs
// it in int, as every drawing loop does: their channels and weights lie within
// +-kPxMaxWeight, where no formula can overflow an int. apply<PxWide> runs it
// in 128-bit integers for callers whose values are any int (single pixels,
// gradients): for every input whose int arithmetic does not overflow the result
// is exactly the int result, and with int inputs nothing can overflow 128 bits.
#pragma once

#include "raster/pixels/bitmap.h"
#include "raster/pixels/hsv_p.h"

__extension__ typedef __int128 PxWide;

// Any bit above bit 7 set: 0 when negative, else 255.
template <class N>
static inline int px_clamp_chan(N v) {
  return (v & ~255) ? (v < 0 ? 0 : 255) : (int)v;
}

// Unclamped values keep their low 8 bits.
template <bool CLAMP, class N>
static inline void px_store(PX_pixel_chan* d, N r, N g, N b, N a) {
  if (CLAMP) {
    d[PX_PIXEL_R] = (PX_pixel_chan)px_clamp_chan(r);
    d[PX_PIXEL_G] = (PX_pixel_chan)px_clamp_chan(g);
    d[PX_PIXEL_B] = (PX_pixel_chan)px_clamp_chan(b);
    d[PX_PIXEL_A] = (PX_pixel_chan)px_clamp_chan(a);
  } else {
    d[PX_PIXEL_R] = (PX_pixel_chan)r;
    d[PX_PIXEL_G] = (PX_pixel_chan)g;
    d[PX_PIXEL_B] = (PX_pixel_chan)b;
    d[PX_PIXEL_A] = (PX_pixel_chan)a;
  }
}

// doPix of class C: its formula in int.
template <class C>
struct PxIntPix {
  static inline void doPix(PX_pixel_chan* d, int r, int g, int b, int a, int alpha) {
    C::template apply<int>(d, r, g, b, a, alpha);
  }
};

template <bool CLAMP>
struct PxClobber : PxIntPix<PxClobber<CLAMP>> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N) {
    px_store<CLAMP>(d, r, g, b, a);
  }
};
typedef PxClobber<false> PX_CombinePixelsClobberNoClamp;
typedef PxClobber<true> PX_CombinePixelsClobberClamp;

template <bool CLAMP>
struct PxCopy : PxIntPix<PxCopy<CLAMP>> {
  template <class N>
  static inline N mix(N s, int d, N inv) {
    return s + (d - s) * inv / 256;
  }
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    const N inv = 256 - alpha;
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

struct PX_CombinePixelsAdd : PxIntPix<PX_CombinePixelsAdd> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    px_store<true>(d, d[PX_PIXEL_R] + r * alpha / 256, d[PX_PIXEL_G] + g * alpha / 256,
                   d[PX_PIXEL_B] + b * alpha / 256, d[PX_PIXEL_A] + a * alpha / 256);
  }
};

struct PX_CombinePixelsColorDodge : PxIntPix<PX_CombinePixelsColorDodge> {
  template <class N>
  static inline N dodge(N s, int d, N alpha) {
    const N t = 256 - s * alpha / 256;
    return t > 1 ? d * 256 / t : (N)(d * 256);
  }
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    px_store<true>(d, dodge(r, d[PX_PIXEL_R], alpha), dodge(g, d[PX_PIXEL_G], alpha),
                   dodge(b, d[PX_PIXEL_B], alpha), dodge(a, d[PX_PIXEL_A], alpha));
  }
};

template <bool CLAMP>
struct PxMul : PxIntPix<PxMul<CLAMP>> {
  template <class N>
  static inline N mul(N s, int d, N alpha) {
    return (d * ((256 - alpha) * 256 + s * alpha)) >> 16;
  }
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    px_store<CLAMP>(d, mul(r, d[PX_PIXEL_R], alpha), mul(g, d[PX_PIXEL_G], alpha),
                    mul(b, d[PX_PIXEL_B], alpha), mul(a, d[PX_PIXEL_A], alpha));
  }
};
typedef PxMul<false> PX_CombinePixelsMulNoClamp;
typedef PxMul<true> PX_CombinePixelsMulClamp;

struct PX_CombinePixelsOverlay : PxIntPix<PX_CombinePixelsOverlay> {
  template <class N>
  static inline N overlay(N s, int d, N alpha) {
    const N t = s * alpha + (256 - alpha) * 128;
    return (d * ((d * (32768 - t)) / 256 + t)) >> 15;
  }
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    px_store<true>(d, overlay(r, d[PX_PIXEL_R], alpha), overlay(g, d[PX_PIXEL_G], alpha),
                   overlay(b, d[PX_PIXEL_B], alpha), overlay(a, d[PX_PIXEL_A], alpha));
  }
};

struct PX_CombinePixelsHSVAdjust : PxIntPix<PX_CombinePixelsHSVAdjust> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    int h0, s0, v0;
    PX_RGB2HSV(d[PX_PIXEL_R], d[PX_PIXEL_G], d[PX_PIXEL_B], &h0, &s0, &v0);
    N h = h0 + ((r + r / 2 - 192) * alpha) / 256;
    if (h < 0) h += 384;
    else if (h >= 384) h -= 384;
    const int s = px_hsv_clamp(s0 + ((g - 128) * alpha) / 128);
    const int v = px_hsv_clamp(v0 + ((b - 128) * alpha) / 128);
    // Writes the whole word at once; an alpha outside a byte saturates.
    const PX_pixel p = PX_HSV2Pix((int)(h % 384), s, v, px_hsv_clamp(a));
    d[PX_PIXEL_A] = (PX_pixel_chan)PX_GETA(p);
    d[PX_PIXEL_R] = (PX_pixel_chan)PX_GETR(p);
    d[PX_PIXEL_G] = (PX_pixel_chan)PX_GETG(p);
    d[PX_PIXEL_B] = (PX_pixel_chan)PX_GETB(p);
  }
};

// Source-alpha copy at full weight: the source alpha alone decides.
template <bool CLAMP>
struct PxCopySrcAlphaFull : PxIntPix<PxCopySrcAlphaFull<CLAMP>> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N) {
    if (a == 0) return;
    if (a == 255) {
      px_store<CLAMP>(d, r, g, b, a);
      return;
    }
    const N w = 255 - a;
    const N da = a + d[PX_PIXEL_A];
    px_store<CLAMP>(d, r + (d[PX_PIXEL_R] - r) * w / 256, g + (d[PX_PIXEL_G] - g) * w / 256,
                    b + (d[PX_PIXEL_B] - b) * w / 256, CLAMP ? da : (da > 255 ? (N)255 : da));
  }
};
typedef PxCopySrcAlphaFull<false> PX_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp;
typedef PxCopySrcAlphaFull<true> PX_CombinePixelsCopySourceAlphaIgnoreAlphaParmClamp;

template <class N>
static inline N px_srcalpha_weight(N alpha, N a) {
  return alpha * (a + 1) / 256;
}

template <bool CLAMP>
struct PxCopySrcAlpha : PxIntPix<PxCopySrcAlpha<CLAMP>> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    if (a == 0) return;
    const N w = px_srcalpha_weight(alpha, a);
    const N inv = 256 - w;
    const N da = w + d[PX_PIXEL_A];
    px_store<CLAMP>(d, r + (d[PX_PIXEL_R] - r) * inv / 256, g + (d[PX_PIXEL_G] - g) * inv / 256,
                    b + (d[PX_PIXEL_B] - b) * inv / 256, CLAMP ? da : (da > 255 ? (N)255 : da));
  }
};
typedef PxCopySrcAlpha<false> PX_CombinePixelsCopySourceAlphaNoClamp;
typedef PxCopySrcAlpha<true> PX_CombinePixelsCopySourceAlphaClamp;

// Scales the weight by the source alpha, then applies BASE; SKIP0 leaves
// pixels of source alpha 0 untouched.
template <class BASE, bool SKIP0>
struct PxSrcAlphaOf : PxIntPix<PxSrcAlphaOf<BASE, SKIP0>> {
  template <class N>
  static inline void apply(PX_pixel_chan* d, N r, N g, N b, N a, N alpha) {
    if (SKIP0 && a == 0) return;
    BASE::template apply<N>(d, r, g, b, a, px_srcalpha_weight(alpha, a));
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
