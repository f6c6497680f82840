// The circle drawer shared by circles, arcs and rounded rectangles.
#pragma once

#include "raster/lice_shape_p.h"

// Inclusive pixel box the drawer may touch (inside the bitmap).
struct LiceBox {
  int64_t l, t, r, b;
};

// Draws the circle (outline or filled, plain or anti-aliased) inside box;
// returns false when the mode draws nothing.
void lice_circle_draw(const LiceSolid& s, double cx, double cy, double r, bool aa, bool fill,
                      const LiceBox& box);
