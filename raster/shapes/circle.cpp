// Circles: small fixed coverage maps, the midpoint outline and fill (each
// fill pixel blended once), and the anti-aliased outline and fill.
#include <algorithm>
#include <cmath>

#include "raster/shapes/circle_p.h"
#include "raster/shapes/shapes.h"
#include "raster/text/glyph_p.h"

namespace {

// Plots and runs confined to the drawer's box; the pen holds its own copy of
// the rows and colour, so that pixel stores do not force them to be reloaded.
template <class C>
struct CirclePen {
  PxRows rows;
  PxInk k;
  int ia;
  PxBox box;
  int64_t cx, cy;

  void plot(int64_t dx, int64_t dy, int weight) const {
    const int64_t x = cx + dx, y = cy + dy;
    if (weight > 0 && x >= box.l && x <= box.r && y >= box.t && y <= box.b)
      px_blend<C>(rows.row((int)y) + x, k, weight);
  }
  void plot4(int64_t dx, int64_t dy, int weight) const {
    plot(dx, dy, weight);
    plot(-dx, dy, weight);
    plot(dx, -dy, weight);
    plot(-dx, -dy, weight);
  }
  // Column cx + dx, rows cy + dy0 .. cy + dy1, at full weight.
  void column(int64_t dx, int64_t dy0, int64_t dy1) const {
    const int64_t x = cx + dx;
    int64_t y0 = cy + dy0, y1 = cy + dy1;
    if (x < box.l || x > box.r) return;
    if (y0 < box.t) y0 = box.t;
    if (y1 > box.b) y1 = box.b;
    if (y0 > y1) return;
    PX_pixel* p = rows.row((int)y0) + x;
    for (int64_t y = y0;; ++y, p += rows.step) {
      px_blend<C>(p, k, ia);
      if (y == y1) break;
    }
  }
  // Both halves of columns cx +- dx without row cy.
  void columns2(int64_t dx, int64_t ext) const {
    column(dx, -ext, -1);
    column(dx, 1, ext);
    column(-dx, -ext, -1);
    column(-dx, 1, ext);
  }
};

template <class C>
void midpoint(const CirclePen<C>& p, int64_t r, bool fill) {
  if (fill) {
    p.column(0, -r, -1);
    p.column(0, 1, r);
    const int64_t x0 = std::max<int64_t>(-r, p.box.l - p.cx),
                  x1 = std::min<int64_t>(r, p.box.r - p.cx);
    for (int64_t dx = x0; dx <= x1; ++dx) p.plot(dx, 0, p.ia);
  } else if (r == 0) {
    p.plot(0, 0, p.ia);
  } else {
    p.plot(0, -r, p.ia);
    p.plot(0, r, p.ia);
    p.plot(-r, 0, p.ia);
    p.plot(r, 0, p.ia);
  }
  int64_t err = -r, rr = r, x = 1, pendV = -1, pendE = 0;
  for (; x < rr; ++x) {
    const int64_t y = rr - (err >= 0 ? 1 : 0);
    if (fill) {
      p.columns2(x, y);
      if (pendV >= 0 && y != pendV) p.columns2(pendV, pendE);
      pendV = y;
      pendE = x;
    } else {
      p.plot4(x, y, p.ia);
      if (x != y) p.plot4(y, x, p.ia);
    }
    err += 2 * (x - 1) + (err < 0 ? 3 : 5 - 2 * rr);
    rr = y;
  }
  if (fill && pendV >= x) p.columns2(pendV, pendE);
}

template <class C>
void antialiased(const CirclePen<C>& p, double r, bool fill) {
  const int ia = p.ia;
  const int64_t ri = (int64_t)r;
  const int outer = (int)(ia * (r - std::floor(r)));
  p.plot(0, -(ri + 1), outer);
  p.plot(0, ri + 1, outer);
  p.plot(-(ri + 1), 0, outer);
  p.plot(ri + 1, 0, outer);
  if (fill) {
    // Column by column: full weight inside, the fraction on the pixel beyond.
    const int64_t c0 = std::max<int64_t>(-ri, p.box.l - p.cx),
                  c1 = std::min<int64_t>(ri, p.box.r - p.cx);
    for (int64_t c = c0; c <= c1; ++c) {
      const double yf = std::sqrt(std::max(0.0, r * r - (double)c * c));
      const int64_t e = (int64_t)yf;
      p.column(c, -e, e);
      const int w = (int)(ia * (yf - std::floor(yf)));
      if (c != 0 || e + 1 <= ri) {
        p.plot(c, -(e + 1), w);
        p.plot(c, e + 1, w);
      }
    }
    return;
  }
  p.plot(0, -ri, ia - outer);
  p.plot(0, ri, ia - outer);
  p.plot(-ri, 0, ia - outer);
  p.plot(ri, 0, ia - outer);
  // Steps until the edge turns past the diagonal, or (small radii) i passes r.
  for (int64_t i = 1; r * r - (double)i * i >= 0; ++i) {
    const double yf = std::sqrt(r * r - (double)i * i);
    if ((int64_t)(0.5 + yf) < i) break;
    const int64_t e = (int64_t)yf;
    const int w = (int)(ia * (yf - std::floor(yf)));
    p.plot4(i, e + 1, w);
    p.plot4(e + 1, i, w);
    p.plot4(i, e, ia - w);
    if (e != i) p.plot4(e, i, ia - w);
  }
}

// Coverage maps for the smallest circles, radius 1.5 to 4 in steps of 0.5.
const unsigned char kAA15[] = {0x4f, 0xff, 0xff, 0x4f, 0xff, 0x0f, 0x0f, 0xff,
                               0xff, 0x0f, 0x0f, 0xff, 0x4f, 0xff, 0xff, 0x4f};
const unsigned char kPl15[] = {0, 255, 255, 0, 255, 0, 0, 255, 255, 0, 0, 255, 0, 255, 255, 0};
const unsigned char kAA20[] = {0x0f, 0xbf, 0xff, 0xbf, 0x0f, 0xbf, 0xd1, 0x4f, 0xd1,
                               0xbf, 0xff, 0x4f, 0x00, 0x4f, 0xff, 0xbf, 0xd1, 0x4f,
                               0xd1, 0xbf, 0x0f, 0xbf, 0xff, 0xbf, 0x0f};
const unsigned char kPl20[] = {0, 0,   255, 0,   0, 0,   255, 0, 255, 0,   255, 0, 0,
                               0, 255, 0,   255, 0, 255, 0,   0, 0,   255, 0,   0};
const unsigned char kAA25[] = {0x0f, 0xbf, 0xff, 0xff, 0xbf, 0x0f, 0xbf, 0xd1, 0x4f,
                               0x4f, 0xd1, 0xbf, 0xff, 0x4f, 0x00, 0x00, 0x4f, 0xff,
                               0xff, 0x4f, 0x00, 0x00, 0x4f, 0xff, 0xbf, 0xd1, 0x4f,
                               0x4f, 0xd1, 0xbf, 0x0f, 0xbf, 0xff, 0xff, 0xbf, 0x0f};
const unsigned char kPl25[] = {0,   0,   255, 255, 0,   0,   0,   255, 0,   0,   255, 0,
                               255, 0,   0,   0,   0,   255, 255, 0,   0,   0,   0,   255,
                               0,   255, 0,   0,   255, 0,   0,   0,   255, 255, 0,   0};
const unsigned char kAA30[] = {0x00, 0x8f, 0xff, 0xff, 0xff, 0x8f, 0x00, 0x8f, 0xff, 0x61,
                               0x40, 0x61, 0xff, 0x8f, 0xff, 0x70, 0x00, 0x00, 0x00, 0x70,
                               0xff, 0xff, 0x30, 0x00, 0x00, 0x00, 0x30, 0xff, 0xff, 0x70,
                               0x00, 0x00, 0x00, 0x70, 0xff, 0x8f, 0xff, 0x61, 0x40, 0x61,
                               0xff, 0x8f, 0x00, 0x8f, 0xff, 0xff, 0xff, 0x8f, 0x00};
const unsigned char kPl30[] = {0, 0,   255, 255, 255, 0,   0,   0,   255, 0, 0,   0, 255,
                               0, 255, 0,   0,   0,   0,   0,   255, 255, 0, 0,   0, 0,
                               0, 255, 255, 0,   0,   0,   0,   0,   255, 0, 255, 0, 0,
                               0, 255, 0,   0,   0,   255, 255, 255, 0,   0};
const unsigned char kAA35[] = {
    0x00, 0x4f, 0xde, 0xff, 0xff, 0xde, 0x4f, 0x00, 0x4f, 0xff, 0xb0, 0x40, 0x40, 0xb0, 0xff, 0x4f,
    0xde, 0xb0, 0x00, 0x00, 0x00, 0x00, 0xb0, 0xde, 0xff, 0x40, 0x00, 0x00, 0x00, 0x00, 0x40, 0xff,
    0xff, 0x40, 0x00, 0x00, 0x00, 0x00, 0x40, 0xff, 0xde, 0xb0, 0x00, 0x00, 0x00, 0x00, 0xb0, 0xde,
    0x4f, 0xff, 0xb0, 0x40, 0x40, 0xb0, 0xff, 0x4f, 0x00, 0x4f, 0xde, 0xff, 0xff, 0xde, 0x4f, 0x00};
const unsigned char kPl35[] = {0,   0,   255, 255, 255, 255, 0,   0,   0,   255, 255, 0,   0,
                               255, 255, 0,   255, 255, 0,   0,   0,   0,   255, 255, 255, 0,
                               0,   0,   0,   0,   0,   255, 255, 0,   0,   0,   0,   0,   0,
                               255, 255, 255, 0,   0,   0,   0,   255, 255, 0,   255, 255, 0,
                               0,   255, 255, 0,   0,   0,   255, 255, 255, 255, 0,   0};
const unsigned char kAA40[] = {
    0x00, 0x1f, 0xb0, 0xff, 0xff, 0xff, 0xb0, 0x1f, 0x00, 0x1f, 0xf0, 0xd1, 0x4f, 0x40,
    0x4f, 0xd1, 0xf0, 0x1f, 0xb0, 0xd1, 0x0f, 0x00, 0x00, 0x00, 0x0f, 0xd1, 0xb0, 0xff,
    0x4f, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4f, 0xff, 0xff, 0x30, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x30, 0xff, 0xff, 0x4f, 0x00, 0x00, 0x00, 0x00, 0x00, 0x4f, 0xff, 0xb0, 0xd1,
    0x0f, 0x00, 0x00, 0x00, 0x0f, 0xd1, 0xb0, 0x1f, 0xf0, 0xd1, 0x4f, 0x40, 0x4f, 0xd1,
    0xf0, 0x1f, 0x00, 0x1f, 0xb0, 0xff, 0xff, 0xff, 0xb0, 0x1f, 0x00};
const unsigned char kPl40[] = {
    0, 0,   255, 255, 255, 255, 255, 0,   0, 0, 255, 255, 0,   0,   0,   255, 255, 0, 255, 255, 0,
    0, 0,   0,   0,   255, 255, 255, 0,   0, 0, 0,   0,   0,   0,   255, 255, 0,   0, 0,   0,   0,
    0, 0,   255, 255, 0,   0,   0,   0,   0, 0, 0,   255, 255, 255, 0,   0,   0,   0, 0,   255, 255,
    0, 255, 255, 0,   0,   0,   255, 255, 0, 0, 0,   255, 255, 255, 255, 255, 0,   0};

const unsigned char* smallCircle(float r, bool aa) {
  const unsigned char* maps[6][2] = {{kPl15, kAA15}, {kPl20, kAA20}, {kPl25, kAA25},
                                     {kPl30, kAA30}, {kPl35, kAA35}, {kPl40, kAA40}};
  for (int i = 0; i < 6; ++i)
    if (r == 1.5f + 0.5f * (float)i) return maps[i][aa ? 1 : 0];
  return nullptr;
}

void circle(PX_IBitmap* bm, float cx, float cy, float r, PX_pixel colour, float alpha, int mode,
            bool aa, bool fill) {
  PxSolid s;
  if (!(r >= 0) || r > PX_MAX_CIRCLE_RADIUS || !std::isfinite(cx) || !std::isfinite(cy) ||
      !px_solid_init(&s, bm, colour, alpha, mode))
    return;
  if (px_solid_memory_rows(&s)) cy = (float)(s.h - 1) - cy;
  if (!fill) {
    if (const unsigned char* map = smallCircle(r, aa)) {
      const int size = (int)(2 * r + 1);
      px_draw_glyph_rows(s.rows, s.w, s.h, px_ftoi(cx - r), px_ftoi(cy - r), colour, map, size,
                         size, size, s.alpha, mode & ~PX_USE_SOURCE_ALPHA);
      return;
    }
  }
  px_circle_draw(s, cx, cy, r, aa, fill, PxBox{0, 0, s.w - 1, s.h - 1});
}

}  // namespace

