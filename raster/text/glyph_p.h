// Coverage-map blending shared by the free glyph functions and the font cache.
#pragma once

#include "raster/pixels/util_p.h"

enum PxGlyphKind {
  kPxGlyphScaled,  // weight ia x c / 256, source alpha from the colour
  kPxGlyphNormal,  // weight c + 1 at full opacity, source alpha 255
  kPxGlyphMono,    // every covered pixel at weight ia
  kPxGlyphEffect,  // coverage 255 in the text colour, other coverage in the effect colour
};

// One clipped coverage map: (x, y) is the first destination pixel in image
// rows, cov the first coverage byte drawn.
struct PxGlyphDraw {
  PxRows rows;
  int x, y;
  const unsigned char* cov;
  int span, w, h;
  PX_pixel fg, fx;
  int ia;  // integer weight, 1..256
};

// Blends the map with the solid class of mode; false when the mode draws nothing.
bool px_draw_coverage(const PxGlyphDraw& g, int mode, PxGlyphKind kind);
// A caller's coverage map (weight ia x c / 256) at (x, y) of rows (image or
// memory rows of a bw x bh bitmap), clipped to the bitmap.
void px_draw_glyph_rows(const PxRows& rows, int bw, int bh, int x, int y, PX_pixel colour,
                        const unsigned char* coverage, int width, int span, int height, float alpha,
                        int mode);
// Stores fg (or fx for effect coverage below 255) in every covered pixel.
void px_store_coverage(const PxGlyphDraw& g, PxGlyphKind kind);
// Copy-class blend of src through the map with vector instructions, at weight
// c + 1 (full) or g.ia x c / 256; false (nothing drawn) when no vector unit
// serves or g.ia lies outside 1..256.
bool px_glyph_copy_rows_simd(const PxGlyphDraw& g, PX_pixel src, bool full);
// The vector kernel behind it for the current vector level (g.ia within
// 1..256), or null when none serves; text drawing picks it once per call.
using PxGlyphCopyRows = void (*)(const PxGlyphDraw& g, PX_pixel src, bool full);
PxGlyphCopyRows px_glyph_copy_kernel();
void px_glyph_copy_rows_avx2(const PxGlyphDraw& g, PX_pixel src, bool full);

// Columns and rows of a coverage map that hold non-zero bytes (right and
// bottom exclusive; left >= right when the map is empty). The font cache
// stores it just before each map's first byte, so drawing skips the empty
// margins of the cell.
struct PxInkBox {
  int left, top, right, bottom;
};
PxInkBox px_ink_box(const unsigned char* cov, int w, int h);

// Rewrites a coverage map after rasterisation (font effects).
void px_glyph_threshold(unsigned char* cov, int count);
void px_glyph_border(unsigned char* cov, int w, int h, bool outline);
// Rotates a w x h map into out (h x w); bottomUp picks the direction.
void px_glyph_rotate(const unsigned char* in, unsigned char* out, int w, int h, bool bottomUp);
