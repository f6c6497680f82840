// PNG decoding into 32-bit bitmaps (A, R, G, B bytes, straight alpha).
// Every function returns the bitmap it filled, or null on failure. A bitmap
// passed in is never deleted (it may be resized before a failure is found);
// one created by the call belongs to the caller.
#pragma once

#include "raster/pixels/bitmap.h"

// Largest image accepted, in pixels and per side; larger ones fail before
// any pixel storage is allocated.
constexpr long long PX_PNG_MAX_PIXELS = 1LL << 26;
constexpr int PX_PNG_MAX_SIDE = 1 << 16;

// Decodes a file; with bmp null a new PX_MemBitmap (line alignment 4) is made.
PX_IBitmap* PX_LoadPNG(const char* filename, PX_IBitmap* bmp = nullptr);
// Decodes a buffer that starts with the PNG signature.
PX_IBitmap* PX_LoadPNGFromMemory(const void* data, int length, PX_IBitmap* bmp = nullptr);
// Loads "resources/<name>" beside the running module; null for names of 401+ characters.
PX_IBitmap* PX_LoadPNGFromNamedResource(const char* name, PX_IBitmap* bmp = nullptr);
// Numbered resources do not exist on this platform: always null.
PX_IBitmap* PX_LoadPNGFromResource(void* module, int resid, PX_IBitmap* bmp = nullptr);

// Generic image-loader registration: a singly linked list of loaders.
struct PX_ImageLoaderRec {
  // checkFileName non-zero: refuse names without the loader's extension.
  PX_IBitmap* (*loadfunc)(const char* filename, int checkFileName, PX_IBitmap* bmp);
  // Double-NUL-terminated description / pattern list.
  const char* (*get_extlist)();
  PX_ImageLoaderRec* _next;
};
extern PX_ImageLoaderRec* PX_ImageLoader_list;

// The PNG loader's record; one static instance registers itself at start-up.
class PX_PNGLoader {
 public:
  PX_PNGLoader();
  static PX_IBitmap* loadfunc(const char* filename, int checkFileName, PX_IBitmap* bmp);
  static const char* get_extlist();
  PX_ImageLoaderRec rec;
};
extern PX_PNGLoader PX_pngldr;
