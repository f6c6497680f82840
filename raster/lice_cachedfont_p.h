// State shared by every cached font: the rasterisation bitmaps.
#pragma once

#include "raster/lice_bitmap.h"

// Bitmap glyphs are rasterised into (white on opaque black), grown to at
// least size x size; null when out of memory.
LICE_SysBitmap* lice_font_tempbitmap(int size);
// Bitmap for native text drawing into bitmaps without a device context.
LICE_SysBitmap* lice_font_nativebitmap(int w, int h);
void lice_font_addref();
void lice_font_release();
