// PNG loading from files, memory buffers and the module's resource folder,
// and the loader's registration record.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "raster/png/png_loader.h"
#include "raster/png/png_p.h"

namespace {

struct MemReader {
  const unsigned char* p;
  size_t left;
};

// Reads past the end yield zeros; libpng's own checks then reject the data.
void memRead(png_structp png, png_bytep out, png_size_t n) {
  MemReader* r = (MemReader*)png_get_io_ptr(png);
  memset(out, 0, n);
  const size_t k = n < r->left ? n : r->left;
  memcpy(out, r->p, k);
  r->p += k;
  r->left -= k;
}

constexpr size_t kMaxPath = 1536;

// Folder of the module holding this code (the plug-in or the executable).
bool moduleFolder(char* out, size_t size) {
  Dl_info info;
  const char* path = nullptr;
  char exe[kMaxPath];
  if (dladdr((void*)&PX_LoadPNGFromNamedResource, &info) && info.dli_fname &&
      strchr(info.dli_fname, '/'))
    path = info.dli_fname;
  if (!path) {
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n <= 0) return false;
    exe[n] = 0;
    path = exe;
  }
  const char* slash = strrchr(path, '/');
  const size_t len = (size_t)(slash - path);
  if (len + 1 > size) return false;
  memcpy(out, path, len);
  out[len] = 0;
  return true;
}

}  // namespace

PX_IBitmap* PX_LoadPNG(const char* filename, PX_IBitmap* bmp) {
  if (!filename) return nullptr;
  FILE* f = fopen(filename, "rb");
  if (!f) return nullptr;
  PxPngSource src;
  src.file = f;
  PX_IBitmap* result = px_png_decode(src, bmp);
  fclose(f);
  return result;
}

PX_IBitmap* PX_LoadPNGFromMemory(const void* data, int length, PX_IBitmap* bmp) {
  if (!data || length <= 7 || png_sig_cmp((png_const_bytep)data, 0, 8) != 0) return nullptr;
  MemReader reader{(const unsigned char*)data, (size_t)length};
  PxPngSource src;
  src.read = memRead;
  src.readState = &reader;
  return px_png_decode(src, bmp);
}

PX_IBitmap* PX_LoadPNGFromNamedResource(const char* name, PX_IBitmap* bmp) {
  if (!name || strlen(name) >= 401) return nullptr;
  char path[kMaxPath + 512];
  if (!moduleFolder(path, kMaxPath)) return nullptr;
  const size_t used = strlen(path);
  snprintf(path + used, sizeof(path) - used, "/resources/%s", name);
  return PX_LoadPNG(path, bmp);
}

PX_IBitmap* PX_LoadPNGFromResource(void*, int, PX_IBitmap*) { return nullptr; }

PX_ImageLoaderRec* PX_ImageLoader_list = nullptr;

PX_PNGLoader::PX_PNGLoader() {
  rec.loadfunc = loadfunc;
  rec.get_extlist = get_extlist;
  rec._next = PX_ImageLoader_list;
  PX_ImageLoader_list = &rec;
}

PX_IBitmap* PX_PNGLoader::loadfunc(const char* filename, int checkFileName, PX_IBitmap* bmp) {
  if (!filename) return nullptr;
  if (checkFileName) {
    const char* p = filename + strlen(filename);
    while (p > filename && *p != '.' && *p != '/' && *p != '\\') --p;
    if (strcasecmp(p, ".png") != 0) return nullptr;
  }
  return PX_LoadPNG(filename, bmp);
}

const char* PX_PNGLoader::get_extlist() { return "PNG files (*.PNG)\0*.PNG\0\0"; }

PX_PNGLoader PX_pngldr;
