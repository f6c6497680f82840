// Pixel conversion from the draw bitmap to X images. The draw bitmap holds
// bytes A, R, G, B; an X TrueColor image of depth 24 or 32 with the usual
// masks holds little-endian words 0xAARRGGBB: one byte swap per pixel.
#pragma once

#include <cstdint>

#include "base/heapbuf.h"
#include "gui/irect.h"
#include "raster/pixels/bitmap.h"

// Converts the region r (clipped by the caller to the bitmap) of src into
// dest at scale 1 or 2 (each pixel a 2 x 2 block, through the GDI layer's
// doubling); spans are in pixels. Scale 2 uses *pScratch for the region.
void X11ConvertRegion(const PX_pixel* src, int srcSpan, const IRECT& r, int scale, uint32_t* dest,
                      int destSpan, SkyHeapBuf* pScratch);

// The 0xAARRGGBB word of one draw-bitmap pixel.
inline uint32_t X11PixelWord(PX_pixel p) { return __builtin_bswap32(p); }
