// StretchBlt and BitBlt between contexts, and the nearest-sample pixel copy.
#include <cstring>

#include "base/heapbuf.h"
#include "gdi/image_p.h"
#include "gdi/gdi_p.h"

namespace {

// Clips one axis of the source to 0 .. limit, moving and scaling the destination
// by the same proportion. False when nothing is left.
bool ClipAxis(int64_t* d, int64_t* dl, int64_t* s, int64_t* sl, int64_t limit) {
  const int64_t osl = *sl, odl = *dl;
  if (*s < 0) {
    *d -= odl * *s / osl;
    *sl += *s;
    *s = 0;
  }
  if (*s + *sl > limit) *sl = limit - *s;
  if (*sl <= 0) return false;
  if (*sl != osl) *dl = odl * *sl / osl;
  return *dl > 0;
}

void CopyPixel(unsigned char* d, const unsigned char* s, bool useAlpha) {
  if (!useAlpha) {
    d[1] = s[1];
    d[2] = s[2];
    d[3] = s[3];
    return;
  }
  const int a = s[0];
  for (int i = 1; i < 4; ++i)
    d[i] = static_cast<unsigned char>((d[i] * (255 - a) + s[i] * a + 127) / 255);
}

}  // namespace

void GdiDrawPixels(GdiContext* dst, const GdiPixelSource& src, int64_t x, int64_t y, int64_t w,
                   int64_t h, bool useAlpha) {
  if (w <= 0 || h <= 0 || src.w <= 0 || src.h <= 0) return;
  const RECT clip = GdiDeviceClip(dst);
  const int64_t x0 = x > clip.left ? x : clip.left, x1 = x + w < clip.right ? x + w : clip.right;
  const int64_t y0 = y > clip.top ? y : clip.top, y1 = y + h < clip.bottom ? y + h : clip.bottom;
  for (int64_t dy = y0; dy < y1; ++dy) {
    const int64_t sy = src.y + ((2 * (dy - y) + 1) * src.h) / (2 * h);
    const unsigned char* srow = src.bits + static_cast<size_t>(sy * src.span) * 4;
    unsigned char* drow = dst->bits + static_cast<size_t>(dy * dst->rowspan) * 4;
    for (int64_t dx = x0; dx < x1; ++dx) {
      const int64_t sx = src.x + ((2 * (dx - x) + 1) * src.w) / (2 * w);
      CopyPixel(drow + dx * 4, srow + sx * 4, useAlpha);
    }
  }
}

void StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                unsigned rop) {
  if (!HDC_VALID(dest) || !HDC_VALID(src) || !src->ownedData || !GdiHasSurface(dest)) return;
  if (sw <= 0 || sh <= 0 || w <= 0 || h <= 0) return;
  int64_t dx = x, dy = y, dw = w, dh = h;
  GdiPixelSource ps{src->ctx.bits, src->ctx.rowspan, sx, sy, sw, sh};
  if (!ClipAxis(&dx, &dw, &ps.x, &ps.w, src->ctx.width)) return;
  if (!ClipAxis(&dy, &dh, &ps.y, &ps.h, src->ctx.height)) return;

  // Drawing a context into itself reads from a copy of the source region.
  SkyHeapBuf* tmp = nullptr;
  if (src == dest) {
    tmp = GDI_GDP_GetTmpBuf();
    const int64_t bytes = ps.w * ps.h * 4;
    void* p = tmp && bytes <= 0x7fffffff ? tmp->ResizeOK(static_cast<int>(bytes), false) : nullptr;
    if (!p) {
      GDI_GDP_DisposeTmpBuf(tmp);
      return;
    }
    unsigned char* out = static_cast<unsigned char*>(p);
    for (int64_t row = 0; row < ps.h; ++row)
      memcpy(out + row * ps.w * 4, ps.bits + ((ps.y + row) * ps.span + ps.x) * 4,
             static_cast<size_t>(ps.w) * 4);
    ps = GdiPixelSource{out, static_cast<int>(ps.w), 0, 0, ps.w, ps.h};
  }
  GdiDrawPixels(&dest->ctx, ps, dx, dy, dw, dh, rop == SRCCOPY_USEALPHACHAN);
  GDI_GDP_DisposeTmpBuf(tmp);
}

void BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, unsigned rop) {
  StretchBlt(dest, x, y, w, h, src, sx, sy, w, h, rop);
}
