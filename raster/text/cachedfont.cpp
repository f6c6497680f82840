// Cached font: settings, the glyph records and lazy rasterisation of each
// character through the GDI layer into an 8-bit coverage cache.
#include <climits>
#include <cstring>

#include "gdi/gdi.h"
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "raster/text/cachedfont_p.h"
#include "raster/text/glyph_p.h"
#include "raster/text/text.h"
#include "raster/text/utf8_p.h"

PX_CachedFont::PX_CachedFont() {
  memset(m_lowchars, 0, sizeof(m_lowchars));
  px_font_addref();
}

PX_CachedFont::~PX_CachedFont() {
  if ((m_flags & PX_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  px_font_release();
}

PX_pixel PX_CachedFont::SetTextColor(PX_pixel colour) {
  const PX_pixel old = m_fg;
  m_fg = colour;
  return old;
}

PX_pixel PX_CachedFont::SetBkColor(PX_pixel colour) {
  const PX_pixel old = m_bg;
  m_bg = colour;
  return old;
}

PX_pixel PX_CachedFont::SetEffectColor(PX_pixel colour) {
  const PX_pixel old = m_effectcol;
  m_effectcol = colour;
  return old;
}

int PX_CachedFont::SetBkMode(int mode) {
  const int old = m_bgmode;
  m_bgmode = mode;
  return old;
}

void PX_CachedFont::SetCombineMode(int mode, float alpha) {
  m_comb = mode;
  m_alpha = alpha;
}

void PX_CachedFont::SetFromHFont(HFONT font, int flags) {
  if ((m_flags & PX_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  if (font) {
    PX_SysBitmap* tmp = px_font_tempbitmap(256);
    if (tmp) {
      HGDIOBJ old = SelectObject(tmp->getDC(), font);
      TEXTMETRIC tm;
      GetTextMetrics(tmp->getDC(), &tm);
      m_line_height = tm.tmHeight;
      SelectObject(tmp->getDC(), old);
    }
  }
  memset(m_lowchars, 0, sizeof(m_lowchars));
  m_extracharlist.Resize(0, false);
  m_cachestore.Resize(0, false);
  if (font && (flags & PX_FONT_FLAG_PRECALCALL))
    for (unsigned short c = 0; c < 128; ++c) RenderGlyph(c);
}

PX_CachedFont::charEnt* PX_CachedFont::findChar(unsigned short c) {
  if (c < 128) return &m_lowchars[c];
  charEnt* list = m_extracharlist.Get();
  int lo = 0, hi = m_extracharlist.GetSize();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (list[mid].charid == c) return &list[mid];
    if (list[mid].charid < c) lo = mid + 1;
    else hi = mid;
  }
  return nullptr;
}

// The record of c, added (kept sorted by code) when missing, unless the font
// holds a fixed character set.
PX_CachedFont::charEnt* PX_CachedFont::findOrAddChar(unsigned short c) {
  if (charEnt* e = findChar(c)) return e;
  if (m_flags & PX_FONT_FLAG_PRECALCALL) return nullptr;
  const charEnt* list = m_extracharlist.Get();
  int at = 0;
  while (at < m_extracharlist.GetSize() && list[at].charid < c) ++at;
  return m_extracharlist.Insert(charEnt{0, 0, 0, 0, c}, at);
}

PX_CachedFont::charEnt* PX_CachedFont::glyphFor(unsigned short c) {
  charEnt* e = findChar(c);
  if (!e || e->base_offset == 0) {
    if (!RenderGlyph(c)) return nullptr;
    e = findChar(c);
  }
  return e && e->base_offset > 0 ? e : nullptr;
}

bool PX_CachedFont::RenderGlyph(unsigned short c) {
  if (!m_font || m_line_height >= 1024) return false;
  charEnt* ent = findOrAddChar(c);
  if (!ent) return false;
  const int lh = m_line_height > 1 ? m_line_height : 1;
  PX_SysBitmap* tmp = px_font_tempbitmap(2 * lh + 8);
  if (!tmp) {
    ent->base_offset = -1;
    return false;
  }
  HDC dc = tmp->getDC();
  HGDIOBJ old = SelectObject(dc, m_font);
  const int pad = 2 + m_line_height / 16;
  char text[8];
  px_utf8makechar(text, c);
  RECT r{0, 0, 0, 0};
  GDI_DrawText(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int advance = r.right, measuredh = r.bottom;
  int w = advance + pad, h = measuredh;
  PX_FillRect(tmp, 0, 0, w, h, 0, 1.0f, 0);
  RECT cell{0, 0, w, h};
  GDI_DrawText(dc, text, -1, &cell, DT_SINGLELINE | DT_NOPREFIX);
  if (w > tmp->getWidth()) w = tmp->getWidth();
  if (h > tmp->getHeight()) h = tmp->getHeight();
  SelectObject(dc, old);
  if (advance < 1 || measuredh < 1) {
    ent->base_offset = -1;
    return false;
  }
  ent->advance = advance;
  if (m_flags & PX_FONT_FLAG_FX_BLUR) PX_Blur(tmp, tmp, 0, 0, 0, 0, w, h);
  return storeCoverage(ent, w, h);
}

// Copies the red channel of the rasterised cell into the cache, trims unused
// columns and applies the font's effects. The map is preceded by its ink box.
bool PX_CachedFont::storeCoverage(charEnt* ent, int w, int h) {
  PX_SysBitmap* tmp = px_font_tempbitmap(1);
  const int head = (int)sizeof(PxInkBox);
  const int start = m_cachestore.GetSize() + head;
  // Room for the map and, for vertical text, its rotated copy.
  if ((long long)w * h * 2 > INT_MAX - 1 - start) return ent->base_offset = -1, false;
  unsigned char* dst = m_cachestore.ResizeOK(start + w * h, false);
  if (!dst) {
    m_cachestore.Resize(start - head, false);
    return ent->base_offset = -1, false;
  }
  dst += start;
  const PxRows rows = px_rows(tmp);
  const int invert = (m_flags & PX_FONT_FLAG_FX_INVERT) ? 255 : 0;
  int used = ent->advance < w ? ent->advance : w;
  for (int y = 0; y < h; ++y) {
    const PX_pixel* src = rows.row(y);
    for (int x = 0; x < w; ++x) {
      const int v = (int)PX_GETR(src[x]) ^ invert;
      dst[y * w + x] = (unsigned char)v;
      if (v && x >= used) used = x + 1;
    }
  }
  for (int y = 1; y < h; ++y) memmove(dst + y * used, dst + y * w, (size_t)used);
  int gw = used, gh = h;
  if (m_flags & PX_FONT_FLAG_VERTICAL) {
    // Rotated through the space just past the map, then moved back.
    dst = m_cachestore.ResizeOK(start + 2 * gw * gh, false);
    if (!dst) {
      m_cachestore.Resize(start - head, false);
      return ent->base_offset = -1, false;
    }
    dst += start;
    px_glyph_rotate(dst, dst + gw * gh, gw, gh, (m_flags & PX_FONT_FLAG_VERTICAL_BOTTOMUP) != 0);
    memcpy(dst, dst + gw * gh, (size_t)gw * gh);
    const int t = gw;
    gw = gh;
    gh = t;
  }
  dst = m_cachestore.Resize(start + gw * gh, false) + start;
  if (m_flags & PX_FONT_FLAG_FX_MONO) px_glyph_threshold(dst, gw * gh);
  if (m_flags & (PX_FONT_FLAG_FX_SHADOW | PX_FONT_FLAG_FX_OUTLINE))
    px_glyph_border(dst, gw, gh, (m_flags & PX_FONT_FLAG_FX_OUTLINE) != 0);
  const PxInkBox ink = px_ink_box(dst, gw, gh);
  memcpy(dst - head, &ink, sizeof(ink));
  ent->base_offset = start + 1;
  ent->width = gw;
  ent->height = gh;
  return true;
}
