// Filled trapezoids, triangles and convex polygons, row by row.
#include <algorithm>
#include <cmath>

#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

namespace {

// 16.16 edge: magnitude and direction, so both directions truncate alike.
struct Edge {
  int64_t x0, mag, dir;
  int64_t at(int64_t k) const { return x0 + dir * ((mag * k) >> 16); }
};

Edge edgeOf(int64_t xa, int64_t xb, int64_t dy) {
  int64_t step = dy > 0 ? ((xb - xa) * 65536) / dy : 0;
  step = std::max<int64_t>(-(1 << 29), std::min<int64_t>(1 << 29, step));
  return Edge{xa, step < 0 ? -step : step, step < 0 ? -1 : 1};
}

}  // namespace

void PX_FillTrapezoid(PX_IBitmap* bm, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                      PX_pixel colour, float alpha, int mode) {
  PxSolid s;
  if (!px_solid_init(&s, bm, colour, alpha, mode)) return;
  if (y1 > y2) {
    std::swap(y1, y2);
    std::swap(x1a, x2a);
    std::swap(x1b, x2b);
  }
  if (x1a > x1b) std::swap(x1a, x1b);
  if (x2a > x2b) std::swap(x2a, x2b);
  if ((x1b < 0 && x2b < 0) || (x1a >= s.w && x2a >= s.w) || y2 < 0 || y1 >= s.h) return;
  if (x1a < 1 && x2a < 1) x1a = x2a = 0;
  if (x1b >= s.w - 1 && x2b >= s.w - 1) x1b = x2b = s.w - 1;
  const int64_t dy = (int64_t)y2 - y1;
  const Edge left = edgeOf(x1a, x2a, dy), right = edgeOf(x1b, x2b, dy);
  const int64_t first = std::max<int64_t>(y1, 0), last = std::min<int64_t>(y2, s.h - 1);
  for (int64_t y = first; y <= last; ++y) {
    const int64_t k = y - y1;
    px_hspan_clipped(s, left.at(k), right.at(k), y);
  }
}

void PX_FillTriangle(PX_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3,
                     PX_pixel colour, float alpha, int mode) {
  const int x[3] = {x1, x2, x3}, y[3] = {y1, y2, y3};
  PX_FillConvexPolygon(bm, x, y, 3, colour, alpha, mode);
}

void PX_FillConvexPolygon(PX_IBitmap* bm, const int* x, const int* y, int npoints, PX_pixel colour,
                          float alpha, int mode) {
  PxSolid s;
  if (!x || !y || npoints < 3 || !px_solid_init(&s, bm, colour, alpha, mode)) return;
  int64_t top = y[0], bottom = y[0];
  for (int i = 1; i < npoints; ++i) {
    top = std::min<int64_t>(top, y[i]);
    bottom = std::max<int64_t>(bottom, y[i]);
  }
  top = std::max<int64_t>(top, 0);
  bottom = std::min<int64_t>(bottom, s.h - 1);
  // Each row once: from the leftmost to the rightmost edge crossing it.
  for (int64_t row = top; row <= bottom; ++row) {
    double lo = INFINITY, hi = -INFINITY;
    for (int i = 0; i < npoints; ++i) {
      const int j = i + 1 < npoints ? i + 1 : 0;
      const int64_t ya = y[i], yb = y[j];
      if (row < std::min(ya, yb) || row > std::max(ya, yb)) continue;
      double xa = x[i], xb = x[j];
      if (ya != yb)
        xa = xb = std::trunc(x[i] + (double)(row - ya) * ((double)x[j] - x[i]) / (double)(yb - ya));
      lo = std::min(lo, std::min(xa, xb));
      hi = std::max(hi, std::max(xa, xb));
    }
    if (lo <= hi) px_hspan_clipped(s, (int64_t)lo, (int64_t)hi, row);
  }
}