void px_circle_draw(const PxSolid& s, double cx, double cy, double r, bool aa, bool fill,
                    const PxBox& box) {
  const int64_t icx = px_ftoi(cx + 0.5), icy = px_ftoi(cy + 0.5);
  const int64_t reach = (int64_t)r + 2;
  if (icx + reach < box.l || icx - reach > box.r || icy + reach < box.t || icy - reach > box.b)
    return;
  auto draw = [&](auto tag) {
    typedef typename decltype(tag)::type C;
    const CirclePen<C> pen{s.rows, px_ink(s), s.ia, box, icx, icy};
    if (aa) antialiased(pen, r, fill);
    else midpoint(pen, (int64_t)(r + 0.5), fill);
  };
  if (aa) px_dispatch_solid(s.mode, s.ia, draw);
  else px_dispatch_line(s.mode, s.ia, draw);
}

void PX_Circle(PX_IBitmap* bm, float cx, float cy, float r, PX_pixel colour, float alpha, int mode,
               bool aa) {
  circle(bm, cx, cy, r, colour, alpha, mode, aa, false);
}

void PX_FillCircle(PX_IBitmap* bm, float cx, float cy, float r, PX_pixel colour, float alpha,
                   int mode, bool aa) {
  circle(bm, cx, cy, r, colour, alpha, mode, aa, true);
}
