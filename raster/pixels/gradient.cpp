// Gradient fill and per-channel multiply-add over a rectangle.
#include "raster/blit/blit.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/pixels/util_p.h"

namespace {

// One channel of a 16.16 linear ramp: start, step per column, step per row.
struct Ramp {
  int64_t start, dx, dy;
};

Ramp makeRamp(float v, float vdx, float vdy, float scale) {
  return {px_ftoi(v * scale * 65536.0f), px_ftoi(vdx * scale * 65536.0f),
          px_ftoi(vdy * scale * 65536.0f)};
}

// Channel value: signed division toward zero, held inside the safe range.
int rampValue(int64_t acc) { return px_clampi(acc / 65536, -kPxMaxWeight, kPxMaxWeight); }

template <class C>
void gradFill(const PxRows& rows, int x, int y, int w, int h, const Ramp* ramp) {
  int64_t rowacc[4] = {ramp[0].start, ramp[1].start, ramp[2].start, ramp[3].start};
  for (int row = 0; row < h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(rows.row(y + row) + x);
    int64_t acc[4] = {rowacc[0], rowacc[1], rowacc[2], rowacc[3]};
    for (int i = 0; i < w; ++i, d += 4) {
      const int a = rampValue(acc[3]);
      C::doPix(d, rampValue(acc[0]), rampValue(acc[1]), rampValue(acc[2]), a, a);
      for (int c = 0; c < 4; ++c) acc[c] += ramp[c].dx;
    }
    for (int c = 0; c < 4; ++c) rowacc[c] += ramp[c].dy;
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
    if (dstx < 0) r.start -= (int64_t)dstx * r.dx;
    if (dsty < 0) r.start -= (int64_t)dsty * r.dy;
  }
  if (!px_clip_rect(dest, dstx, dsty, dstw, dsth)) return;
  const PxRows rows = px_rows(dest);
  px_dispatch_clamped(mode, [&](auto tag) {
    gradFill<typename decltype(tag)::type>(rows, dstx, dsty, dstw, dsth, ramp);
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
