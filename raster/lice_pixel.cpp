// Single-pixel combining and simple whole-bitmap operations.
#include "raster/lice.h"
#include "raster/lice_blit.h"
#include "raster/lice_dispatch_p.h"
#include "raster/lice_util_p.h"

template <bool CLAMP>
static void lice_combine2(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  if (!dest || ia == 0) return;
  ia = lice_clampi(ia, -kLiceMaxWeight, kLiceMaxWeight);
  r = lice_clampi(r, -kLiceMaxWeight, kLiceMaxWeight);
  g = lice_clampi(g, -kLiceMaxWeight, kLiceMaxWeight);
  b = lice_clampi(b, -kLiceMaxWeight, kLiceMaxWeight);
  a = lice_clampi(a, -kLiceMaxWeight, kLiceMaxWeight);
  lice_dispatch_blit<CLAMP>(mode, ia, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)dest, r, g, b, a, ia);
  });
}

LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode) {
  lice_combine2<false>(&dest, LICE_GETR(src), LICE_GETG(src), LICE_GETB(src), LICE_GETA(src),
                       lice_weight(alpha), mode);
  return dest;
}

void LICE_CombinePixels2(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  lice_combine2<false>(dest, r, g, b, a, ia, mode);
}

void LICE_CombinePixels2Clamp(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  lice_combine2<true>(dest, r, g, b, a, ia, mode);
}

void LICE_Clear(LICE_IBitmap* bm, LICE_pixel colour) {
  int x = 0, y = 0, w = bm ? bm->getWidth() : 0, h = bm ? bm->getHeight() : 0;
  if (!lice_clip_rect(bm, x, y, w, h)) return;
  LICE_pixel* p = bm->getBits();
  const ptrdiff_t span = bm->getRowSpan();
  for (int row = 0; row < h; ++row, p += span)
    for (int i = 0; i < w; ++i) p[i] = colour;
}

// Visits each pixel of the clipped rectangle, image rows top first.
template <class F>
static void lice_for_rect(LICE_IBitmap* bm, int x, int y, int w, int h, F&& f) {
  if (!lice_clip_rect(bm, x, y, w, h)) return;
  const LiceRows rows = lice_rows(bm);
  for (int row = 0; row < h; ++row) {
    LICE_pixel* p = rows.row(y + row) + x;
    for (int i = 0; i < w; ++i) f(p + i);
  }
}

void LICE_ClearRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel mask,
                    LICE_pixel orbits) {
  lice_for_rect(bm, x, y, w, h, [=](LICE_pixel* p) { *p = (*p & mask) | orbits; });
}

void LICE_ProcessRect(LICE_IBitmap* bm, int x, int y, int w, int h,
                      void (*callback)(LICE_pixel* px, void* parm), void* parm) {
  if (!callback) return;
  lice_for_rect(bm, x, y, w, h, [=](LICE_pixel* p) { callback(p, parm); });
}

void LICE_SetAlphaFromColorMask(LICE_IBitmap* bm, LICE_pixel colour) {
  lice_for_rect(bm, 0, 0, bm ? bm->getWidth() : 0, bm ? bm->getHeight() : 0, [=](LICE_pixel* p) {
    const LICE_pixel rgb = *p & 0xFFFFFF00u;
    *p = rgb == colour ? rgb : rgb | 0xFF;
  });
}

static LICE_pixel* lice_pixel_at(LICE_IBitmap* bm, int x, int y) {
  if (!bm || !bm->getBits()) return nullptr;
  if (x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return nullptr;
  return lice_rows(bm).row(y) + x;
}

LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y) {
  const LICE_pixel* p = lice_pixel_at(bm, x, y);
  return p ? *p : 0;
}

void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel colour, float alpha, int mode) {
  LICE_pixel* p = lice_pixel_at(bm, x, y);
  if (!p) return;
  const int ia = lice_weight(alpha);
  if ((mode & 0xff) == 0) {
    const LICE_pixel half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
    switch (ia) {
      case 256:
        *p = colour;
        return;
      case 128:
        _LICE_CombinePixelsHalfMix2FAST::doPix(p, half);
        return;
      case 64:
        _LICE_CombinePixelsQuarterMix2FAST::doPix(p, quarter);
        return;
      case 192:
        _LICE_CombinePixelsThreeQuarterMix2FAST::doPix(p, half + quarter);
        return;
      default:
        break;
    }
  }
  if (ia == 0) return;
  lice_dispatch_solid(mode, ia, [&](auto tag) {
    decltype(tag)::type::doPix((LICE_pixel_chan*)p, LICE_GETR(colour), LICE_GETG(colour),
                               LICE_GETB(colour), LICE_GETA(colour), ia);
  });
}

void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src) {
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  LICE_Blit(dest, src, 0, 0, nullptr, 1.0f, 0);
}
