// Word fill of a rectangle, shared by the fills and clears.
#pragma once

#include "raster/pixels/util_p.h"

// Stores colour in w x h pixels starting at image row y, column x.
void px_fill_solid_rows(PxRows rows, int x, int y, int w, int h, PX_pixel colour);
