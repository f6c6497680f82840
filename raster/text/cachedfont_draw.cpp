// Cached font drawing: glyph blending, text layout, measuring and alignment.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <typeinfo>

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

// What drawing a glyph needs besides the glyph, worked out once per text or
// per DrawGlyph call.
struct PX_CachedFont::Pen {
  PX_IBitmap* bm;
  PxRows rows;
  RECT clip;  // the caller's clip inside the bitmap
  int ia;     // weight, capped at 256 for mono and effect glyphs
  PxGlyphKind kind;
  bool store;            // mono and effect glyphs at full opacity in copy mode: words stored
  PxGlyphCopyRows copy;  // vector copy kernel for normal glyphs, or null
  bool full;             // its weight is c + 1
  PX_pixel src;          // its colour word, opaque
};

PX_CachedFont::Pen PX_CachedFont::makePen(PX_IBitmap* bm, const RECT& clip) const {
  Pen pen;
  pen.bm = bm;
  pen.rows = px_rows(bm);
  pen.clip = intersect(clip, RECT{0, 0, bm->getWidth(), bm->getHeight()});
  pen.ia = px_weight(m_alpha);
  pen.kind = (m_flags & PX_FONT_FLAG_FX_MONO)                                 ? kPxGlyphMono
             : (m_flags & (PX_FONT_FLAG_FX_SHADOW | PX_FONT_FLAG_FX_OUTLINE)) ? kPxGlyphEffect
                                                                              : kPxGlyphNormal;
  if (pen.kind != kPxGlyphNormal && pen.ia > 256) pen.ia = 256;
  pen.store = pen.kind != kPxGlyphNormal && m_alpha == 1.0f && (m_comb & 0xff) == 0;
  const bool copyClass = (m_comb & 0xff) == PX_COMBINE_COPY && pen.kind == kPxGlyphNormal;
  pen.copy = copyClass && pen.ia >= 1 && pen.ia <= 256 ? px_glyph_copy_kernel() : nullptr;
  pen.full = pen.ia == 256;
  pen.src = PX_PackRGBA(PX_GETR(m_fg), PX_GETG(m_fg), PX_GETB(m_fg), 255);
  return pen;
}

// Draws the cached glyph e at (x, y); false when its cell misses the clip.
bool PX_CachedFont::drawCached(const Pen& pen, const charEnt* e, int x, int y) {
  // In 64 bits, so that a cell far outside cannot wrap around.
  const int64_t l = std::max<int64_t>(x, pen.clip.left), t = std::max<int64_t>(y, pen.clip.top);
  const int64_t r = std::min<int64_t>((int64_t)x + e->width, pen.clip.right);
  const int64_t b = std::min<int64_t>((int64_t)y + e->height, pen.clip.bottom);
  if (r <= l || b <= t || !pen.rows.base) return false;
  if (m_bgmode == 1)
    PX_FillRect(pen.bm, (int)l, (int)t, (int)(r - l), (int)(b - t), m_bg, m_alpha,
                m_comb & ~PX_USE_SOURCE_ALPHA);
  if (pen.ia <= 0) return true;
  // Only the inked part of the cell can change a pixel.
  const unsigned char* map = m_cachestore.Get() + e->base_offset - 1;
  PxInkBox ink;
  memcpy(&ink, map - sizeof(ink), sizeof(ink));
  const int il = (int)std::max<int64_t>(l, (int64_t)x + ink.left);
  const int it = (int)std::max<int64_t>(t, (int64_t)y + ink.top);
  const int ir = (int)std::min<int64_t>(r, (int64_t)x + ink.right);
  const int ib = (int)std::min<int64_t>(b, (int64_t)y + ink.bottom);
  if (ir <= il || ib <= it) return true;
  const unsigned char* cov = map + (ptrdiff_t)(it - y) * e->width + (il - x);
  const PxGlyphDraw g{pen.rows, il, it, cov, e->width, ir - il, ib - it, m_fg, m_effectcol, pen.ia};
  if (pen.store) px_store_coverage(g, pen.kind);
  else if (pen.copy) pen.copy(g, pen.src, pen.full);
  else px_draw_coverage(g, m_comb, pen.kind);
  return true;
}

bool PX_CachedFont::DrawGlyph(PX_IBitmap* bm, unsigned short c, int x, int y, RECT* clip) {
  if (!bm || !clip) return false;
  const charEnt* e = findChar(c);
  if (!e || e->base_offset <= 0) return false;
  return drawCached(makePen(bm, *clip), e, x, y);
}

// Walks the text by characters, rendering glyphs on first use, and returns
// the text box {0, 0, width, height}. With bm it also draws each glyph from
// (x0, y0) inside clip: through the virtual DrawGlyph when a subclass may
// draw glyphs its own way, else with one pen for the whole text.
RECT PX_CachedFont::layoutText(PX_IBitmap* bm, const char* text, int length, int x0, int y0,
                               const RECT* clip, unsigned flags) {
  const bool vertical = (m_flags & PX_FONT_FLAG_VERTICAL) != 0;
  const bool upward = vertical && (m_flags & PX_FONT_FLAG_VERTICAL_BOTTOMUP);
  const bool own = bm && typeid(*this) == typeid(PX_CachedFont);
  Pen pen{};
  if (own) pen = makePen(bm, *clip);
  const unsigned char* p = (const unsigned char*)text;
  int64_t along = 0, across = 0, boxw = 0, boxh = 0;
  for (int64_t i = 0; (length < 0 || i < length) && p[i];) {
    int code = p[i];
    if (code < 0x80) {
      ++i;
    } else {
      const int avail = length < 0 ? 4 : (int)(length - i < 4 ? length - i : 4);
      i += px_utf8char(p + i, avail, &code);
    }
    if (code == '\r') continue;
    if (code == '\n') {
      if (!(flags & DT_SINGLELINE)) {
        across += m_line_height + m_lsadj;
        along = 0;
        continue;
      }
      code = ' ';
    }
    const charEnt* e = code < 128 && m_lowchars[code].base_offset > 0
                           ? &m_lowchars[code]
                           : glyphFor((unsigned short)code);
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
      const int x = saturate(x0 + gx), y = saturate(y0 + gy);
      if (own) {
        drawCached(pen, e, x, y);
      } else {
        RECT c = *clip;
        DrawGlyph(bm, (unsigned short)code, x, y, &c);
      }
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
