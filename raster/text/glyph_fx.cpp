// Coverage rewrites applied once when a glyph is cached: rotation for
// vertical text, monochrome threshold, shadow and outline borders, and the
// ink box kept with each map.
#include "raster/text/glyph_p.h"

void px_glyph_threshold(unsigned char* cov, int count) {
  for (int i = 0; i < count; ++i) cov[i] = cov[i] > 130 ? 255 : 0;
}

void px_glyph_border(unsigned char* cov, int w, int h, bool outline) {
  px_glyph_threshold(cov, w * h);
  for (int y = 0; y < h; ++y) {
    unsigned char* row = cov + (ptrdiff_t)y * w;
    const unsigned char* up = y > 0 ? row - w : nullptr;
    const unsigned char* down = y + 1 < h ? row + w : nullptr;
    for (int x = 0; x < w; ++x) {
      if (row[x]) continue;
      bool edge = (x > 0 && row[x - 1] == 255) || (up && up[x] == 255);
      if (outline) edge = edge || (x + 1 < w && row[x + 1] == 255) || (down && down[x] == 255);
      else edge = edge || (up && x > 0 && up[x - 1] == 255);
      if (edge) row[x] = 128;
    }
  }
}

void px_glyph_rotate(const unsigned char* in, unsigned char* out, int w, int h, bool bottomUp) {
  // out is h wide and w tall.
  for (int oy = 0; oy < w; ++oy)
    for (int ox = 0; ox < h; ++ox)
      out[(ptrdiff_t)oy * h + ox] =
          bottomUp ? in[(ptrdiff_t)ox * w + (w - 1 - oy)] : in[(ptrdiff_t)(h - 1 - ox) * w + oy];
}

PxInkBox px_ink_box(const unsigned char* cov, int w, int h) {
  PxInkBox ink{w, h, 0, 0};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (!cov[(ptrdiff_t)y * w + x]) continue;
      if (x < ink.left) ink.left = x;
      if (x >= ink.right) ink.right = x + 1;
      if (y < ink.top) ink.top = y;
      ink.bottom = y + 1;
    }
  return ink;
}
