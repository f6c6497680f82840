// Horizontal and vertical runs of one colour: the building block of straight
// lines, rectangles, circle fills and polygon rows.
#include "raster/shapes/shape_p.h"

namespace {

template <class W>
void wordRun(PX_pixel* p, ptrdiff_t step, int n, PX_pixel src) {
  for (int i = 0; i < n; ++i, p += step) W::doPix(p, src);
}

template <class C>
void blendRun(const PxSolid& s, PX_pixel* p, ptrdiff_t step, int n) {
  const PxInk k = px_ink(s);
  const int ia = s.ia;
  for (int i = 0; i < n; ++i, p += step) px_blend<C>(p, k, ia);
}

void run(const PxSolid& s, PX_pixel* p, ptrdiff_t step, int n) {
  if ((s.mode & 0xff) == 0) {
    const PX_pixel half = (s.colour >> 1) & 0x7f7f7f7f, quarter = (s.colour >> 2) & 0x3f3f3f3f;
    if (s.alpha == 1.0f) return wordRun<PX_CombinePixelsClobberFAST>(p, step, n, s.colour);
    if (s.alpha == 0.5f) return wordRun<PX_CombinePixelsHalfMix2FAST>(p, step, n, half);
    if (s.alpha == 0.25f) return wordRun<PX_CombinePixelsQuarterMix2FAST>(p, step, n, quarter);
    if (s.alpha == 0.75f)
      return wordRun<PX_CombinePixelsThreeQuarterMix2FAST>(p, step, n, half + quarter);
  }
  px_dispatch_line(s.mode, s.ia,
                   [&](auto tag) { blendRun<typename decltype(tag)::type>(s, p, step, n); });
}

}  // namespace

void px_hspan(const PxSolid& s, int x0, int x1, int y) {
  run(s, s.rows.row(y) + x0, 1, x1 - x0 + 1);
}

void px_vspan(const PxSolid& s, int x, int y0, int y1) {
  run(s, s.rows.row(y0) + x, s.rows.step, y1 - y0 + 1);
}

void px_hspan_clipped(const PxSolid& s, int64_t x0, int64_t x1, int64_t y) {
  if (y < 0 || y >= s.h) return;
  if (x0 < 0) x0 = 0;
  if (x1 >= s.w) x1 = s.w - 1;
  if (x0 <= x1) px_hspan(s, (int)x0, (int)x1, (int)y);
}

void px_vspan_clipped(const PxSolid& s, int64_t x, int64_t y0, int64_t y1) {
  if (x < 0 || x >= s.w) return;
  if (y0 < 0) y0 = 0;
  if (y1 >= s.h) y1 = s.h - 1;
  if (y0 <= y1) px_vspan(s, (int)x, (int)y0, (int)y1);
}

bool px_solid_init(PxSolid* s, PX_IBitmap* bm, PX_pixel colour, float alpha, int mode) {
  if (!bm) return false;
  if (mode & PX_USE_SOURCE_ALPHA) alpha *= (float)PX_GETA(colour) / 255.0f;
  s->rows = px_rows(bm, &s->flipped);
  s->w = bm->getWidth();
  s->h = bm->getHeight();
  s->r = (int)PX_GETR(colour);
  s->g = (int)PX_GETG(colour);
  s->b = (int)PX_GETB(colour);
  s->a = (int)PX_GETA(colour);
  s->ia = px_weight(alpha);
  // Copy above full weight would wrap the formula: it is full weight.
  if ((mode & 0xff) == 0 && s->ia > 256) s->ia = 256;
  s->colour = colour;
  s->alpha = alpha;
  s->mode = mode;
  return s->rows.base && s->w > 0 && s->h > 0 && s->ia > 0;
}

bool px_solid_memory_rows(PxSolid* s) {
  if (!s->flipped) return false;
  s->rows = PxRows{s->rows.row(s->h - 1), -s->rows.step};
  return true;
}
