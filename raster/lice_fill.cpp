// Solid rectangle fills and the scan-line flood fill.
#include "raster/lice.h"
#include "raster/lice_dispatch_p.h"
#include "raster/lice_fill_p.h"
#include "raster/lice_util_p.h"

template <class C>
static void lice_fill_word(LiceRows rows, int x, int y, int w, int h, LICE_pixel src) {
  for (int row = 0; row < h; ++row) {
    LICE_pixel* p = rows.row(y + row) + x;
    for (int i = 0; i < w; ++i) C::doPix(p + i, src);
  }
}

template <class C>
static void lice_fill_blend(LiceRows rows, int x, int y, int w, int h, int r, int g, int b, int a,
                            int ia) {
  for (int row = 0; row < h; ++row) {
    LICE_pixel_chan* p = (LICE_pixel_chan*)(rows.row(y + row) + x);
    for (int i = 0; i < w; ++i, p += 4) C::doPix(p, r, g, b, a, ia);
  }
}

// Copy at weights 256, 128, 64 and 192 through the whole-word classes.
static bool lice_fill_fast(LiceRows rows, int x, int y, int w, int h, LICE_pixel colour, int ia) {
  const LICE_pixel half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
  switch (ia) {
    case 256:
      lice_fill_solid_rows(rows, x, y, w, h, colour);
      return true;
    case 128:
      lice_fill_word<_LICE_CombinePixelsHalfMix2FAST>(rows, x, y, w, h, half);
      return true;
    case 64:
      lice_fill_word<_LICE_CombinePixelsQuarterMix2FAST>(rows, x, y, w, h, quarter);
      return true;
    case 192:
      lice_fill_word<_LICE_CombinePixelsThreeQuarterMix2FAST>(rows, x, y, w, h, half + quarter);
      return true;
    default:
      return false;
  }
}

void LICE_FillRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour, float alpha,
                   int mode) {
  if (mode & LICE_USE_SOURCE_ALPHA) alpha *= (float)LICE_GETA(colour) / 255.0f;
  if (!lice_clip_rect(bm, x, y, w, h) || alpha == 0.0f) return;
  const LiceRows rows = lice_rows(bm);
  const int ia = lice_weight(alpha);
  if ((mode & 0xff) == 0 && lice_fill_fast(rows, x, y, w, h, colour, ia)) return;
  if (ia == 0) return;
  // The weight doubles as the source alpha value, which may be 256: the copy
  // class clamps so that such an alpha saturates instead of wrapping to 0.
  lice_dispatch_solid_with<_LICE_CombinePixelsCopyClamp, _LICE_CombinePixelsMulNoClamp>(
      mode, ia, [&](auto tag) {
        lice_fill_blend<typename decltype(tag)::type>(rows, x, y, w, h, LICE_GETR(colour),
                                                      LICE_GETG(colour), LICE_GETB(colour), ia, ia);
      });
}

namespace {

// Flood-fill state over the bitmap's memory rows.
struct SimpleFill {
  LICE_pixel* bits;
  ptrdiff_t span;
  int w;
  LICE_pixel newcolour, comparemask, keepmask, key;

  bool matches(LICE_pixel p) const { return (p & comparemask) == key; }
  void paint(LICE_pixel* p) const { *p = newcolour | (keepmask & *p); }

  // Paints column x of row y and the matching runs to its right and left;
  // false when the column-x pixel does not match.
  bool paintRow(int x, int y) const {
    LICE_pixel* row = bits + span * y;
    if (!matches(row[x])) return false;
    paint(row + x);
    for (int i = x + 1; i < w && matches(row[i]); ++i) paint(row + i);
    for (int i = x - 1; i >= 0 && matches(row[i]); --i) paint(row + i);
    return true;
  }
};

}  // namespace

void LICE_SimpleFill(LICE_IBitmap* bm, int x, int y, LICE_pixel newcolour, LICE_pixel comparemask,
                     LICE_pixel keepmask) {
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
