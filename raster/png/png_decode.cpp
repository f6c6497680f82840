// PNG decoding core: libpng transforms to A, R, G, B bytes and rows decoded
// straight into the target bitmap.
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include "raster/png/png_loader.h"
#include "raster/png/png_p.h"
#include "raster/pixels/util_p.h"

namespace {

// Everything a failed decode must release; it lives in the caller's frame so
// that a long jump out of libpng cannot lose it.
struct PngDecode {
  png_structp png = nullptr;
  png_infop info = nullptr;
  PX_IBitmap* bmp = nullptr;
  bool created = false;
  png_bytep* rows = nullptr;
};

// libpng reports errors through here; failures are results, so nothing is printed.
void silentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void silentWarning(png_structp, png_const_charp) {}

// Transforms, in order, that turn any PNG into 8-bit A, R, G, B samples.
void applyTransforms(png_structp png, png_infop info) {
  const int depth = png_get_bit_depth(png, info);
  int type = png_get_color_type(png, info);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) {
    png_set_tRNS_to_alpha(png);
    type |= PNG_COLOR_MASK_ALPHA;
  }
  if (depth == 16) png_set_strip_16(png);
  if (depth < 8) png_set_packing(png);
  if ((type & ~PNG_COLOR_MASK_ALPHA) == PNG_COLOR_TYPE_GRAY) png_set_gray_to_rgb(png);
  if (type & PNG_COLOR_MASK_ALPHA) png_set_swap_alpha(png);
  else png_set_filler(png, 0xff, PNG_FILLER_BEFORE);
}

// Target of the image's size, or null (the caller's bitmap is only resized).
PX_IBitmap* targetBitmap(PngDecode* d, PX_IBitmap* given, int w, int h) {
  if (given) {
    given->resize(w, h);
    d->bmp = given;
  } else {
    d->bmp = new (std::nothrow) PX_MemBitmap(w, h, 4);
    d->created = d->bmp != nullptr;
  }
  if (!d->bmp || d->bmp->getWidth() != w || d->bmp->getHeight() != h || !d->bmp->getBits())
    return nullptr;
  return d->bmp;
}

// Runs libpng; false on any error. No object with a destructor lives in this
// frame, so libpng's long jump back to it is safe.
bool readImage(PngDecode* d, const PxPngSource* src, PX_IBitmap* given) {
  if (setjmp(png_jmpbuf(d->png))) return false;
  if (src->file) png_init_io(d->png, src->file);
  else png_set_read_fn(d->png, src->readState, src->read);
  png_set_user_limits(d->png, PX_PNG_MAX_SIDE, PX_PNG_MAX_SIDE);
  png_read_info(d->png, d->info);
  const png_uint_32 w = png_get_image_width(d->png, d->info);
  const png_uint_32 h = png_get_image_height(d->png, d->info);
  if ((long long)w * h > PX_PNG_MAX_PIXELS) return false;
  applyTransforms(d->png, d->info);
  png_set_interlace_handling(d->png);
  png_read_update_info(d->png, d->info);
  if (png_get_rowbytes(d->png, d->info) != (size_t)w * 4) return false;
  if (!targetBitmap(d, given, (int)w, (int)h)) return false;
  d->rows = (png_bytep*)malloc(sizeof(png_bytep) * h);
  if (!d->rows) return false;
  const PxRows rows = px_rows(d->bmp);
  for (png_uint_32 y = 0; y < h; ++y) d->rows[y] = (png_bytep)rows.row((int)y);
  png_read_image(d->png, d->rows);
  return true;
}

}  // namespace

PX_IBitmap* px_png_decode(const PxPngSource& src, PX_IBitmap* bmp) {
  PngDecode d;
  d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silentError, silentWarning);
  if (!d.png) return nullptr;
  d.info = png_create_info_struct(d.png);
  const bool ok = d.info && readImage(&d, &src, bmp);
  png_destroy_read_struct(&d.png, d.info ? &d.info : nullptr, nullptr);
  free(d.rows);
  if (ok) return d.bmp;
  if (d.created) delete d.bmp;
  return nullptr;
}
