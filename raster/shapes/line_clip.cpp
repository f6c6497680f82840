// Cohen-Sutherland line clipping, integer and floating point.
#include <cmath>

#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

namespace {

enum { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };

template <class T>
int outcode(T x, T y, T w, T h) {
  return (x < 0 ? kLeft : 0) | (x >= w ? kRight : 0) | (y < 0 ? kTop : 0) | (y >= h ? kBottom : 0);
}

// Moves (x, y) onto the boundary named by code; the other end is (ox, oy).
// Intermediate values are doubles; TRUNC truncates the result toward zero.
template <bool TRUNC>
void toEdge(int code, double& x, double& y, double ox, double oy, double w, double h) {
  double nx, ny;
  if (code & kBottom) {
    ny = h - 1;
    nx = x + (ox - x) * (h - y) / (oy - y);
  } else if (code & kTop) {
    ny = 0;
    nx = x + (ox - x) * (-y) / (oy - y);
  } else if (code & kRight) {
    nx = w - 1;
    ny = y + (oy - y) * (w - x) / (ox - x);
  } else {
    nx = 0;
    ny = y + (oy - y) * (-x) / (ox - x);
  }
  x = TRUNC ? std::trunc(nx) : nx;
  y = TRUNC ? std::trunc(ny) : ny;
}

// Clips to [0, w) x [0, h); a bounded number of moves, so rounding can never loop.
template <bool TRUNC>
bool clip(double& x1, double& y1, double& x2, double& y2, double w, double h) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
      w <= 0 || h <= 0)
    return false;
  for (int moves = 0; moves < 8; ++moves) {
    const int c1 = outcode(x1, y1, w, h), c2 = outcode(x2, y2, w, h);
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    if (c1) toEdge<TRUNC>(c1, x1, y1, x2, y2, w, h);
    else toEdge<TRUNC>(c2, x2, y2, x1, y1, w, h);
  }
  return false;
}

}  // namespace

bool px_clip_line(double& x1, double& y1, double& x2, double& y2, double w, double h, bool trunc) {
  return trunc ? clip<true>(x1, y1, x2, y2, w, h) : clip<false>(x1, y1, x2, y2, w, h);
}

bool PX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi) {
  double ax = (double)*x1 - xlo, ay = (double)*y1 - ylo, bx = (double)*x2 - xlo,
         by = (double)*y2 - ylo;
  if (!clip<true>(ax, ay, bx, by, (double)xhi - xlo, (double)yhi - ylo)) return false;
  *x1 = (int)(ax + xlo);
  *y1 = (int)(ay + ylo);
  *x2 = (int)(bx + xlo);
  *y2 = (int)(by + ylo);
  return true;
}

bool PX_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                  float yhi) {
  double ax = (double)*x1 - xlo, ay = (double)*y1 - ylo, bx = (double)*x2 - xlo,
         by = (double)*y2 - ylo;
  if (!clip<false>(ax, ay, bx, by, (double)xhi - xlo, (double)yhi - ylo)) return false;
  *x1 = (float)(ax + xlo);
  *y1 = (float)(ay + ylo);
  *x2 = (float)(bx + xlo);
  *y2 = (float)(by + ylo);
  return true;
}
