// Cached font drawing: glyph blending, text layout, measuring and alignment.
#include <cstdint>
#include <cstring>

#include "gdi/gdi.h"
#include "raster/raster.h"
#include "raster/text/glyph_p.h"
#include "raster/text/text.h"
#include "raster/text/utf8_p.h"

namespace {

int saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : (int)v; }

RECT intersect(RECT a, const RECT& b) {
  if (b.left > a.left) a.left = b.left;
  if (b.top > a.top) a.top = b.top;
  if (b.right < a.right) a.right = b.right;
  if (b.bottom < a.bottom) a.bottom = b.bottom;
  return a;
}

}  // namespace

bool PX_CachedFont::DrawGlyph(PX_IBitmap* bm, unsigned short c, int x, int y, RECT* clip) {
  if (!bm || !clip) return false;
  const charEnt* e = findChar(c);
  if (!e || e->base_offset <= 0) return false;
  RECT box{x, y, saturate((int64_t)x + e->width), saturate((int64_t)y + e->height)};
  box = intersect(intersect(box, *clip), RECT{0, 0, bm->getWidth(), bm->getHeight()});
  const PxRows rows = px_rows(bm);
  if (box.right <= box.left || box.bottom <= box.top || !rows.base) return false;
  if (m_bgmode == 1)
    PX_FillRect(bm, box.left, box.top, box.right - box.left, box.bottom - box.top, m_bg, m_alpha,
                m_comb & ~PX_USE_SOURCE_ALPHA);
  int ia = px_weight(m_alpha);
  if (ia <= 0) return true;
  // Only the inked part of the cell can change a pixel.
  const unsigned char* map = m_cachestore.Get() + e->base_offset - 1;
  PxInkBox ink;
  memcpy(&ink, map - sizeof(ink), sizeof(ink));
  box = intersect(box, RECT{saturate((int64_t)x + ink.left), saturate((int64_t)y + ink.top),
                            saturate((int64_t)x + ink.right), saturate((int64_t)y + ink.bottom)});
  if (box.right <= box.left || box.bottom <= box.top) return true;
  const PxGlyphKind kind = (m_flags & PX_FONT_FLAG_FX_MONO) ? kPxGlyphMono
                           : (m_flags & (PX_FONT_FLAG_FX_SHADOW | PX_FONT_FLAG_FX_OUTLINE))
                               ? kPxGlyphEffect
                               : kPxGlyphNormal;
  if (kind != kPxGlyphNormal && ia > 256) ia = 256;
  const unsigned char* cov = map + (ptrdiff_t)(box.top - y) * e->width + (box.left - x);
  const PxGlyphDraw g{
      rows, box.left,    box.top, cov, e->width, box.right - box.left, box.bottom - box.top,
      m_fg, m_effectcol, ia};
  if (kind != kPxGlyphNormal && m_alpha == 1.0f && (m_comb & 0xff) == 0) px_store_coverage(g, kind);
  else px_draw_coverage(g, m_comb, kind);
  return true;
}

// Walks the text by characters, rendering glyphs on first use, and returns
// the text box {0, 0, width, height}. With bm it also draws each glyph from
// (x0, y0) inside clip.
RECT PX_CachedFont::layoutText(PX_IBitmap* bm, const char* text, int length, int x0, int y0,
                               const RECT* clip, unsigned flags) {
  const bool vertical = (m_flags & PX_FONT_FLAG_VERTICAL) != 0;
  const bool upward = vertical && (m_flags & PX_FONT_FLAG_VERTICAL_BOTTOMUP);
  const unsigned char* p = (const unsigned char*)text;
  int64_t along = 0, across = 0, boxw = 0, boxh = 0;
  for (int64_t i = 0; (length < 0 || i < length) && p[i];) {
    const int avail = length < 0 ? 4 : (int)(length - i < 4 ? length - i : 4);
    int code;
    i += px_utf8char(p + i, avail, &code);
    if (code == '\r') continue;
    if (code == '\n') {
      if (!(flags & DT_SINGLELINE)) {
        across += m_line_height + m_lsadj;
        along = 0;
        continue;
      }
      code = ' ';
    }
    const charEnt* e = glyphFor((unsigned short)code);
    if (!e) continue;
    const int64_t w = e->width, h = e->height, advance = e->advance;
    if (vertical) {
      if (across + w > boxw) boxw = across + w;
      if (along + h > boxh) boxh = along + h;
    } else {
      if (along + w > boxw) boxw = along + w;
      if (across + h > boxh) boxh = across + h;
    }
    if (bm) {
      const int64_t gx = vertical ? across : along;
      const int64_t gy = !vertical ? across : upward ? -along - h : along;
      RECT c = *clip;
      DrawGlyph(bm, (unsigned short)code, saturate(x0 + gx), saturate(y0 + gy), &c);
    }
    along += advance;
  }
  return RECT{0, 0, saturate(boxw), saturate(boxh)};
}

int PX_CachedFont::DrawText(PX_IBitmap* bm, const char* text, int length, RECT* rect,
                            unsigned flags) {
  if (!text || !rect) return 0;
  if (!bm && !(flags & DT_CALCRECT)) return 0;
  if (useNative(flags)) return drawNative(bm, text, length, rect, flags);
  const bool vertical = (m_flags & PX_FONT_FLAG_VERTICAL) != 0;
  if (flags & DT_CALCRECT) {
    const RECT box = layoutText(nullptr, text, length, 0, 0, nullptr, flags);
    rect->right = saturate((int64_t)rect->left + box.right);
    rect->bottom = saturate((int64_t)rect->top + box.bottom);
    return vertical ? box.right : box.bottom;
  }

  const float savedAlpha = m_alpha;
  if (flags & PX_DT_USEFGALPHA) m_alpha *= (float)PX_GETA(m_fg) / 255.0f;
  if (m_alpha == 0.0f) {
    m_alpha = savedAlpha;
    return 0;
  }
  const bool upward = vertical && (m_flags & PX_FONT_FLAG_VERTICAL_BOTTOMUP);
  int64_t x = rect->left, y = upward ? rect->bottom : rect->top;
  if (flags & (DT_CENTER | DT_RIGHT | DT_VCENTER | DT_BOTTOM)) {
    const RECT box = layoutText(nullptr, text, length, 0, 0, nullptr, flags & DT_SINGLELINE);
    y = rect->top;
    if (flags & DT_CENTER) x += ((int64_t)rect->right - rect->left - box.right) / 2;
    else if (flags & DT_RIGHT) x = (int64_t)rect->right - box.right;
    if (flags & DT_VCENTER) y += ((int64_t)rect->bottom - rect->top - box.bottom) / 2;
    else if (flags & DT_BOTTOM) y = (int64_t)rect->bottom - box.bottom;
    if (upward) y += box.bottom;
  }
  const RECT whole{0, 0, bm->getWidth(), bm->getHeight()};
  const RECT clip = (flags & DT_NOCLIP) ? whole : intersect(*rect, whole);
  const RECT box = layoutText(bm, text, length, saturate(x), saturate(y), &clip, flags);
  m_alpha = savedAlpha;
  return vertical ? box.right : box.bottom;
}
