// Bitmap comparison and the bounding box of differences.
#include <cstring>

#include "raster/raster.h"
#include "raster/pixels/util_p.h"

namespace {

struct CmpRows {
  PxRows a, b;
  int w;
  PX_pixel mask;

  bool differs(int x, int y) const { return ((a.row(y)[x] ^ b.row(y)[x]) & mask) != 0; }
  int firstDiff(int y, int from, int to) const {  // first differing x in [from, to), or -1
    for (int x = from; x < to; ++x)
      if (differs(x, y)) return x;
    return -1;
  }
  int lastDiff(int y, int from, int to) const {  // last differing x in [from, to), or -1
    for (int x = to - 1; x >= from; --x)
      if (differs(x, y)) return x;
    return -1;
  }
};

// Bounding box {x, y, w, h} of differing pixels; false when there are none.
bool diffBox(const CmpRows& c, int h, int* out) {
  int top = 0;
  while (top < h && c.firstDiff(top, 0, c.w) < 0) ++top;
  if (top == h) return false;
  int left = c.firstDiff(top, 0, c.w), right = c.lastDiff(top, 0, c.w);
  int bottom = h - 1;
  while (c.firstDiff(bottom, 0, c.w) < 0) --bottom;
  for (int y = top + 1; y <= bottom; ++y) {
    const int l = c.firstDiff(y, 0, left);
    if (l >= 0) left = l;
    const int r = c.lastDiff(y, right + 1, c.w);
    if (r >= 0) right = r;
  }
  out[0] = left;
  out[1] = top;
  out[2] = right - left + 1;
  out[3] = bottom - top + 1;
  return true;
}

}  // namespace

int PX_BitmapCmp(PX_IBitmap* a, PX_IBitmap* b, int* coordsOut) {
  return PX_BitmapCmpEx(a, b, 0xFFFFFFFF, coordsOut);
}

int PX_BitmapCmpEx(PX_IBitmap* a, PX_IBitmap* b, PX_pixel mask, int* coordsOut) {
  if (!a || !b) return a ? 1 : b ? -1 : 0;
  if (a->getWidth() != b->getWidth()) return b->getWidth() - a->getWidth();
  if (a->getHeight() != b->getHeight()) return b->getHeight() - a->getHeight();
  const int w = a->getWidth(), h = a->getHeight();
  const CmpRows c{px_rows(a), px_rows(b), w, mask};
  const bool empty = w <= 0 || h <= 0 || !c.a.base || !c.b.base;
  if (coordsOut) {
    if (!empty && diffBox(c, h, coordsOut)) return 1;
    coordsOut[0] = coordsOut[1] = coordsOut[2] = coordsOut[3] = 0;
    return 0;
  }
  if (empty) return 0;
  for (int y = 0; y < h; ++y) {
    if (mask == 0xFFFFFFFF) {
      const int r = memcmp(c.a.row(y), c.b.row(y), (size_t)w * 4);
      if (r) return r < 0 ? -1 : 1;
    } else if (c.firstDiff(y, 0, w) >= 0) {
      return 1;
    }
  }
  return 0;
}
