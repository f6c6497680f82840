// Text metrics, face names and text drawing.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "gdi/font_p.h"
#include "gdi/gdi_p.h"
#include "gdi/text_p.h"

namespace {

// The selected font object, or null.
HGDIOBJ__* SelectedFont(HDC__* ct) {
  return HGDIOBJ_VALID(ct->curfont, TYPE_FONT) ? ct->curfont : nullptr;
}

GdiFont* FontOf(HDC__* ct) {
  HGDIOBJ__* obj = SelectedFont(ct);
  return obj && obj->font ? obj->font : GdiDefaultFont();
}

int Saturate(int64_t v) {
  return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

RECT Intersect(RECT a, const RECT& b) {
  if (b.left > a.left) a.left = b.left;
  if (b.top > a.top) a.top = b.top;
  if (b.right < a.right) a.right = b.right;
  if (b.bottom < a.bottom) a.bottom = b.bottom;
  return a;
}

struct Line {
  int start, count, width;
};

// Splits at LF; a last empty line after a final LF is not a line.
int SplitLines(const GdiPreparedText& t, GdiFont* font, Line* lines) {
  int n = 0, start = 0;
  for (int i = 0; i <= t.n; ++i) {
    if (i < t.n && !(t.multiline && t.cps[i] == '\n')) continue;
    if (i == t.n && start == t.n && n > 0) break;
    const double w = GdiFontMeasure(font, t.cps + start, i - start);
    lines[n++] = Line{start, i - start, static_cast<int>(std::floor(w + 0.5))};
    start = i + 1;
  }
  return n;
}

void FillBox(GdiContext* c, const RECT& clip, int64_t x, int64_t y, int64_t w, int64_t h,
             const GdiColor& col) {
  const RECT box =
      Intersect(clip, RECT{Saturate(x), Saturate(y), Saturate(x + w), Saturate(y + h)});
  for (int row = box.top; row < box.bottom; ++row) {
    unsigned char* px = c->bits + (static_cast<size_t>(row) * c->rowspan + box.left) * 4;
    for (int i = box.left; i < box.right; ++i, px += 4) {
      px[1] = col.r;
      px[2] = col.g;
      px[3] = col.b;
    }
  }
}

struct Layout {
  const GdiPreparedText* text;
  const Line* lines;
  int nlines;
  int width, height;
};

void DrawLines(HDC__* ct, GdiFont* font, const Layout& lay, const RECT& r, int flags) {
  int64_t x = r.left, y = r.top;
  if (flags & DT_RIGHT) x = int64_t(r.right) - lay.width;
  else if (flags & DT_CENTER) x = r.left + (int64_t(r.right) - r.left) / 2 - lay.width / 2;
  if (flags & DT_BOTTOM) y = int64_t(r.bottom) - lay.height;
  else if (flags & DT_VCENTER) y = r.top + (int64_t(r.bottom) - r.top) / 2 - lay.height / 2;

  GdiContext* c = &ct->ctx;
  RECT clip = GdiDeviceClip(c);
  if (!(flags & DT_NOCLIP)) clip = Intersect(clip, r);
  HGDIOBJ__* obj = SelectedFont(ct);
  const int smoothing = obj && obj->font ? obj->fontsmoothing : 0;
  const GdiGlyphTarget target{c, clip, ct->curtextcol_color,
                              smoothing == NONANTIALIASED_QUALITY ? false
                              : smoothing == ANTIALIASED_QUALITY  ? true
                                                                  : c->state.antialias};
  const GdiFontMetrics& m = GdiFontGetMetrics(font);
  const double lineBox = m.ascent + m.descent + m.leading;
  const int64_t step = static_cast<int64_t>(std::floor(lineBox + 0.5));
  const GdiColor bk = CreateColor(ct->curbkcol, 1.0f);
  for (int i = 0; i < lay.nlines; ++i) {
    const Line& ln = lay.lines[i];
    if (ct->curbkmode == OPAQUE) {
      const int64_t boxh = lay.nlines > 1 ? step : lay.height;
      FillBox(c, clip, x, y, ln.width, boxh, bk);
    }
    GdiFontDraw(font, lay.text->cps + ln.start, ln.count, static_cast<double>(x),
                static_cast<double>(y) + m.ascent, target);
    y += step;
  }
}

}  // namespace

bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm) {
  if (!tm) return false;
  tm->tmHeight = 16;
  tm->tmAscent = 12;
  tm->tmDescent = 4;
  tm->tmInternalLeading = 3;
  tm->tmAveCharWidth = 10;
  if (!HDC_VALID(ctx)) return false;
  GdiFont* font = FontOf(ctx);
  if (!font) return false;
  const GdiFontMetrics& m = GdiFontGetMetrics(font);
  tm->tmInternalLeading = static_cast<int>(m.leading);
  tm->tmAscent = static_cast<int>(m.ascent);
  tm->tmDescent = static_cast<int>(m.descent);
  tm->tmHeight = tm->tmAscent + tm->tmDescent + tm->tmInternalLeading;
  tm->tmAveCharWidth = tm->tmHeight * 2 / 3;
  if (tm->tmHeight) tm->tmHeight++;
  return true;
}

int GetTextFace(HDC ctx, int size, char* buf) {
  if (!buf || size <= 0) return 0;
  buf[0] = 0;
  if (!HDC_VALID(ctx)) return 0;
  GdiFont* font = FontOf(ctx);
  if (!font) return 0;
  snprintf(buf, static_cast<size_t>(size), "%s", GdiFontDisplayName(font));
  return static_cast<int>(strlen(buf));
}

int GDI_DrawText(HDC ctx, const char* text, int len, RECT* r, int flags) {
  if (!HDC_VALID(ctx) || !text || !r) return 0;
  std::unique_ptr<GdiPreparedText> prep(new (std::nothrow) GdiPreparedText);
  if (!prep) return 0;
  GdiPrepareText(text, len, flags, prep.get());
  if (!prep->n) return 0;
  GdiFont* font = FontOf(ctx);
  if (!font) return 0;
  std::unique_ptr<Line[]> lines(new (std::nothrow) Line[prep->n + 1]);
  if (!lines) return 0;
  Layout lay{prep.get(), lines.get(), SplitLines(*prep, font, lines.get()), 0, 0};
  const GdiFontMetrics& m = GdiFontGetMetrics(font);
  const int lineHeight = static_cast<int>(std::floor(m.ascent + m.descent + m.leading + 1.5));
  for (int i = 0; i < lay.nlines; ++i) {
    if (lines[i].width > lay.width) lay.width = lines[i].width;
  }
  lay.height = Saturate(int64_t(lineHeight) * lay.nlines);
  if (lay.height && lay.height < INT_MAX) lay.height++;
  if (flags & DT_CALCRECT) {
    r->right = Saturate(int64_t(r->left) + lay.width);
    r->bottom = Saturate(int64_t(r->top) + lay.height);
    return lay.height;
  }
  if (GdiHasSurface(ctx)) DrawLines(ctx, font, lay, *r, flags);
  return lay.height;
}
