// Bezier curves: evaluation helpers, strokes as short line segments and fills
// between a cubic and a row (or column), one span per column (or row).
#include <algorithm>
#include <cmath>

#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

namespace {

// Upper bound on segments per curve, whatever its length and tolerance.
constexpr int kMaxSegments = 16384;

struct Cubic {
  double x[4], y[4];
  double px(double t) const { return PX_Bezier(x[0], x[1], x[2], x[3], t); }
  double py(double t) const { return PX_Bezier(y[0], y[1], y[2], y[3], t); }
  bool finite() const {
    for (int i = 0; i < 4; ++i)
      if (!std::isfinite(x[i]) || !std::isfinite(y[i])) return false;
    return true;
  }
};

// Parameter where x(t) crosses v, by bisection between t = 0 and t = 1.
double solveT(const double* c, double v) {
  double lo = 0, hi = 1;
  const bool rising = PX_Bezier(c[0], c[1], c[2], c[3], 1) >= PX_Bezier(c[0], c[1], c[2], c[3], 0);
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    if ((PX_Bezier(c[0], c[1], c[2], c[3], mid) < v) == rising) lo = mid;
    else hi = mid;
  }
  return (lo + hi) / 2;
}

// Orders the curve so that the main coordinate increases and clips the
// parameter range to [0, limit]; false when nothing is left.
bool prepare(Cubic& c, bool byY, double limit, double* t0, double* t1) {
  double* m = byY ? c.y : c.x;
  if (m[3] < m[0]) {
    std::swap(c.x[0], c.x[3]);
    std::swap(c.x[1], c.x[2]);
    std::swap(c.y[0], c.y[3]);
    std::swap(c.y[1], c.y[2]);
  }
  if (m[3] < 0 || m[0] > limit) return false;
  *t0 = m[0] < 0 ? solveT(m, 0) : 0;
  *t1 = m[3] > limit ? solveT(m, limit) : 1;
  return true;
}

int segments(const Cubic& c, double t0, double t1, float tol) {
  double len = 0;
  for (int i = 0; i < 3; ++i) len += std::hypot(c.x[i + 1] - c.x[i], c.y[i + 1] - c.y[i]);
  const double n = len * (t1 - t0) / (tol > 0 ? tol : 1.0);
  return n < 1 ? 1 : n > kMaxSegments ? kMaxSegments : (int)n;
}

void stroke(PX_IBitmap* bm, Cubic c, PX_pixel colour, float alpha, int mode, bool aa, float tol) {
  double t0, t1;
  if (!bm || !c.finite() || !prepare(c, false, bm->getWidth() - 1, &t0, &t1)) return;
  const int n = segments(c, t0, t1, tol);
  double lx = c.px(t0), ly = c.py(t0);
  for (int i = 1; i <= n; ++i) {
    const double t = i == n ? t1 : t0 + (t1 - t0) * i / n;
    const double x = c.px(t), y = c.py(t);
    PX_FLine(bm, (float)lx, (float)ly, (float)x, (float)y, colour, alpha, mode, aa);
    lx = x;
    ly = y;
  }
}

