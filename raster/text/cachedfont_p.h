// State shared by every cached font: the rasterisation bitmaps.
#pragma once

#include "raster/pixels/bitmap.h"

// Bitmap glyphs are rasterised into (white on opaque black), grown to at
// least size x size; null when out of memory.
PX_SysBitmap* px_font_tempbitmap(int size);
// Bitmap for native text drawing into bitmaps without a device context.
PX_SysBitmap* px_font_nativebitmap(int w, int h);
void px_font_addref();
void px_font_release();
