#include "gui/x11/x11_paint.h"

#include "gui/graphics.h"
#include "gui/resource_caches.h"
#include "gui/x11/x11_surface.h"
#include "raster/text/text.h"

bool X11DrawText(Graphics* pGraphics, PX_IBitmap* pBitmap, IText* pStyle, const char* text, int len,
                 RECT* pR, unsigned flags) {
  if (!text || !pStyle || !pR) return false;
  ResourceUse use;
  if (!use) return false;
  TextLock lock;
  PX_IFont* pFont = pStyle->mCached ? pStyle->mCached : pGraphics->CacheFont(pStyle);
  if (!pFont) return false;
  pFont->SetTextColor(PxColor(&pStyle->mColor));
  pFont->DrawText((flags & DT_CALCRECT) ? nullptr : pBitmap, text, len, pR, flags);
  return true;
}

int X11TextWidth(Graphics* pGraphics, IText* pStyle, const char* text, int len) {
  if (len <= 0) return 0;
  RECT r = {0, 0, 0, 0};
  if (!X11DrawText(pGraphics, nullptr, pStyle, text, len, &r, DT_CALCRECT | DT_NOCLIP)) return 0;
  return r.right;
}

void X11PutBitmap(Display* pDisplay, Window window, PX_IBitmap* pBitmap, int scale) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(pDisplay, window, &a)) return;
  X11Surface surface;
  const int w = pBitmap->getWidth() * scale, h = pBitmap->getHeight() * scale;
  if (!surface.Create(pDisplay, a.visual, a.depth, w, h, false)) return;
  GC gc = XCreateGC(pDisplay, window, 0, nullptr);
  surface.Put(window, gc, pBitmap, IRECT(0, 0, pBitmap->getWidth(), pBitmap->getHeight()), scale);
  XFreeGC(pDisplay, gc);
}