// One span per column (byY: per row) between the curve and the line at fill;
// the fill line belongs to the side below (right of) it, so no pixel is drawn twice.
void fill(PX_IBitmap* bm, Cubic c, bool byY, int64_t fillAt, PX_pixel colour, float alpha, int mode,
          float tol) {
  PxSolid s;
  double t0, t1;
  if (!c.finite() || !px_solid_init(&s, bm, colour, alpha, mode)) return;
  if (!prepare(c, byY, (byY ? s.h : s.w) - 1, &t0, &t1)) return;
  const int n = segments(c, t0, t1, tol);
  auto mainAt = [&](double t) { return byY ? c.py(t) : c.px(t); };
  auto crossAt = [&](double t) { return byY ? c.px(t) : c.py(t); };
  const int64_t limit = (byY ? s.h : s.w) - 1;
  int64_t next = std::max<int64_t>(0, px_ftoi(std::ceil(mainAt(t0))));
  double pm = mainAt(t0), pc = crossAt(t0);
  for (int i = 1; i <= n; ++i) {
    const double t = i == n ? t1 : t0 + (t1 - t0) * i / n;
    const double m = mainAt(t), cr = crossAt(t);
    const int64_t upto = std::min<int64_t>(limit, px_ftoi(std::floor(m)));
    for (; next <= upto; ++next) {
      const double f = m > pm ? ((double)next - pm) / (m - pm) : 1.0;
      const int64_t v = px_ftoi(std::floor(pc + (cr - pc) * f + 0.5));
      const int64_t a = v < fillAt ? v : fillAt, b = v < fillAt ? fillAt - 1 : v;
      if (byY) px_hspan_clipped(s, a, b, next);
      else px_vspan_clipped(s, next, a, b);
    }
    pm = m;
    pc = cr;
  }
}

Cubic cubicOf(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
  return Cubic{{x0, x1, x2, x3}, {y0, y1, y2, y3}};
}

}  // namespace

double PX_Bezier(double a, double b, double c, double d, double t) {
  const double u = 1 - t;
  return u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d;
}

void PX_CBezier_GetCoeffs(double x0, double x1, double x2, double x3, double y0, double y1,
                          double y2, double y3, double* ax, double* bx, double* cx, double* ay,
                          double* by, double* cy) {
  *cx = 3 * (x1 - x0);
  *bx = 3 * (x2 - x1) - *cx;
  *ax = x3 - x0 - *cx - *bx;
  *cy = 3 * (y1 - y0);
  *by = 3 * (y2 - y1) - *cy;
  *ay = y3 - y0 - *cy - *by;
}

double PX_CBezier_GetY(double x0, double x1, double x2, double x3, double y0, double y1, double y2,
                       double y3, double x) {
  const double xs[4] = {x0, x1, x2, x3};
  const double lo = std::min(x0, x3), hi = std::max(x0, x3);
  double t;
  if (x <= lo) t = x0 <= x3 ? 0 : 1;
  else if (x >= hi) t = x0 <= x3 ? 1 : 0;
  else t = solveT(xs, x);
  return PX_Bezier(y0, y1, y2, y3, t);
}

double PX_Bezier_GetY(double xstart, double xctl, double xend, double ystart, double yctl,
                      double yend, double x) {
  // The quadratic as a cubic with control points two thirds of the way to the control.
  return PX_CBezier_GetY(xstart, xstart + (xctl - xstart) * 2 / 3, xend + (xctl - xend) * 2 / 3,
                         xend, ystart, ystart + (yctl - ystart) * 2 / 3,
                         yend + (yctl - yend) * 2 / 3, yend, x);
}

void PX_DrawQBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl, float yctl, float xend,
                    float yend, PX_pixel colour, float alpha, int mode, bool aa, float tol) {
  const float k = 2.0f / 3.0f;
  stroke(bm,
         cubicOf(xstart, ystart, xstart + (xctl - xstart) * k, ystart + (yctl - ystart) * k,
                 xend + (xctl - xend) * k, yend + (yctl - yend) * k, xend, yend),
         colour, alpha, mode, aa, tol);
}

void PX_DrawCBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, PX_pixel colour, float alpha,
                    int mode, bool aa, float tol) {
  stroke(bm, cubicOf(xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend), colour, alpha, mode,
         aa, tol);
}

void PX_FillCBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, int yfill, PX_pixel colour,
                    float alpha, int mode, float tol) {
  fill(bm, cubicOf(xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend), false, yfill, colour,
       alpha, mode, tol);
}

void PX_FillCBezierX(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int xfill, PX_pixel colour,
                     float alpha, int mode, float tol) {
  fill(bm, cubicOf(xstart, ystart, xctl1, yctl1, xctl2, yctl2, xend, yend), true, xfill, colour,
       alpha, mode, tol);
}
