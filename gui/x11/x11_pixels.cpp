#include "gui/x11/x11_pixels.h"

#include "gdi/gdi.h"

namespace {

void ConvertRows(const PX_pixel* src, int srcSpan, int w, int h, uint32_t* dest, int destSpan) {
  for (int y = 0; y < h; ++y) {
    const PX_pixel* s = src + (long)y * srcSpan;
    uint32_t* d = dest + (long)y * destSpan;
    for (int x = 0; x < w; ++x) d[x] = X11PixelWord(s[x]);
  }
}

}  // namespace

void X11ConvertRegion(const PX_pixel* src, int srcSpan, const IRECT& r, int scale, uint32_t* dest,
                      int destSpan, SkyHeapBuf* pScratch) {
  const int w = r.W(), h = r.H();
  if (w <= 0 || h <= 0) return;
  const PX_pixel* from = src + (long)r.T * srcSpan + r.L;
  if (scale != 2) {
    ConvertRows(from, srcSpan, w, h, dest + (long)r.T * destSpan + r.L, destSpan);
    return;
  }
  uint32_t* pScratchPixels = (uint32_t*)pScratch->ResizeOK(w * h * (int)sizeof(uint32_t), false);
  if (!pScratchPixels) return;
  ConvertRows(from, srcSpan, w, h, pScratchPixels, w);
  GDI_fastDoubleUpImage((int*)(dest + 2L * r.T * destSpan + 2L * r.L), (const int*)pScratchPixels,
                        w, h, w, destSpan);
}
