// Dashed lines, rectangle outlines and bordered rectangles.
#include "raster/raster.h"
#include "raster/shapes/shape_p.h"
#include "raster/shapes/shapes.h"

void PX_DashedLine(PX_IBitmap* bm, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                   PX_pixel colour, float alpha, int mode, bool) {
  PxSolid s;
  if (pxon < 1 || !px_solid_init(&s, bm, colour, alpha, mode)) return;
  if (pxoff < 0) pxoff = 0;
  // Dashes run in memory rows: the flipped flag is not applied.
  s.rows = PxRows{bm->getBits(), (ptrdiff_t)bm->getRowSpan()};
  if (!PX_ClipLine(&x1, &y1, &x2, &y2, 0, 0, s.w, s.h)) return;
  const bool vertical = x1 == x2;
  if (!vertical && y1 != y2) return;
  const int fixed = vertical ? x1 : y1;
  int64_t pos = vertical ? (y1 < y2 ? y1 : y2) : (x1 < x2 ? x1 : x2);
  const int64_t end = (int64_t)(vertical ? (y1 < y2 ? y2 : y1) : (x1 < x2 ? x2 : x1)) + 1;
  auto dash = [&](int64_t from, int64_t count) {
    if (count <= 0) return;
    if (vertical) px_vspan(s, fixed, (int)from, (int)(from + count - 1));
    else px_hspan(s, (int)from, (int)(from + count - 1), fixed);
  };
  while (pos < end - pxon) {
    dash(pos, pxon);
    pos += (int64_t)pxon + pxoff;
  }
  if (pos < end) dash(pos, end - pos < pxon ? end - pos : pxon);
}

void PX_DrawRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel colour, float alpha,
                 int mode) {
  const int r = (int)((int64_t)x + w > INT32_MAX ? INT32_MAX : (int64_t)x + w);
  const int b = (int)((int64_t)y + h > INT32_MAX ? INT32_MAX : (int64_t)y + h);
  PX_Line(bm, x, y, r, y, colour, alpha, mode, false);
  PX_Line(bm, r, y, r, b, colour, alpha, mode, false);
  PX_Line(bm, r, b, x, b, colour, alpha, mode, false);
  PX_Line(bm, x, b, x, y, colour, alpha, mode, false);
}

void PX_BorderedRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel bgcolour,
                     PX_pixel fgcolour, float alpha, int mode) {
  if (x < INT32_MAX && y < INT32_MAX && w > INT32_MIN && h > INT32_MIN)
    PX_FillRect(bm, x + 1, y + 1, w - 1, h - 1, bgcolour, alpha, mode);
  PX_DrawRect(bm, x, y, w, h, fgcolour, alpha, mode);
}
