// Images of bitmap objects and the pixel copy shared by blits and image drawing.
#pragma once

#include <cstdint>

#include "gdi/gdi_p.h"

// A zero-filled w x h image, or null for a bad size or no memory.
GdiImage* GdiImageCreate(int w, int h);
void GdiImageFree(GdiImage* img);

// Source pixels for GdiDrawPixels: A, R, G, B bytes, span in pixels.
struct GdiPixelSource {
  const unsigned char* bits;
  int span;
  int64_t x, y, w, h;  // the region drawn, inside the source
};

// Draws the source region into the destination rectangle (x, y, w, h), nearest
// sample, clipped by the context. With useAlpha the source alpha (straight)
// blends, otherwise R, G, B are copied; the destination alpha byte is kept.
void GdiDrawPixels(GdiContext* dst, const GdiPixelSource& src, int64_t x, int64_t y, int64_t w,
                   int64_t h, bool useAlpha);
