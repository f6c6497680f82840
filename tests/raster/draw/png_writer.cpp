#include "png_writer.h"

#include <png.h>

#include <cstdio>

namespace {

void appendBytes(png_structp png, png_bytep p, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), p, p + n);
}
void noFlush(png_structp) {}

}  // namespace

std::vector<uint8_t> EncodePng(const PngSpec& s) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, appendBytes, noFlush);
  png_set_IHDR(png, info, s.width, s.height, s.bitDepth, s.colorType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> pal;
  for (size_t i = 0; i + 2 < s.palette.size(); i += 3)
    pal.push_back(png_color{s.palette[i], s.palette[i + 1], s.palette[i + 2]});
  if (!pal.empty()) png_set_PLTE(png, info, pal.data(), (int)pal.size());
  png_color_16 key{};
  if (!s.trnsAlpha.empty())
    png_set_tRNS(png, info, s.trnsAlpha.data(), (int)s.trnsAlpha.size(), nullptr);
  if (s.trnsGray >= 0) {
    key.gray = (png_uint_16)s.trnsGray;
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows(s.height);
  const size_t rowbytes = png_get_rowbytes(png, info);
  for (int y = 0; y < s.height; ++y) rows[y] = const_cast<png_bytep>(s.data.data() + rowbytes * y);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

bool WritePngFile(const std::string& path, const PngSpec& spec) {
  const std::vector<uint8_t> bytes = EncodePng(spec);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return fclose(f) == 0 && ok && !bytes.empty();
}
