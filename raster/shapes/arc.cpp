// Arcs (the circle drawer clipped to one quadrant box per piece) and rounded
// rectangles built from lines and quarter arcs.
#include <cmath>

#include "raster/shapes/circle_p.h"
#include "raster/shapes/shapes.h"

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

// Draws the part of the circle between angles a0 < a1 of one quadrant.
void arcPiece(const PxSolid& s, double cx, double cy, double r, double a0, double a1, bool aa) {
  const double x0 = std::trunc(cx + r * std::sin(a0) + 0.5),
               y0 = std::trunc(cy - r * std::cos(a0) + 0.5);
  const double x1 = std::trunc(cx + r * std::sin(a1) + 0.5),
               y1 = std::trunc(cy - r * std::cos(a1) + 0.5);
  double l = std::min(x0, x1), t = std::min(y0, y1), rt = std::max(x0, x1), b = std::max(y0, y1);
  // The box reaches one pixel further towards the centre, so that the pixels
  // next to an axis stay inside it.
  if (cx < l) l -= 1;
  if (cx > rt) rt += 1;
  if (cy < t) t -= 1;
  if (cy > b) b += 1;
  l = std::max(l, 0.0);
  t = std::max(t, 0.0);
  rt = std::min(rt, (double)s.w - 1);
  b = std::min(b, (double)s.h - 1);
  if (l > rt || t > b) return;
  px_circle_draw(s, cx, cy, r, aa, false, PxBox{(int64_t)l, (int64_t)t, (int64_t)rt, (int64_t)b});
}

}  // namespace

void PX_Arc(PX_IBitmap* bm, float cx, float cy, float r, float minAngle, float maxAngle,
            PX_pixel colour, float alpha, int mode, bool aa) {
  PxSolid s;
  if (!(r >= 0) || r > PX_MAX_CIRCLE_RADIUS || !std::isfinite(cx) || !std::isfinite(cy) ||
      !std::isfinite(minAngle) || !std::isfinite(maxAngle) ||
      !px_solid_init(&s, bm, colour, alpha, mode))
    return;
  double lo = std::min(minAngle, maxAngle), hi = std::max(minAngle, maxAngle);
  if (hi - lo >= kTwoPi) return PX_Circle(bm, cx, cy, r, colour, alpha, mode, aa);
  if (px_solid_memory_rows(&s)) {
    // Memory rows run up the image: the centre is mirrored and angles turn
    // the other way (a becomes pi - a).
    cy = (float)(s.h - 1) - cy;
    const double flippedLo = kPi - hi;
    hi = kPi - lo;
    lo = flippedLo;
  }
  if (hi >= kTwoPi) {
    const double shift = hi - std::fmod(hi, kTwoPi);
    hi -= shift;
    lo -= shift;
  }
  if (lo <= -kTwoPi) {
    const double shift = lo - std::fmod(lo, kTwoPi);
    hi -= shift;
    lo -= shift;
  }
  lo += kTwoPi;
  hi += kTwoPi;
  // Cut at multiples of a quarter turn: at most five pieces.
  while (lo < hi) {
    const double cut = std::min(hi, (std::floor(lo / kHalfPi) + 1) * kHalfPi);
    arcPiece(s, cx, cy, r, lo, cut, aa);
    lo = cut;
  }
}

void PX_RoundRect(PX_IBitmap* bm, float x, float y, float w, float h, int cornerradius,
                  PX_pixel colour, float alpha, int mode, bool aa) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(w) || !std::isfinite(h)) return;
  const float r = std::floor(std::min((float)cornerradius, std::min(w / 2, h / 2)));
  if (cornerradius <= 0 || r < 2) {
    PX_DrawRect(bm, px_ftoi(x), px_ftoi(y), px_ftoi(w), px_ftoi(h), colour, alpha, mode);
    return;
  }
  PX_FLine(bm, x + r, y, x + w - r, y, colour, alpha, mode, aa);
  PX_FLine(bm, x + r - 1, y + h, x + w - r, y + h, colour, alpha, mode, aa);
  PX_FLine(bm, x + w, y + r, x + w, y + h - r, colour, alpha, mode, aa);
  PX_FLine(bm, x, y + r - 1, x, y + h - r, colour, alpha, mode, aa);
  const float pi = 3.14159265f;
  PX_Arc(bm, x + r, y + r, r, -pi / 2, 0, colour, alpha, mode, aa);
  PX_Arc(bm, x + w - r, y + r, r, 0, pi / 2, colour, alpha, mode, aa);
  PX_Arc(bm, x + w - r, y + h - r, r, pi / 2, pi, colour, alpha, mode, aa);
  PX_Arc(bm, x + r, y + h - r, r, pi, 3 * pi / 2, colour, alpha, mode, aa);
}
