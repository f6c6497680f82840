// Integer lines: horizontal and vertical runs, exact diagonals and the
// general case drawn from both ends, plain or anti-aliased.
#include <cstdlib>

#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

namespace {

// Steps of one line: the major axis advances every step.
struct LineSteps {
  int x, y;    // start
  int n;       // major length
  int mx, my;  // major step
  int nx, ny;  // minor step
  int minor;   // |minor length|
};

LineSteps stepsOf(int x1, int y1, int x2, int y2) {
  const int dx = x2 - x1, dy = y2 - y1, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  if (abs(dx) >= abs(dy)) return LineSteps{x1, y1, abs(dx), sx, 0, 0, sy, abs(dy)};
  return LineSteps{x1, y1, abs(dy), 0, sy, sx, 0, abs(dx)};
}

// Exact diagonals: with aa, each step also blends a quarter into the two
// pixels between it and the next one.
template <class C>
void diagonal(const PxSolid& s, const LineSteps& l, bool aa) {
  const PxInk k = px_ink(s);
  const int full = aa ? s.ia * 3 / 4 : s.ia, side = s.ia / 4, n = l.n;
  const ptrdiff_t across = l.mx + l.nx, down = (l.my + l.ny) * s.rows.step;
  PX_pixel* p = s.rows.row(l.y) + l.x;
  for (int i = 0;; ++i, p += across + down) {
    px_blend<C>(p, k, full);
    if (i == n) break;
    if (aa) {
      px_blend<C>(p + across, k, side);
      px_blend<C>(p + down, k, side);
    }
  }
}

// Copy at full opacity: stored words, or 3/4 and 1/4 whole-word mixes with aa.
void diagonalWords(const PxSolid& s, const LineSteps& l, bool aa) {
  const PX_pixel colour = s.colour, half = (colour >> 1) & 0x7f7f7f7f,
                 quarter = (colour >> 2) & 0x3f3f3f3f;
  const int n = l.n;
  const ptrdiff_t across = l.mx + l.nx, down = (l.my + l.ny) * s.rows.step;
  PX_pixel* p = s.rows.row(l.y) + l.x;
  for (int i = 0;; ++i, p += across + down) {
    if (!aa) {
      *p = colour;
    } else {
      PX_CombinePixelsThreeQuarterMix2FAST::doPix(p, half + quarter);
      if (i < n) {
        PX_CombinePixelsQuarterMix2FAST::doPix(p + across, quarter);
        PX_CombinePixelsQuarterMix2FAST::doPix(p + down, quarter);
      }
    }
    if (i == n) break;
  }
}

// Plain: both ends step towards the middle; the minor coordinate rounds at half.
template <class C>
void general(const PxSolid& s, const LineSteps& l, int x2, int y2) {
  const PxInk k = px_ink(s);
  const int ia = s.ia, n = l.n, slope = (int)(((int64_t)l.minor << 16) / n);
  const ptrdiff_t major = l.mx + l.my * s.rows.step, minor = l.nx + l.ny * s.rows.step;
  PX_pixel *a = s.rows.row(l.y) + l.x, *b = s.rows.row(y2) + x2;
  int acc = 0;
  for (int i = 0; i < (n + 1) / 2; ++i) {
    px_blend<C>(a, k, ia);
    px_blend<C>(b, k, ia);
    a += major;
    b -= major;
    acc += slope;
    if (acc >= 0x8000) {
      acc -= 0x10000;
      a += minor;
      b -= minor;
    }
  }
  if (!(n & 1)) px_blend<C>(a, k, ia);
}

// Anti-aliased: each interior step splits the weight between the pixel on
// the line and its neighbour one minor step further.
template <class C>
void generalAA(const PxSolid& s, const LineSteps& l, int x2, int y2) {
  const PxInk k = px_ink(s);
  const int ia = s.ia, n = l.n, slope = (int)(((int64_t)l.minor << 16) / n);
  const ptrdiff_t major = l.mx + l.my * s.rows.step, minor = l.nx + l.ny * s.rows.step;
  PX_pixel* p = s.rows.row(l.y) + l.x;
  px_blend<C>(p, k, ia);
  px_blend<C>(s.rows.row(y2) + x2, k, ia);
  int t = slope;
  for (int i = 1; i < n; ++i) {
    p += major;
    const int f = t >> 8;
    const int w1 = ia == 256 ? 255 - f : (ia * (255 - f)) >> 8;
    const int w2 = ia == 256 ? f : (ia * f) >> 8;
    if (w1 > 0) px_blend<C>(p, k, w1);
    if (w2 > 0) px_blend<C>(p + minor, k, w2);
    if (t + slope >= 0x10000) {
      p += minor;
      t += slope - 0x10000;
    } else {
      t += slope;
    }
  }
}

}  // namespace

void PX_Line(PX_IBitmap* bm, int x1, int y1, int x2, int y2, PX_pixel colour, float alpha, int mode,
             bool aa) {
  PxSolid s;
  if (!px_solid_init(&s, bm, colour, alpha, mode)) return;
  const bool flip = px_solid_memory_rows(&s);
  double ax = x1, ay = flip ? (double)s.h - 1 - y1 : y1;
  double bx = x2, by = flip ? (double)s.h - 1 - y2 : y2;
  if (!px_clip_line(ax, ay, bx, by, s.w, s.h, true)) return;
  x1 = (int)ax;
  y1 = (int)ay;
  x2 = (int)bx;
  y2 = (int)by;
  if (y1 == y2) return px_hspan(s, x1 < x2 ? x1 : x2, x1 < x2 ? x2 : x1, y1);
  if (x1 == x2) return px_vspan(s, x1, y1 < y2 ? y1 : y2, y1 < y2 ? y2 : y1);
  const LineSteps l = stepsOf(x1, y1, x2, y2);
  if (l.minor == l.n) {
    if ((mode & 0xff) == 0 && s.alpha == 1.0f) return diagonalWords(s, l, aa);
    if (aa) {
      px_dispatch_solid(mode, s.ia,
                        [&](auto tag) { diagonal<typename decltype(tag)::type>(s, l, true); });
    } else {
      px_dispatch_line(mode, s.ia,
                       [&](auto tag) { diagonal<typename decltype(tag)::type>(s, l, false); });
    }
    return;
  }
  if (aa) {
    px_dispatch_solid(mode, s.ia,
                      [&](auto tag) { generalAA<typename decltype(tag)::type>(s, l, x2, y2); });
  } else {
    px_dispatch_line(mode, s.ia,
                     [&](auto tag) { general<typename decltype(tag)::type>(s, l, x2, y2); });
  }
}
