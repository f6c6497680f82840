// The rasterisation bitmaps every cached font shares; they live while any
// font does. Fonts are used on the GUI thread only, so nothing is locked.
#include <new>

#include "gdi/gdi.h"
#include "raster/text/cachedfont_p.h"

namespace {

PX_SysBitmap* s_tempbitmap = nullptr;
PX_SysBitmap* s_nativerender_tempbitmap = nullptr;
int s_tempbitmap_refcnt = 0;

// Grows bm (created on demand) to at least w x h; null when that failed.
PX_SysBitmap* grown(PX_SysBitmap*& bm, int w, int h, bool* grew) {
  *grew = false;
  if (!bm) bm = new (std::nothrow) PX_SysBitmap();
  if (!bm) return nullptr;
  if (bm->getWidth() < w || bm->getHeight() < h || !bm->getDC()) {
    const int nw = bm->getWidth() > w ? bm->getWidth() : w;
    const int nh = bm->getHeight() > h ? bm->getHeight() : h;
    bm->resize(nw, nh);
    *grew = true;
  }
  return bm->getWidth() >= w && bm->getHeight() >= h && bm->getDC() ? bm : nullptr;
}

}  // namespace

PX_SysBitmap* px_font_tempbitmap(int size) {
  bool grew;
  PX_SysBitmap* bm = grown(s_tempbitmap, size, size, &grew);
  if (bm && grew) {
    ::SetTextColor(bm->getDC(), 0xFFFFFF);
    ::SetBkMode(bm->getDC(), OPAQUE);
    ::SetBkColor(bm->getDC(), 0);
  }
  return bm;
}

PX_SysBitmap* px_font_nativebitmap(int w, int h) {
  bool grew;
  return grown(s_nativerender_tempbitmap, w < 4 ? 4 : w, h < 4 ? 4 : h, &grew);
}

void px_font_addref() { ++s_tempbitmap_refcnt; }

void px_font_release() {
  if (--s_tempbitmap_refcnt > 0) return;
  delete s_tempbitmap;
  delete s_nativerender_tempbitmap;
  s_tempbitmap = s_nativerender_tempbitmap = nullptr;
}
