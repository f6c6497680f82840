// Gradient fill and per-channel multiply-add over a rectangle.
#include <initializer_list>

#include "raster/blit/blit.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/pixels/util_p.h"

namespace {

// One channel of a 16.16 linear ramp: its value at the first drawn pixel, and
// the steps per column and per row.
struct Ramp {
  PxWide start;
  int64_t dx, dy;
};

Ramp makeRamp(float v, float vdx, float vdy, float scale) {
  return {px_ftoi(v * scale * 65536.0f), px_ftoi(vdx * scale * 65536.0f),
          px_ftoi(vdy * scale * 65536.0f)};
}

// Channel value at column i, row j: signed division toward zero. A value
// beyond the int range, which no int channel can carry, is held at its end.
int rampValue(const Ramp& r, int64_t i, int64_t j) {
  const PxWide v = (r.start + (PxWide)r.dx * i + (PxWide)r.dy * j) / 65536;
  return v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : (int)v;
}

// True when every value of the w x h rectangle lies within +-kPxMaxWeight;
// the ramps are linear, so their extremes lie at the corners.
bool rampsNarrow(const Ramp* ramp, int w, int h) {
  for (int c = 0; c < 4; ++c)
    for (int64_t i : {(int64_t)0, (int64_t)w - 1})
      for (int64_t j : {(int64_t)0, (int64_t)h - 1})
        if (!px_within_max_weight(rampValue(ramp[c], i, j))) return false;
  return true;
}

// Narrow ramps: 64-bit accumulators and the int formulas.
template <class C>
void gradFill(const PxRows& rows, int x, int y, int w, int h, const Ramp* ramp) {
  int64_t rowacc[4] = {(int64_t)ramp[0].start, (int64_t)ramp[1].start, (int64_t)ramp[2].start,
                       (int64_t)ramp[3].start};
  for (int row = 0; row < h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(rows.row(y + row) + x);
    int64_t acc[4] = {rowacc[0], rowacc[1], rowacc[2], rowacc[3]};
    for (int i = 0; i < w; ++i, d += 4) {
      const int a = (int)(acc[3] / 65536);
      C::doPix(d, (int)(acc[0] / 65536), (int)(acc[1] / 65536), (int)(acc[2] / 65536), a, a);
      for (int c = 0; c < 4; ++c) acc[c] += ramp[c].dx;
    }
    for (int c = 0; c < 4; ++c) rowacc[c] += ramp[c].dy;
  }
}

// Any ramp: each value computed exactly, the formulas in 128 bits.
template <class C>
void gradFillWide(const PxRows& rows, int x, int y, int w, int h, const Ramp* ramp) {
  for (int row = 0; row < h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(rows.row(y + row) + x);
    for (int i = 0; i < w; ++i, d += 4) {
      const int a = rampValue(ramp[3], i, row);
      C::template apply<PxWide>(d, rampValue(ramp[0], i, row), rampValue(ramp[1], i, row),
                                rampValue(ramp[2], i, row), a, a);
    }
  }
}

}  // namespace

void PX_GradRect(PX_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                 float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                 float dgdy, float dbdy, float dady, int mode) {
  if (!dest) return;
  Ramp ramp[4] = {makeRamp(ir, drdx, drdy, 255.0f), makeRamp(ig, dgdx, dgdy, 255.0f),
                  makeRamp(ib, dbdx, dbdy, 255.0f), makeRamp(ia, dadx, dady, 256.0f)};
  // Clipping moves the starts so that every pixel keeps its unclipped value.
  for (Ramp& r : ramp) {
    if (dstx < 0) r.start -= (PxWide)dstx * r.dx;
    if (dsty < 0) r.start -= (PxWide)dsty * r.dy;
  }
  if (!px_clip_rect(dest, dstx, dsty, dstw, dsth)) return;
  const PxRows rows = px_rows(dest);
  const bool narrow = rampsNarrow(ramp, dstw, dsth);
  px_dispatch_clamped(mode, [&](auto tag) {
    typedef typename decltype(tag)::type C;
    if (narrow) gradFill<C>(rows, dstx, dsty, dstw, dsth, ramp);
    else gradFillWide<C>(rows, dstx, dsty, dstw, dsth, ramp);
  });
}

void PX_MultiplyAddRect(PX_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                        float bsc, float asc, float radd, float gadd, float badd, float aadd) {
  if (!px_clip_rect(dest, x, y, w, h)) return;
  const int64_t sc[4] = {px_ftoi(asc * 256.0f), px_ftoi(rsc * 256.0f), px_ftoi(gsc * 256.0f),
                         px_ftoi(bsc * 256.0f)};
  const int64_t add[4] = {px_ftoi(aadd * 256.0f), px_ftoi(radd * 256.0f), px_ftoi(gadd * 256.0f),
                          px_ftoi(badd * 256.0f)};
  const PxRows rows = px_rows(dest);
  for (int row = 0; row < h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(rows.row(y + row) + x);
    for (int i = 0; i < w * 4; ++i) {
      const int64_t v = (add[i & 3] + sc[i & 3] * d[i]) >> 8;
      d[i] = (PX_pixel_chan)(v < 0 ? 0 : v > 255 ? 255 : v);
    }
  }
}
