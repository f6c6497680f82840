// Clipping and the per-pixel loop of the delta walk.
#include <algorithm>
#include <cmath>

#include "raster/blit/delta_p.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/blit/scaled_p.h"

namespace {

struct DeltaJob {
  PxRows d, s;  // s starts at the source origin (left, top)
  int dx, dy, w, h, sr, sb;
  int64_t s0, t0, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
  int64_t a0, dadx, dady, dadxdy;
  bool bilinear, stepAlpha;
  int ia;
  PxPixFn pix;
};

int64_t fixed(double v) { return px_ftoi(v * 65536.0); }

void walk(const DeltaJob& j) {
  int64_t srow = j.s0, trow = j.t0, arow = j.a0, dsdx = j.dsdx, dtdx = j.dtdx, dadx = j.dadx;
  for (int row = 0; row < j.h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(j.d.row(j.dy + row) + j.dx);
    int64_t s = srow, t = trow, a = arow;
    for (int i = 0; i < j.w; ++i, d += 4, s += dsdx, t += dtdx, a += dadx) {
      const int weight = j.stepAlpha ? px_clampi(a >> 8, -kPxMaxWeight, kPxMaxWeight) : j.ia;
      int c[4];
      if (j.bilinear) {
        if (!px_sample_bilinear(j.s, s, t, j.sr, j.sb, c)) continue;
      } else {
        const uint64_t sx = (uint64_t)(s >> 16), sy = (uint64_t)(t >> 16);
        if (sx >= (uint64_t)j.sr || sy >= (uint64_t)j.sb) continue;
        const PX_pixel_chan* p = (const PX_pixel_chan*)(j.s.row((int)sy) + sx);
        c[0] = p[PX_PIXEL_R];
        c[1] = p[PX_PIXEL_G];
        c[2] = p[PX_PIXEL_B];
        c[3] = p[PX_PIXEL_A];
      }
      j.pix(d, c[0], c[1], c[2], c[3], weight);
    }
    srow += j.dsdy;
    trow += j.dtdy;
    arow += j.dady;
    dsdx += j.dsdxdy;
    dtdx += j.dtdxdy;
    dadx += j.dadxdy;
  }
}

// Skips cx columns and cy rows of the walk so that it starts at the first
// visible pixel; the second-order terms keep every remaining pixel in place.
// A zero count skips nothing, even with an infinite step.
double times(double n, double step) { return n == 0 ? 0 : n * step; }

void skip(double cx, double cy, double& p0, double& dpdx, double& dpdy, double dpdxdy) {
  p0 += times(cy, dpdy) + times(cx, dpdx) + times(cx * cy, dpdxdy);
  dpdy += times(cx, dpdxdy);
  dpdx += times(cy, dpdxdy);
}

// Clips the destination rectangle; false when nothing is visible.
bool clipDest(PX_IBitmap* dest, PxDeltaArgs& a) {
  const double cx = a.dstx < 0 ? -(double)a.dstx : 0, cy = a.dsty < 0 ? -(double)a.dsty : 0;
  skip(cx, cy, a.s0, a.dsdx, a.dsdy, a.dsdxdy);
  skip(cx, cy, a.t0, a.dtdx, a.dtdy, a.dtdxdy);
  skip(cx, cy, a.a0, a.dadx, a.dady, a.dadxdy);
  a.w -= (int64_t)cx;
  a.h -= (int64_t)cy;
  a.dstx = std::max<int64_t>(a.dstx, 0);
  a.dsty = std::max<int64_t>(a.dsty, 0);
  if (a.w <= 0 || a.h <= 0 || a.dstx >= dest->getWidth() || a.dsty >= dest->getHeight())
    return false;
  a.w = std::min<int64_t>(a.w, dest->getWidth() - a.dstx);
  a.h = std::min<int64_t>(a.h, dest->getHeight() - a.dsty);
  return true;
}

PxPixFn chooseClass(int mode, int ia, bool stepAlpha) {
  PxPixFn fn = nullptr;
  auto pick = [&](auto tag) { fn = &decltype(tag)::type::doPix; };
  if (stepAlpha) px_dispatch_clamped(mode, pick);
  else px_dispatch_blit<false>(mode, ia, pick);
  return fn;
}

}  // namespace

void px_delta_run(PX_IBitmap* dest, PX_IBitmap* src, PxDeltaArgs a, int ia, int mode,
                  bool stepAlpha) {
  if (!clipDest(dest, a)) return;
  float left = 0, top = 0, right = (float)src->getWidth(), bottom = (float)src->getHeight();
  if (a.cliptosourcerect) {
    right = std::min(right, a.srcx + a.srcw);
    bottom = std::min(bottom, a.srcy + a.srch);
    left = std::max(a.srcx, 0.0f);
    top = std::max(a.srcy, 0.0f);
  }
  const int il = px_ftoi(left), it = px_ftoi(top);
  const int64_t sr = (int64_t)px_ftoi(right) - il, sb = (int64_t)px_ftoi(bottom) - it;
  if (sr <= 0 || sb <= 0) return;
  DeltaJob j;
  j.pix = chooseClass(mode, ia, stepAlpha);
  j.d = px_rows(dest);
  j.s = px_rows(src);
  if (!j.pix || !j.d.base || !j.s.base) return;
  j.s.base = j.s.row(it) + il;
  j.dx = (int)a.dstx;
  j.dy = (int)a.dsty;
  j.w = (int)a.w;
  j.h = (int)a.h;
  j.sr = (int)sr;
  j.sb = (int)sb;
  // The walk is relative to the source origin (left, top).
  j.s0 = fixed(a.s0 - il);
  j.t0 = fixed(a.t0 - it);
  j.dsdx = fixed(a.dsdx);
  j.dtdx = fixed(a.dtdx);
  j.dsdy = fixed(a.dsdy);
  j.dtdy = fixed(a.dtdy);
  j.dsdxdy = fixed(a.dsdxdy);
  j.dtdxdy = fixed(a.dtdxdy);
  j.a0 = fixed(a.a0);
  j.dadx = fixed(a.dadx);
  j.dady = fixed(a.dady);
  j.dadxdy = fixed(a.dadxdy);
  j.bilinear = (mode & PX_BLIT_FILTER_MASK) == PX_FILTER_BILINEAR;
  j.stepAlpha = stepAlpha;
  j.ia = ia;
  walk(j);
}
