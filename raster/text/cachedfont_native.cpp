// Native text: large or plain text handed to the GDI layer, drawn into the
// bitmap's own device context or through a temporary bitmap.
#include <cstdint>

#include "gdi/gdi.h"
#include "raster/blit/blit.h"
#include "raster/text/cachedfont_p.h"
#include "raster/text/text.h"

namespace {

constexpr unsigned kAlignFlags = DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM;

int gdiColour(PX_pixel c) { return (int)(PX_GETR(c) << 16 | PX_GETG(c) << 8 | PX_GETB(c)); }

// Selects the font and the colours into dc for one draw, and restores them.
class DcText {
 public:
  DcText(HDC dc, HFONT font, PX_pixel fg, PX_pixel bg, int bkmode)
      : m_dc(dc),
        m_font(SelectObject(dc, font)),
        m_fg(::SetTextColor(dc, gdiColour(fg))),
        m_bg(::SetBkColor(dc, gdiColour(bg))),
        m_mode(::SetBkMode(dc, bkmode)) {}
  ~DcText() {
    ::SetBkMode(m_dc, m_mode);
    ::SetBkColor(m_dc, m_bg);
    ::SetTextColor(m_dc, m_fg);
    SelectObject(m_dc, m_font);
  }
  DcText(const DcText&) = delete;
  DcText& operator=(const DcText&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_font;
  int m_fg, m_bg, m_mode;
};

int64_t alignedStart(int64_t lo, int64_t hi, int64_t size, bool centre, bool far) {
  if (far) return hi - size;
  if (centre) return lo + (hi - lo) / 2 - size / 2;
  return lo;
}

}  // namespace

bool PX_CachedFont::useNative(unsigned flags) const {
  if (!m_font) return false;
  if (m_line_height > 255) return true;
  const int effects = PX_FONT_FLAG_PRECALCALL | PX_FONT_FLAG_VERTICAL |
                      PX_FONT_FLAG_VERTICAL_BOTTOMUP | PX_FONT_FLAG_FX_BLUR |
                      PX_FONT_FLAG_FX_INVERT | PX_FONT_FLAG_FX_MONO | PX_FONT_FLAG_FX_SHADOW |
                      PX_FONT_FLAG_FX_OUTLINE;
  return (m_flags & PX_FONT_FLAG_FORCE_NATIVE) && !(flags & (PX_DT_NEEDALPHA | PX_DT_USEFGALPHA)) &&
         !(m_flags & effects) && (m_lsadj == 0 || (flags & DT_SINGLELINE));
}

int PX_CachedFont::drawNative(PX_IBitmap* bm, const char* text, int length, RECT* rect,
                              unsigned flags) {
  flags &= ~(PX_DT_NEEDALPHA | PX_DT_USEFGALPHA);
  HDC own = bm ? bm->getDC() : nullptr;
  if (own) {
    DcText sel(own, m_font, m_fg, m_bg, m_bgmode);
    return GDI_DrawText(own, text, length, rect, (int)flags);
  }
  PX_SysBitmap* tmp = px_font_nativebitmap(4, 4);
  if (!tmp) return 0;
  RECT size{0, 0, 0, 0};
  {
    DcText sel(tmp->getDC(), m_font, m_fg, m_bg, m_bgmode);
    GDI_DrawText(tmp->getDC(), text, length, &size,
                 (int)((flags & (DT_SINGLELINE | DT_NOPREFIX)) | DT_CALCRECT));
  }
  if (flags & DT_CALCRECT) {
    rect->right = (int)((int64_t)rect->left + size.right);
    rect->bottom = (int)((int64_t)rect->top + size.bottom);
    return size.bottom;
  }
  if (!bm) return 0;
  const int64_t x =
      alignedStart(rect->left, rect->right, size.right, flags & DT_CENTER, flags & DT_RIGHT);
  const int64_t y =
      alignedStart(rect->top, rect->bottom, size.bottom, flags & DT_VCENTER, flags & DT_BOTTOM);
  int64_t l = x, t = y, r = x + size.right, b = y + size.bottom;
  if (!(flags & DT_NOCLIP)) {
    l = l > rect->left ? l : rect->left;
    t = t > rect->top ? t : rect->top;
    r = r < rect->right ? r : rect->right;
    b = b < rect->bottom ? b : rect->bottom;
  }
  l = l > 0 ? l : 0;
  t = t > 0 ? t : 0;
  r = r < bm->getWidth() ? r : bm->getWidth();
  b = b < bm->getHeight() ? b : bm->getHeight();
  if (r <= l || b <= t) return size.bottom;
  const int w = (int)(r - l), h = (int)(b - t);
  tmp = px_font_nativebitmap(w, h);
  if (!tmp) return 0;
  PX_Blit(tmp, bm, 0, 0, (int)l, (int)t, w, h, 1.0f, 0);
  RECT at{(int)(x - l), (int)(y - t), (int)(x - l + size.right), (int)(y - t + size.bottom)};
  int ret;
  {
    DcText sel(tmp->getDC(), m_font, m_fg, m_bg, m_bgmode);
    ret = GDI_DrawText(tmp->getDC(), text, length, &at, (int)(flags & ~kAlignFlags));
  }
  PX_Blit(bm, tmp, (int)l, (int)t, 0, 0, w, h, m_alpha, 0);
  return ret;
}
