// Solid rectangle fills and the scan-line flood fill.
#include "raster/raster.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/pixels/fill_p.h"
#include "raster/pixels/util_p.h"

template <class C>
static void px_fill_word(PxRows rows, int x, int y, int w, int h, PX_pixel src) {
  for (int row = 0; row < h; ++row) {
    PX_pixel* p = rows.row(y + row) + x;
    for (int i = 0; i < w; ++i) C::doPix(p + i, src);
  }
}

template <class C>
static void px_fill_blend(PxRows rows, int x, int y, int w, int h, int r, int g, int b, int a,
                          int ia) {
  for (int row = 0; row < h; ++row) {
    PX_pixel_chan* p = (PX_pixel_chan*)(rows.row(y + row) + x);
    for (int i = 0; i < w; ++i, p += 4) C::doPix(p, r, g, b, a, ia);
  }
}

// Copy at weights 256, 128, 64 and 192 through the whole-word classes.
static bool px_fill_fast(PxRows rows, int x, int y, int w, int h, PX_pixel colour, int ia) {
  const PX_pixel half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
  switch (ia) {
    case 256: px_fill_solid_rows(rows, x, y, w, h, colour); return true;
    case 128: px_fill_word<PX_CombinePixelsHalfMix2FAST>(rows, x, y, w, h, half); return true;
    case 64: px_fill_word<PX_CombinePixelsQuarterMix2FAST>(rows, x, y, w, h, quarter); return true;
    case 192:
      px_fill_word<PX_CombinePixelsThreeQuarterMix2FAST>(rows, x, y, w, h, half + quarter);
      return true;
    default: return false;
  }
}

void PX_FillRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel colour, float alpha,
                 int mode) {
  if (mode & PX_USE_SOURCE_ALPHA) alpha *= (float)PX_GETA(colour) / 255.0f;
  if (!px_clip_rect(bm, x, y, w, h) || alpha == 0.0f) return;
  const PxRows rows = px_rows(bm);
  const int ia = px_weight(alpha);
  if ((mode & 0xff) == 0 && px_fill_fast(rows, x, y, w, h, colour, ia)) return;
  if (ia == 0) return;
  // The weight doubles as the source alpha value, which may be 256: the copy
  // class clamps so that such an alpha saturates instead of wrapping to 0.
  px_dispatch_solid_with<PX_CombinePixelsCopyClamp, PX_CombinePixelsMulNoClamp>(
      mode, ia, [&](auto tag) {
        px_fill_blend<typename decltype(tag)::type>(rows, x, y, w, h, PX_GETR(colour),
                                                    PX_GETG(colour), PX_GETB(colour), ia, ia);
      });
}

namespace {

// Flood-fill state over the bitmap's memory rows.
struct SimpleFill {
  PX_pixel* bits;
  ptrdiff_t span;
  int w;
  PX_pixel newcolour, comparemask, keepmask, key;

  bool matches(PX_pixel p) const { return (p & comparemask) == key; }
  void paint(PX_pixel* p) const { *p = newcolour | (keepmask & *p); }

  // Paints column x of row y and the matching runs to its right and left;
  // false when the column-x pixel does not match.
  bool paintRow(int x, int y) const {
    PX_pixel* row = bits + span * y;
    if (!matches(row[x])) return false;
    paint(row + x);
    for (int i = x + 1; i < w && matches(row[i]); ++i) paint(row + i);
    for (int i = x - 1; i >= 0 && matches(row[i]); --i) paint(row + i);
    return true;
  }
};

}  // namespace

void PX_SimpleFill(PX_IBitmap* bm, int x, int y, PX_pixel newcolour, PX_pixel comparemask,
                   PX_pixel keepmask) {
  if (!bm || !bm->getBits()) return;
  const int w = bm->getWidth(), h = bm->getHeight();
  if (x < 0 || y < 0 || x >= w || y >= h) return;
  SimpleFill f{bm->getBits(), bm->getRowSpan(), w, newcolour, comparemask, keepmask, 0};
  f.key = comparemask & f.bits[f.span * y + x];
  for (int row = y; row < h && f.paintRow(x, row); ++row) {
  }
  for (int row = y - 1; row >= 0 && f.paintRow(x, row); --row) {
  }
}
