// Clipped scaled-blit job: 16.16 source walk over a destination rectangle.
#pragma once

#include "raster/pixels/util_p.h"

struct PxScaleJob {
  PxRows d, s;
  int dx, dy, dw, dh;
  int64_t isx, isy, idx, idy;  // source position of the first pixel and steps
  int clip_r, clip_b;          // source columns and rows that may be read
  PX_pixel* drow(int j) const { return d.row(dy + j) + dx; }
};

// 2 x 2 and 1-D linear sampling; fx, fy are 16-bit fractions.
static inline int px_bilerp(int p00, int p01, int p10, int p11, unsigned fx, unsigned fy) {
  const unsigned w11 = (fx * fy) >> 16;
  const int w00 = (int)(65536 - fx - fy + w11), w01 = (int)(fx - w11), w10 = (int)(fy - w11);
  return (p00 * w00 + p01 * w01 + p10 * w10 + p11 * (int)w11) >> 16;
}
static inline int px_lerp(int p0, int p1, unsigned f) {
  return (p0 * (int)(65536 - f) + p1 * (int)f) >> 16;
}

// Bilinear sample at 16.16 (x, y) of a source clipped to clip_r x clip_b, into
// rgba[R, G, B, A]; false where the walk writes nothing.
static inline bool px_sample_bilinear(const PxRows& s, int64_t x, int64_t y, int clip_r, int clip_b,
                                      int* rgba) {
  const uint64_t sx = (uint64_t)(x >> 16), sy = (uint64_t)(y >> 16);
  if (sx >= (uint64_t)clip_r || sy >= (uint64_t)clip_b) return false;
  const unsigned fx = (unsigned)(x & 0xFFFF), fy = (unsigned)(y & 0xFFFF);
  const PX_pixel_chan* p = (const PX_pixel_chan*)(s.row((int)sy) + sx);
  const bool right = sx + 1 < (uint64_t)clip_r, down = sy + 1 < (uint64_t)clip_b;
  const PX_pixel_chan* pd = down ? (const PX_pixel_chan*)(s.row((int)sy + 1) + sx) : p;
  static const int kChan[4] = {PX_PIXEL_R, PX_PIXEL_G, PX_PIXEL_B, PX_PIXEL_A};
  for (int c = 0; c < 4; ++c) {
    const int k = kChan[c];
    if (right && down) rgba[c] = px_bilerp(p[k], p[k + 4], pd[k], pd[k + 4], fx, fy);
    else if (down) rgba[c] = px_lerp(p[k], pd[k], fy);
    else if (right) rgba[c] = px_lerp(p[k], p[k + 4], fx);
    else rgba[c] = p[k];
  }
  return true;
}

// sum / n for a sum of n channel values, n <= 32, without a division:
// ceil(2^18 / n) is within 1 of 2^18 / n, so the product's error stays below
// 255 n / 2^18 <= 1 / n, too little to reach the next integer.
static inline int px_div_sum(int sum, int n) {
  static const unsigned kRecip[33] = {
      0,     262144, 131072, 87382, 65536, 52429, 43691, 37450, 32768, 29128, 26215,
      23832, 21846,  20165,  18725, 17477, 16384, 15421, 14564, 13798, 13108, 12484,
      11916, 11398,  10923,  10486, 10083, 9710,  9363,  9040,  8739,  8457,  8192};
  return (int)(((unsigned)sum * kRecip[n]) >> 18);
}

// Mean of the size x size box (size at most 5) centred on source (sx, sy),
// clipped to the source limits, into rgba[R, G, B, A].
static inline void px_sample_box(const PxRows& s, int sx, int sy, int size, int clip_r, int clip_b,
                                 int* rgba) {
  const int x0 = sx - size / 2, y0 = sy - size / 2;
  const int xlo = x0 > 0 ? x0 : 0, xhi = x0 + size < clip_r ? x0 + size : clip_r;
  const int ylo = y0 > 0 ? y0 : 0, yhi = y0 + size < clip_b ? y0 + size : clip_b;
  int sum[4] = {0, 0, 0, 0};
  for (int y = ylo; y < yhi; ++y) {
    const PX_pixel_chan* p = (const PX_pixel_chan*)(s.row(y) + xlo);
    for (int x = xlo; x < xhi; ++x, p += 4) {
      sum[0] += p[PX_PIXEL_R];
      sum[1] += p[PX_PIXEL_G];
      sum[2] += p[PX_PIXEL_B];
      sum[3] += p[PX_PIXEL_A];
    }
  }
  const int n = (yhi - ylo) * (xhi - xlo);
  for (int c = 0; c < 4; ++c) rgba[c] = px_div_sum(sum[c], n);
}

// Vector kernels for the common opaque cases; false when not handled.
bool px_scale_bilinear_copy_fast(const PxScaleJob& j);
bool px_scale_box_copy_fast(const PxScaleJob& j, int size);
