// Plain per-pixel reference of the line, circle and arc drawers. Images are in
// image-row order; with flipped set they stand for a flipped bitmap, which
// shapes address in memory rows: y becomes height - 1 - y (a circle's centre
// before it is rounded), then the shape is clipped and drawn.
#pragma once

#include <cstdint>

#include "test_bitmap.h"

void RefLine(Img& im, bool flipped, int x1, int y1, int x2, int y2, uint32_t colour, float alpha,
             int mode, bool aa);
void RefFLine(Img& im, bool flipped, float x1, float y1, float x2, float y2, uint32_t colour,
              float alpha, int mode, bool aa);
void RefCircle(Img& im, bool flipped, float cx, float cy, float r, uint32_t colour, float alpha,
               int mode, bool aa, bool fill);
void RefArc(Img& im, bool flipped, float cx, float cy, float r, float minAngle, float maxAngle,
            uint32_t colour, float alpha, int mode, bool aa);
