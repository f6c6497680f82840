// PNG decoding into 32-bit bitmaps (A, R, G, B bytes, straight alpha).
// Every function returns the bitmap it filled, or null on failure. A bitmap
// passed in is never deleted (it may be resized before a failure is found);
// one created by the call belongs to the caller.
#pragma once

#include "raster/lice_bitmap.h"

// Largest image accepted, in pixels and per side; larger ones fail before
// any pixel storage is allocated.
constexpr long long LICE_PNG_MAX_PIXELS = 1LL << 26;
constexpr int LICE_PNG_MAX_SIDE = 1 << 16;

// Decodes a file; with bmp null a new LICE_MemBitmap (line alignment 4) is made.
LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp = nullptr);
// Decodes a buffer that starts with the PNG signature.
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int length, LICE_IBitmap* bmp = nullptr);
// Loads "resources/<name>" beside the running module; null for names of 401+ characters.
LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp = nullptr);
// Numbered resources do not exist on this platform: always null.
LICE_IBitmap* LICE_LoadPNGFromResource(void* module, int resid, LICE_IBitmap* bmp = nullptr);

// Generic image-loader registration: a singly linked list of loaders.
struct LICE_ImageLoaderRec {
  // checkFileName non-zero: refuse names without the loader's extension.
  LICE_IBitmap* (*loadfunc)(const char* filename, int checkFileName, LICE_IBitmap* bmp);
  // Double-NUL-terminated description / pattern list.
  const char* (*get_extlist)();
  LICE_ImageLoaderRec* _next;
};
extern LICE_ImageLoaderRec* LICE_ImageLoader_list;

// The PNG loader's record; one static instance registers itself at start-up.
class LICE_PNGLoader {
 public:
  LICE_PNGLoader();
  static LICE_IBitmap* loadfunc(const char* filename, int checkFileName, LICE_IBitmap* bmp);
  static const char* get_extlist();
  LICE_ImageLoaderRec rec;
};
extern LICE_PNGLoader LICE_pngldr;
