// The circle drawer shared by circles, arcs and rounded rectangles.
#pragma once

#include "raster/shapes/shape_p.h"

// Inclusive pixel box the drawer may touch (inside the bitmap).
struct PxBox {
  int64_t l, t, r, b;
};

// Draws the circle (outline or filled, plain or anti-aliased) inside box;
// returns false when the mode draws nothing.
void px_circle_draw(const PxSolid& s, double cx, double cy, double r, bool aa, bool fill,
                    const PxBox& box);
