// Single-pixel combining and simple whole-bitmap operations.
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/pixels/util_p.h"

// Any int channel and weight: beyond the range where int arithmetic is safe
// the formula runs in 128 bits, which gives the exact result.
template <bool CLAMP>
static void px_combine2(PX_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  if (!dest || ia == 0) return;
  const bool narrow = px_within_max_weight(r) && px_within_max_weight(g) &&
                      px_within_max_weight(b) && px_within_max_weight(a) &&
                      px_within_max_weight(ia);
  px_dispatch_blit<CLAMP>(mode, ia, [&](auto tag) {
    typedef typename decltype(tag)::type C;
    if (narrow) C::doPix((PX_pixel_chan*)dest, r, g, b, a, ia);
    else C::template apply<PxWide>((PX_pixel_chan*)dest, r, g, b, a, ia);
  });
}

PX_pixel PX_CombinePixels(PX_pixel dest, PX_pixel src, float alpha, int mode) {
  px_combine2<false>(&dest, PX_GETR(src), PX_GETG(src), PX_GETB(src), PX_GETA(src),
                     px_weight(alpha), mode);
  return dest;
}

void PX_CombinePixels2(PX_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  px_combine2<false>(dest, r, g, b, a, ia, mode);
}

void PX_CombinePixels2Clamp(PX_pixel* dest, int r, int g, int b, int a, int ia, int mode) {
  px_combine2<true>(dest, r, g, b, a, ia, mode);
}

void PX_Clear(PX_IBitmap* bm, PX_pixel colour) {
  int x = 0, y = 0, w = bm ? bm->getWidth() : 0, h = bm ? bm->getHeight() : 0;
  if (!px_clip_rect(bm, x, y, w, h)) return;
  PX_pixel* p = bm->getBits();
  const ptrdiff_t span = bm->getRowSpan();
  for (int row = 0; row < h; ++row, p += span)
    for (int i = 0; i < w; ++i) p[i] = colour;
}

// Visits each pixel of the clipped rectangle, image rows top first.
template <class F>
static void px_for_rect(PX_IBitmap* bm, int x, int y, int w, int h, F&& f) {
  if (!px_clip_rect(bm, x, y, w, h)) return;
  const PxRows rows = px_rows(bm);
  for (int row = 0; row < h; ++row) {
    PX_pixel* p = rows.row(y + row) + x;
    for (int i = 0; i < w; ++i) f(p + i);
  }
}

void PX_ClearRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel mask, PX_pixel orbits) {
  px_for_rect(bm, x, y, w, h, [=](PX_pixel* p) { *p = (*p & mask) | orbits; });
}

void PX_ProcessRect(PX_IBitmap* bm, int x, int y, int w, int h,
                    void (*callback)(PX_pixel* px, void* parm), void* parm) {
  if (!callback) return;
  px_for_rect(bm, x, y, w, h, [=](PX_pixel* p) { callback(p, parm); });
}

void PX_SetAlphaFromColorMask(PX_IBitmap* bm, PX_pixel colour) {
  px_for_rect(bm, 0, 0, bm ? bm->getWidth() : 0, bm ? bm->getHeight() : 0, [=](PX_pixel* p) {
    const PX_pixel rgb = *p & 0xFFFFFF00u;
    *p = rgb == colour ? rgb : rgb | 0xFF;
  });
}

static PX_pixel* px_pixel_at(PX_IBitmap* bm, int x, int y) {
  if (!bm || !bm->getBits()) return nullptr;
  if (x < 0 || y < 0 || x >= bm->getWidth() || y >= bm->getHeight()) return nullptr;
  return px_rows(bm).row(y) + x;
}

PX_pixel PX_GetPixel(PX_IBitmap* bm, int x, int y) {
  const PX_pixel* p = px_pixel_at(bm, x, y);
  return p ? *p : 0;
}

void PX_PutPixel(PX_IBitmap* bm, int x, int y, PX_pixel colour, float alpha, int mode) {
  PX_pixel* p = px_pixel_at(bm, x, y);
  if (!p) return;
  const int ia = px_weight(alpha);
  if ((mode & 0xff) == 0) {
    const PX_pixel half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
    switch (ia) {
      case 256: *p = colour; return;
      case 128: PX_CombinePixelsHalfMix2FAST::doPix(p, half); return;
      case 64: PX_CombinePixelsQuarterMix2FAST::doPix(p, quarter); return;
      case 192: PX_CombinePixelsThreeQuarterMix2FAST::doPix(p, half + quarter); return;
      default: break;
    }
  }
  if (ia == 0) return;
  px_dispatch_solid(mode, ia, [&](auto tag) {
    decltype(tag)::type::doPix((PX_pixel_chan*)p, PX_GETR(colour), PX_GETG(colour), PX_GETB(colour),
                               PX_GETA(colour), ia);
  });
}

void PX_Copy(PX_IBitmap* dest, PX_IBitmap* src) {
  if (!dest || !src) return;
  dest->resize(src->getWidth(), src->getHeight());
  PX_Blit(dest, src, 0, 0, nullptr, 1.0f, 0);
}
