// Shared decoding core of the PNG loaders.
#pragma once

#include <png.h>

#include "raster/pixels/bitmap.h"

// Source of the compressed bytes: a file, or a memory reader.
struct PxPngSource {
  FILE* file = nullptr;
  png_rw_ptr read = nullptr;
  void* readState = nullptr;
};

// Decodes into bmp (or a new PX_MemBitmap); null on any failure.
PX_IBitmap* px_png_decode(const PxPngSource& src, PX_IBitmap* bmp);
