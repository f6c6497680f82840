// Shared decoding core of the PNG loaders.
#pragma once

#include <png.h>

#include "raster/lice_bitmap.h"

// Source of the compressed bytes: a file, or a memory reader.
struct LicePngSource {
  FILE* file = nullptr;
  png_rw_ptr read = nullptr;
  void* readState = nullptr;
};

// Decodes into bmp (or a new LICE_MemBitmap); null on any failure.
LICE_IBitmap* lice_png_decode(const LicePngSource& src, LICE_IBitmap* bmp);
