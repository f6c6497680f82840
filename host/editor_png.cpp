#include "host/editor_png.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "host/loader.h"
#include "vst2/editor_picture.h"

namespace {

bool WritePNG(const std::string& path, int w, int h, const std::vector<unsigned char>& rgba) {
  FILE* pFile = fopen(path.c_str(), "wb");
  if (!pFile) return false;
  png_structp pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop pInfo = pPng ? png_create_info_struct(pPng) : nullptr;
  bool ok = pPng && pInfo;
  std::vector<png_bytep> rows((size_t)h);
  for (int y = 0; y < h; ++y) rows[(size_t)y] = (png_bytep)rgba.data() + (size_t)y * w * 4;
  if (ok && setjmp(png_jmpbuf(pPng)) == 0) {
    png_init_io(pPng, pFile);
    png_set_IHDR(pPng, pInfo, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, pInfo);
    png_write_image(pPng, rows.data());
    png_write_end(pPng, nullptr);
  } else {
    ok = false;
  }
  png_destroy_write_struct(pPng ? &pPng : nullptr, pInfo ? &pInfo : nullptr);
  return fclose(pFile) == 0 && ok;
}

}  // namespace

bool WriteEditorPicture(const Plugin& plugin, const std::string& path, std::string* error) {
  SkyEditorPicture picture = {};
  plugin.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture);
  if (picture.width <= 0 || picture.height <= 0 || picture.width > 16384 ||
      picture.height > 16384) {
    *error = "the plug-in offers no editor picture";
    return false;
  }
  std::vector<unsigned char> rgba((size_t)picture.width * picture.height * 4, 0);
  picture.rgba = rgba.data();
  picture.capacity = (VstIntPtr)rgba.size();
  if (plugin.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture) <= 0) {
    *error = "the plug-in did not paint its editor";
    return false;
  }
  if (!WritePNG(path, picture.width, picture.height, rgba)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
