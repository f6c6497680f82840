// Lines between real positions: anti-aliased by splitting each step's weight
// between the two pixels around the exact minor coordinate.
#include <cmath>

#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

namespace {

template <class C>
void walk(const PxSolid& s, bool xmajor, double m0, double m1, double n0, double slope) {
  const PxRows rows = s.rows;
  const PxInk k = px_ink(s);
  const int ia = s.ia, w = s.w, h = s.h;
  auto plot = [&](int64_t x, int64_t y, int weight) {
    if (weight > 0 && x >= 0 && y >= 0 && x < w && y < h)
      px_blend<C>(rows.row((int)y) + x, k, weight);
  };
  const int64_t first = (int64_t)std::ceil(m0), last = (int64_t)std::floor(m1);
  for (int64_t m = first; m <= last; ++m) {
    const double minor = n0 + ((double)m - m0) * slope;
    const double fl = std::floor(minor);
    const int f = (int)((minor - fl) * 65536.0) >> 8;
    const int w1 = ia == 256 ? 255 - f : (ia * (255 - f)) >> 8;
    const int w2 = ia == 256 ? f : (ia * f) >> 8;
    const int64_t n = (int64_t)fl;
    if (xmajor) {
      plot(m, n, w1);
      plot(m, n + 1, w2);
    } else {
      plot(n, m, w1);
      plot(n + 1, m, w2);
    }
  }
}

}  // namespace

void PX_FLine(PX_IBitmap* bm, float x1, float y1, float x2, float y2, PX_pixel colour, float alpha,
              int mode, bool aa) {
  if (!aa) {
    PX_Line(bm, px_ftoi(x1), px_ftoi(y1), px_ftoi(x2), px_ftoi(y2), colour, alpha, mode, false);
    return;
  }
  PxSolid s;
  if (!px_solid_init(&s, bm, colour, alpha, mode)) return;
  if (px_solid_memory_rows(&s)) {
    y1 = (float)(s.h - 1) - y1;
    y2 = (float)(s.h - 1) - y2;
  }
  if (!PX_ClipFLine(&x1, &y1, &x2, &y2, 0, 0, (float)s.w, (float)s.h)) return;
  const double dx = (double)x2 - x1, dy = (double)y2 - y1;
  if (dx == 0 && dy == 0) return;
  const bool xmajor = std::fabs(dx) >= std::fabs(dy);
  double m0 = xmajor ? x1 : y1, m1 = xmajor ? x2 : y2, n0 = xmajor ? y1 : x1;
  const double slope = xmajor ? dy / dx : dx / dy;
  if (m1 < m0) {
    const double t = m0;
    m0 = m1;
    m1 = t;
    n0 = xmajor ? y2 : x2;
  }
  px_dispatch_solid(mode, s.ia, [&](auto tag) {
    walk<typename decltype(tag)::type>(s, xmajor, m0, m1, n0, slope);
  });
}
