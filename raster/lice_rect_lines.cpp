// Dashed lines, rectangle outlines and bordered rectangles.
#include "raster/lice.h"
#include "raster/lice_shape_p.h"
#include "raster/lice_shapes.h"

void LICE_DashedLine(LICE_IBitmap* bm, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                     LICE_pixel colour, float alpha, int mode, bool) {
  LiceSolid s;
  if (pxon < 1 || !lice_solid_init(&s, bm, colour, alpha, mode)) return;
  if (pxoff < 0) pxoff = 0;
  // Dashes run in memory rows: the flipped flag is not applied.
  s.rows = LiceRows{bm->getBits(), (ptrdiff_t)bm->getRowSpan()};
  if (!LICE_ClipLine(&x1, &y1, &x2, &y2, 0, 0, s.w, s.h)) return;
  const bool vertical = x1 == x2;
  if (!vertical && y1 != y2) return;
  const int fixed = vertical ? x1 : y1;
  int64_t pos = vertical ? (y1 < y2 ? y1 : y2) : (x1 < x2 ? x1 : x2);
  const int64_t end = (int64_t)(vertical ? (y1 < y2 ? y2 : y1) : (x1 < x2 ? x2 : x1)) + 1;
  auto dash = [&](int64_t from, int64_t count) {
    if (count <= 0) return;
    if (vertical) lice_vspan(s, fixed, (int)from, (int)(from + count - 1));
    else lice_hspan(s, (int)from, (int)(from + count - 1), fixed);
  };
  while (pos < end - pxon) {
    dash(pos, pxon);
    pos += (int64_t)pxon + pxoff;
  }
  if (pos < end) dash(pos, end - pos < pxon ? end - pos : pxon);
}

void LICE_DrawRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour, float alpha,
                   int mode) {
  const int r = (int)((int64_t)x + w > INT32_MAX ? INT32_MAX : (int64_t)x + w);
  const int b = (int)((int64_t)y + h > INT32_MAX ? INT32_MAX : (int64_t)y + h);
  LICE_Line(bm, x, y, r, y, colour, alpha, mode, false);
  LICE_Line(bm, r, y, r, b, colour, alpha, mode, false);
  LICE_Line(bm, r, b, x, b, colour, alpha, mode, false);
  LICE_Line(bm, x, b, x, y, colour, alpha, mode, false);
}

void LICE_BorderedRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel bgcolour,
                       LICE_pixel fgcolour, float alpha, int mode) {
  if (x < INT32_MAX && y < INT32_MAX && w > INT32_MIN && h > INT32_MIN)
    LICE_FillRect(bm, x + 1, y + 1, w - 1, h - 1, bgcolour, alpha, mode);
  LICE_DrawRect(bm, x, y, w, h, fgcolour, alpha, mode);
}
