// Bitmap objects, icons, image drawing and image lists.
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/ptrlist.h"
#include "gdi/image_p.h"
#include "gdi/gdi_p.h"

struct ImageList {
  SkyPtrList<HGDIOBJ__> images;
};

namespace {

const int kMaxSide = 65536;
const int64_t kMaxBytes = int64_t(1) << 30;

HBITMAP NewBitmapObject(GdiImage* img) {
  HGDIOBJ__* p = img ? GDP_OBJECT_NEW() : nullptr;
  if (!p) {
    GdiImageFree(img);
    return nullptr;
  }
  p->type = TYPE_BITMAP;
  p->wid = 1;  // owns the image
  p->image = img;
  return p;
}

GdiImage* CopyImage(const GdiImage* src) {
  GdiImage* img = GdiImageCreate(src->width, src->height);
  if (img) memcpy(img->pixels, src->pixels, static_cast<size_t>(src->width) * src->height * 4);
  return img;
}

}  // namespace

GdiImage* GdiImageCreate(int w, int h) {
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide || int64_t(w) * h * 4 > kMaxBytes)
    return nullptr;
  GdiImage* img = static_cast<GdiImage*>(malloc(sizeof(GdiImage)));
  unsigned char* px = static_cast<unsigned char*>(calloc(static_cast<size_t>(w) * h, 4));
  if (!img || !px) {
    free(img);
    free(px);
    return nullptr;
  }
  *img = GdiImage{w, h, px};
  return img;
}

void GdiImageFree(GdiImage* img) {
  if (!img) return;
  free(img->pixels);
  free(img);
}

HBITMAP CreateBitmap(int width, int height, int numplanes, int bitsperpixel, const void* bits) {
  if (numplanes != 1 || bitsperpixel != 32) return nullptr;
  GdiImage* img = GdiImageCreate(width, height);
  if (img && bits) memcpy(img->pixels, bits, static_cast<size_t>(width) * height * 4);
  return NewBitmapObject(img);
}

HICON CreateIconIndirect(const ICONINFO* info) {
  if (!info || !HGDIOBJ_VALID(info->hbmColor, TYPE_BITMAP) || !info->hbmColor->image)
    return nullptr;
  return NewBitmapObject(CopyImage(info->hbmColor->image));
}

HBITMAP LoadNamedImage(const char*, bool) { return nullptr; }

void DrawImageInRect(HDC ctx, HGDIOBJ img, const RECT* r) {
  if (!HDC_VALID(ctx) || !GdiHasSurface(ctx) || !r || !HGDIOBJ_VALID(img, TYPE_BITMAP)) return;
  const GdiImage* im = img->image;
  if (!im) return;
  const GdiPixelSource src{im->pixels, im->width, 0, 0, im->width, im->height};
  GdiDrawPixels(&ctx->ctx, src, r->left, r->top, int64_t(r->right) - r->left,
                int64_t(r->bottom) - r->top, true);
}

int GetObject(HGDIOBJ obj, int bufsize, void* buf) {
  if (!HGDIOBJ_VALID(obj) || obj->type != TYPE_BITMAP || !obj->image || !buf) return 0;
  if (bufsize < static_cast<int>(sizeof(BITMAP))) return 0;
  BITMAP bm{obj->image->width, obj->image->height};
  memcpy(buf, &bm, sizeof(bm));
  return static_cast<int>(sizeof(bm));
}

HIMAGELIST ImageList_CreateEx() { return new (std::nothrow) ImageList; }

bool ImageList_Remove(HIMAGELIST list, int idx) {
  if (!list) return false;
  if (idx < 0) {
    for (int i = 0; i < list->images.GetSize(); ++i) DeleteObject(list->images.Get(i));
    list->images.Empty();
    return true;
  }
  if (idx >= list->images.GetSize()) return false;
  DeleteObject(list->images.Get(idx));
  list->images.Delete(idx);
  return true;
}

void ImageList_Destroy(HIMAGELIST list) {
  if (!list) return;
  ImageList_Remove(list, -1);
  delete list;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int idx, HICON icon) {
  if (!list || !HGDIOBJ_VALID(icon, TYPE_BITMAP) || !icon->image) return -1;
  HGDIOBJ__* copy = NewBitmapObject(CopyImage(icon->image));
  if (!copy) return -1;
  if (idx >= 0 && idx < list->images.GetSize()) {
    DeleteObject(list->images.Get(idx));
    list->images.Set(idx, copy);
    return idx;
  }
  if (!list->images.Add(copy)) {
    DeleteObject(copy);
    return -1;
  }
  return list->images.GetSize() - 1;
}
