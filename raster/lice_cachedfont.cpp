// Cached font: settings, the glyph records and lazy rasterisation of each
// character through the GDI layer into an 8-bit coverage cache.
#include <climits>
#include <cstring>

#include "gdi/swell.h"
#include "raster/lice.h"
#include "raster/lice_blit.h"
#include "raster/lice_cachedfont_p.h"
#include "raster/lice_glyph_p.h"
#include "raster/lice_text.h"
#include "raster/lice_utf8_p.h"

LICE_CachedFont::LICE_CachedFont() {
  memset(m_lowchars, 0, sizeof(m_lowchars));
  lice_font_addref();
}

LICE_CachedFont::~LICE_CachedFont() {
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font) DeleteObject(m_font);
  lice_font_release();
}

LICE_pixel LICE_CachedFont::SetTextColor(LICE_pixel colour) {
  const LICE_pixel old = m_fg;
  m_fg = colour;
  return old;
}

LICE_pixel LICE_CachedFont::SetBkColor(LICE_pixel colour) {
  const LICE_pixel old = m_bg;
  m_bg = colour;
  return old;
}

LICE_pixel LICE_CachedFont::SetEffectColor(LICE_pixel colour) {
  const LICE_pixel old = m_effectcol;
  m_effectcol = colour;
  return old;
}

int LICE_CachedFont::SetBkMode(int mode) {
  const int old = m_bgmode;
  m_bgmode = mode;
  return old;
}

void LICE_CachedFont::SetCombineMode(int mode, float alpha) {
  m_comb = mode;
  m_alpha = alpha;
}

void LICE_CachedFont::SetFromHFont(HFONT font, int flags) {
  if ((m_flags & LICE_FONT_FLAG_OWNS_HFONT) && m_font && m_font != font) DeleteObject(m_font);
  m_flags = flags;
  m_font = font;
  if (font) {
    LICE_SysBitmap* tmp = lice_font_tempbitmap(256);
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
  if (font && (flags & LICE_FONT_FLAG_PRECALCALL))
    for (unsigned short c = 0; c < 128; ++c) RenderGlyph(c);
}

LICE_CachedFont::charEnt* LICE_CachedFont::findChar(unsigned short c) {
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
LICE_CachedFont::charEnt* LICE_CachedFont::findOrAddChar(unsigned short c) {
  if (charEnt* e = findChar(c)) return e;
  if (m_flags & LICE_FONT_FLAG_PRECALCALL) return nullptr;
  const charEnt* list = m_extracharlist.Get();
  int at = 0;
  while (at < m_extracharlist.GetSize() && list[at].charid < c) ++at;
  return m_extracharlist.Insert(charEnt{0, 0, 0, 0, c}, at);
}

LICE_CachedFont::charEnt* LICE_CachedFont::glyphFor(unsigned short c) {
  charEnt* e = findChar(c);
  if (!e || e->base_offset == 0) {
    if (!RenderGlyph(c)) return nullptr;
    e = findChar(c);
  }
  return e && e->base_offset > 0 ? e : nullptr;
}

bool LICE_CachedFont::RenderGlyph(unsigned short c) {
  if (!m_font || m_line_height >= 1024) return false;
  charEnt* ent = findOrAddChar(c);
  if (!ent) return false;
  const int lh = m_line_height > 1 ? m_line_height : 1;
  LICE_SysBitmap* tmp = lice_font_tempbitmap(2 * lh + 8);
  if (!tmp) {
    ent->base_offset = -1;
    return false;
  }
  HDC dc = tmp->getDC();
  HGDIOBJ old = SelectObject(dc, m_font);
  const int pad = 2 + m_line_height / 16;
  char text[8];
  lice_utf8makechar(text, c);
  RECT r{0, 0, 0, 0};
  SWELL_DrawText(dc, text, -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int advance = r.right, measuredh = r.bottom;
  int w = advance + pad, h = measuredh;
  LICE_FillRect(tmp, 0, 0, w, h, 0, 1.0f, 0);
  RECT cell{0, 0, w, h};
  SWELL_DrawText(dc, text, -1, &cell, DT_SINGLELINE | DT_NOPREFIX);
  if (w > tmp->getWidth()) w = tmp->getWidth();
  if (h > tmp->getHeight()) h = tmp->getHeight();
  SelectObject(dc, old);
  if (advance < 1 || measuredh < 1) {
    ent->base_offset = -1;
    return false;
  }
  ent->advance = advance;
  if (m_flags & LICE_FONT_FLAG_FX_BLUR) LICE_Blur(tmp, tmp, 0, 0, 0, 0, w, h);
  return storeCoverage(ent, w, h);
}

// Copies the red channel of the rasterised cell into the cache, trims unused
// columns and applies the font's effects. The map is preceded by its ink box.
bool LICE_CachedFont::storeCoverage(charEnt* ent, int w, int h) {
  LICE_SysBitmap* tmp = lice_font_tempbitmap(1);
  const int head = (int)sizeof(LiceInkBox);
  const int start = m_cachestore.GetSize() + head;
  // Room for the map and, for vertical text, its rotated copy.
  if ((long long)w * h * 2 > INT_MAX - 1 - start) return ent->base_offset = -1, false;
  unsigned char* dst = m_cachestore.ResizeOK(start + w * h, false);
  if (!dst) {
    m_cachestore.Resize(start - head, false);
    return ent->base_offset = -1, false;
  }
  dst += start;
  const LiceRows rows = lice_rows(tmp);
  const int invert = (m_flags & LICE_FONT_FLAG_FX_INVERT) ? 255 : 0;
  int used = ent->advance < w ? ent->advance : w;
  for (int y = 0; y < h; ++y) {
    const LICE_pixel* src = rows.row(y);
    for (int x = 0; x < w; ++x) {
      const int v = (int)LICE_GETR(src[x]) ^ invert;
      dst[y * w + x] = (unsigned char)v;
      if (v && x >= used) used = x + 1;
    }
  }
  for (int y = 1; y < h; ++y) memmove(dst + y * used, dst + y * w, (size_t)used);
  int gw = used, gh = h;
  if (m_flags & LICE_FONT_FLAG_VERTICAL) {
    // Rotated through the space just past the map, then moved back.
    dst = m_cachestore.ResizeOK(start + 2 * gw * gh, false);
    if (!dst) {
      m_cachestore.Resize(start - head, false);
      return ent->base_offset = -1, false;
    }
    dst += start;
    lice_glyph_rotate(dst, dst + gw * gh, gw, gh, (m_flags & LICE_FONT_FLAG_VERTICAL_BOTTOMUP) != 0);
    memcpy(dst, dst + gw * gh, (size_t)gw * gh);
    const int t = gw;
    gw = gh;
    gh = t;
  }
  dst = m_cachestore.Resize(start + gw * gh, false) + start;
  if (m_flags & LICE_FONT_FLAG_FX_MONO) lice_glyph_threshold(dst, gw * gh);
  if (m_flags & (LICE_FONT_FLAG_FX_SHADOW | LICE_FONT_FLAG_FX_OUTLINE))
    lice_glyph_border(dst, gw, gh, (m_flags & LICE_FONT_FLAG_FX_OUTLINE) != 0);
  const LiceInkBox ink = lice_ink_box(dst, gw, gh);
  memcpy(dst - head, &ink, sizeof(ink));
  ent->base_offset = start + 1;
  ent->width = gw;
  ent->height = gh;
  return true;
}
