// Word fill of a rectangle, shared by the fills and clears.
#pragma once

#include "raster/lice_util_p.h"

// Stores colour in w x h pixels starting at image row y, column x.
void lice_fill_solid_rows(LiceRows rows, int x, int y, int w, int h, LICE_pixel colour);
