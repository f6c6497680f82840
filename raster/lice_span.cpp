// Horizontal and vertical runs of one colour: the building block of straight
// lines, rectangles, circle fills and polygon rows.
#include "raster/lice_shape_p.h"

namespace {

template <class W>
void wordRun(LICE_pixel* p, ptrdiff_t step, int n, LICE_pixel src) {
  for (int i = 0; i < n; ++i, p += step) W::doPix(p, src);
}

template <class C>
void blendRun(const LiceSolid& s, LICE_pixel* p, ptrdiff_t step, int n) {
  for (int i = 0; i < n; ++i, p += step) C::doPix((LICE_pixel_chan*)p, s.r, s.g, s.b, s.a, s.ia);
}

void run(const LiceSolid& s, LICE_pixel* p, ptrdiff_t step, int n) {
  if ((s.mode & 0xff) == 0) {
    const LICE_pixel half = (s.colour >> 1) & 0x7f7f7f7f, quarter = (s.colour >> 2) & 0x3f3f3f3f;
    if (s.alpha == 1.0f) return wordRun<_LICE_CombinePixelsClobberFAST>(p, step, n, s.colour);
    if (s.alpha == 0.5f) return wordRun<_LICE_CombinePixelsHalfMix2FAST>(p, step, n, half);
    if (s.alpha == 0.25f) return wordRun<_LICE_CombinePixelsQuarterMix2FAST>(p, step, n, quarter);
    if (s.alpha == 0.75f)
      return wordRun<_LICE_CombinePixelsThreeQuarterMix2FAST>(p, step, n, half + quarter);
  }
  lice_dispatch_line(s.mode, s.ia, [&](auto tag) {
    blendRun<typename decltype(tag)::type>(s, p, step, n);
  });
}

}  // namespace

void lice_hspan(const LiceSolid& s, int x0, int x1, int y) {
  run(s, s.rows.row(y) + x0, 1, x1 - x0 + 1);
}

void lice_vspan(const LiceSolid& s, int x, int y0, int y1) {
  run(s, s.rows.row(y0) + x, s.rows.step, y1 - y0 + 1);
}

void lice_hspan_clipped(const LiceSolid& s, int64_t x0, int64_t x1, int64_t y) {
  if (y < 0 || y >= s.h) return;
  if (x0 < 0) x0 = 0;
  if (x1 >= s.w) x1 = s.w - 1;
  if (x0 <= x1) lice_hspan(s, (int)x0, (int)x1, (int)y);
}

void lice_vspan_clipped(const LiceSolid& s, int64_t x, int64_t y0, int64_t y1) {
  if (x < 0 || x >= s.w) return;
  if (y0 < 0) y0 = 0;
  if (y1 >= s.h) y1 = s.h - 1;
  if (y0 <= y1) lice_vspan(s, (int)x, (int)y0, (int)y1);
}

bool lice_solid_init(LiceSolid* s, LICE_IBitmap* bm, LICE_pixel colour, float alpha, int mode) {
  if (!bm) return false;
  if (mode & LICE_USE_SOURCE_ALPHA) alpha *= (float)LICE_GETA(colour) / 255.0f;
  s->rows = lice_rows(bm);
  s->w = bm->getWidth();
  s->h = bm->getHeight();
  s->r = (int)LICE_GETR(colour);
  s->g = (int)LICE_GETG(colour);
  s->b = (int)LICE_GETB(colour);
  s->a = (int)LICE_GETA(colour);
  s->ia = lice_weight(alpha);
  // Copy above full weight would wrap the formula: it is full weight.
  if ((mode & 0xff) == 0 && s->ia > 256) s->ia = 256;
  s->colour = colour;
  s->alpha = alpha;
  s->mode = mode;
  return s->rows.base && s->w > 0 && s->h > 0 && s->ia > 0;
}
