// Shared pieces of the shape drawers: the solid source, the weight and the
// per-call choice of combine class.
#pragma once

#include "raster/pixels/dispatch_p.h"
#include "raster/pixels/util_p.h"

// Colour, weight and rows of one shape draw.
struct PxSolid {
  PxRows rows;
  int w, h;  // bitmap size
  int r, g, b, a;
  int ia;
  PX_pixel colour;
  float alpha;  // after the source-alpha scaling
  int mode;
  bool flipped;
};

// False when nothing can be drawn (no bitmap or bits, weight 0).
bool px_solid_init(PxSolid* s, PX_IBitmap* bm, PX_pixel colour, float alpha, int mode);
// Lines, circles and arcs draw a flipped bitmap in memory rows: they mirror
// their y coordinates (y' = h - 1 - y) first, then clip and draw, so that
// rounding and clipping happen in memory rows. Switches the rows to memory
// order and returns true for a flipped bitmap.
bool px_solid_memory_rows(PxSolid* s);

// The colour of one shape, held by drawing loops in locals so that pixel
// stores (through byte pointers, which may alias anything) never force it to
// be reloaded.
struct PxInk {
  int r, g, b, a;
};

inline PxInk px_ink(const PxSolid& s) { return PxInk{s.r, s.g, s.b, s.a}; }

template <class C>
inline void px_blend(PX_pixel* p, const PxInk& k, int weight) {
  C::doPix((PX_pixel_chan*)p, k.r, k.g, k.b, k.a, weight);
}

// Cohen-Sutherland clip of (x1, y1)-(x2, y2) to [0, w) x [0, h); integer
// lines (trunc) truncate each move. False when nothing is left.
bool px_clip_line(double& x1, double& y1, double& x2, double& y2, double w, double h, bool trunc);

// Line class: copy at full weight clobbers, copy at half weight half-mixes,
// otherwise the solid table.
template <class F>
inline bool px_dispatch_line(int mode, int ia, F&& f) {
  if ((mode & 0xff) == 0 && ia == 256) {
    f(PxTag<PX_CombinePixelsClobberNoClamp>());
    return true;
  }
  if ((mode & 0xff) == 0 && ia == 128) {
    f(PxTag<PX_CombinePixelsHalfMixNoClamp>());
    return true;
  }
  return px_dispatch_solid(mode, ia, f);
}

// Horizontal run of pixels x0..x1 (x0 <= x1, inside the bitmap) of row y.
// Copy at alpha 1, 0.5, 0.25, 0.75 uses the whole-word classes.
void px_hspan(const PxSolid& s, int x0, int x1, int y);
// Vertical run of rows y0..y1 of column x.
void px_vspan(const PxSolid& s, int x, int y0, int y1);
// Clips the span to the bitmap first.
void px_hspan_clipped(const PxSolid& s, int64_t x0, int64_t x1, int64_t y);
void px_vspan_clipped(const PxSolid& s, int64_t x, int64_t y0, int64_t y1);
