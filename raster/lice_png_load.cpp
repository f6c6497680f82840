// PNG loading from files, memory buffers and the module's resource folder,
// and the loader's registration record.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "raster/lice_png.h"
#include "raster/lice_png_p.h"

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
  if (dladdr((void*)&LICE_LoadPNGFromNamedResource, &info) && info.dli_fname &&
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

LICE_IBitmap* LICE_LoadPNG(const char* filename, LICE_IBitmap* bmp) {
  if (!filename) return nullptr;
  FILE* f = fopen(filename, "rb");
  if (!f) return nullptr;
  LicePngSource src;
  src.file = f;
  LICE_IBitmap* result = lice_png_decode(src, bmp);
  fclose(f);
  return result;
}

LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, int length, LICE_IBitmap* bmp) {
  if (!data || length <= 7 || png_sig_cmp((png_const_bytep)data, 0, 8) != 0) return nullptr;
  MemReader reader{(const unsigned char*)data, (size_t)length};
  LicePngSource src;
  src.read = memRead;
  src.readState = &reader;
  return lice_png_decode(src, bmp);
}

LICE_IBitmap* LICE_LoadPNGFromNamedResource(const char* name, LICE_IBitmap* bmp) {
  if (!name || strlen(name) >= 401) return nullptr;
  char path[kMaxPath + 512];
  if (!moduleFolder(path, kMaxPath)) return nullptr;
  const size_t used = strlen(path);
  snprintf(path + used, sizeof(path) - used, "/resources/%s", name);
  return LICE_LoadPNG(path, bmp);
}

LICE_IBitmap* LICE_LoadPNGFromResource(void*, int, LICE_IBitmap*) { return nullptr; }

LICE_ImageLoaderRec* LICE_ImageLoader_list = nullptr;

LICE_PNGLoader::LICE_PNGLoader() {
  rec.loadfunc = loadfunc;
  rec.get_extlist = get_extlist;
  rec._next = LICE_ImageLoader_list;
  LICE_ImageLoader_list = &rec;
}

LICE_IBitmap* LICE_PNGLoader::loadfunc(const char* filename, int checkFileName,
                                       LICE_IBitmap* bmp) {
  if (!filename) return nullptr;
  if (checkFileName) {
    const char* p = filename + strlen(filename);
    while (p > filename && *p != '.' && *p != '/' && *p != '\\') --p;
    if (strcasecmp(p, ".png") != 0) return nullptr;
  }
  return LICE_LoadPNG(filename, bmp);
}

const char* LICE_PNGLoader::get_extlist() { return "PNG files (*.PNG)\0*.PNG\0\0"; }

LICE_PNGLoader LICE_pngldr;
