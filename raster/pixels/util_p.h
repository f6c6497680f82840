// Helpers shared by the raster operations: safe float conversion, weights,
// row addressing and rectangle clipping.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "raster/pixels/bitmap.h"

// Weights from a float opacity are held inside +-kPxMaxWeight (4 x opaque).
// With every channel and weight inside it and destination bytes 0..255, no
// combine formula can overflow an int (the largest intermediate, in the
// source-alpha multiply, stays below 1.4e9).
constexpr int kPxMaxWeight = 1024;

inline bool px_within_max_weight(int64_t v) { return v >= -kPxMaxWeight && v <= kPxMaxWeight; }

// Truncates toward zero like (int)v, saturating at the int range; NaN gives 0.
inline int px_ftoi(double v) {
  if (!(v == v)) return 0;
  if (v >= 2147483647.0) return INT32_MAX;
  if (v <= -2147483648.0) return INT32_MIN;
  return (int)v;
}

inline int px_clampi(int64_t v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : (int)v; }

// Integer weight (int)(alpha x 256), held inside +-kPxMaxWeight.
inline int px_weight(float alpha) {
  return px_clampi(px_ftoi((double)(alpha * 256.0f)), -kPxMaxWeight, kPxMaxWeight);
}

// Start of image row y and the signed step between image rows, in pixels,
// honouring the flipped flag.
struct PxRows {
  PX_pixel* base = nullptr;
  ptrdiff_t step = 0;
  PX_pixel* row(int y) const { return base + step * y; }
};

// flipped tells whether the bitmap stores image row 0 last.
inline PxRows px_rows(PX_IBitmap* bm, bool* flipped) {
  PxRows r;
  *flipped = bm->isFlipped();
  PX_pixel* bits = bm->getBits();
  if (!bits) return r;
  ptrdiff_t span = bm->getRowSpan();
  if (*flipped) {
    r.base = bits + span * (bm->getHeight() - 1);
    r.step = -span;
  } else {
    r.base = bits;
    r.step = span;
  }
  return r;
}

inline PxRows px_rows(PX_IBitmap* bm) {
  bool flipped;
  return px_rows(bm, &flipped);
}

// Clips (x, y, w, h) against a bw x bh bitmap; false when nothing is left to draw.
inline bool px_clip_rect(int bw, int bh, int& x, int& y, int& w, int& h) {
  int64_t x0 = x, y0 = y, w0 = w, h0 = h;
  if (x0 < 0) {
    w0 += x0;
    x0 = 0;
  }
  if (y0 < 0) {
    h0 += y0;
    y0 = 0;
  }
  if (w0 <= 0 || h0 <= 0 || x0 >= bw || y0 >= bh) return false;
  if (w0 > bw - x0) w0 = bw - x0;
  if (h0 > bh - y0) h0 = bh - y0;
  x = (int)x0;
  y = (int)y0;
  w = (int)w0;
  h = (int)h0;
  return true;
}

// The same against bm; also false when bm has no pixels.
inline bool px_clip_rect(PX_IBitmap* bm, int& x, int& y, int& w, int& h) {
  if (!bm || !bm->getBits() || bm->getRowSpan() == 0) return false;
  return px_clip_rect(bm->getWidth(), bm->getHeight(), x, y, w, h);
}
