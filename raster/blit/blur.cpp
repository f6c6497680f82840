// Light blur of a rectangle and the 2:1 averaging reduction.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "raster/blit/blit.h"
#include "raster/pixels/util_p.h"

namespace {

inline PX_pixel half(PX_pixel p) { return (p >> 1) & 0x7f7f7f7f; }
inline PX_pixel quarter(PX_pixel p) { return (p >> 2) & 0x3f3f3f3f; }
inline PX_pixel eighth(PX_pixel p) { return (p >> 3) & 0x1f1f1f1f; }

// Horizontal share of pixel i in a row of w: an eighth of each neighbour, or a
// quarter of the only one at either end.
inline PX_pixel across(const PX_pixel* r, int i, int w) {
  if (i == 0) return quarter(r[1]);
  if (i == w - 1) return quarter(r[i - 1]);
  return eighth(r[i - 1]) + eighth(r[i + 1]);
}

void blurRow(PX_pixel* out, const PX_pixel* up, const PX_pixel* cur, const PX_pixel* down, int w) {
  for (int i = 0; i < w; ++i) {
    PX_pixel v;
    if (up && down) v = eighth(up[i]) + eighth(down[i]);
    else v = quarter(up ? up[i] : down[i]);
    out[i] = half(cur[i]) + across(cur, i, w) + v;
  }
}

}  // namespace

void PX_Blur(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch) {
  if (!dest || !src) return;
  int64_t sx = srcx, sy = srcy, w = srcw, h = srch, dx = dstx, dy = dsty;
  if (sx < 0) {
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    h += sy;
    sy = 0;
  }
  w = std::min<int64_t>(w, src->getWidth() - sx);
  h = std::min<int64_t>(h, src->getHeight() - sy);
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min<int64_t>(w, dest->getWidth() - dx);
  h = std::min<int64_t>(h, dest->getHeight() - dy);
  const PxRows drows = px_rows(dest), srows = px_rows(src);
  if (w < 2 || h < 2 || !drows.base || !srows.base) return;
  // In place, the source rectangle is read from a copy so that no output
  // pixel feeds another one, whatever the offset.
  PX_pixel* copy = nullptr;
  PxRows in{srows.row((int)sy) + sx, srows.step};
  if (dest == src) {
    copy = (PX_pixel*)malloc((size_t)w * (size_t)h * 4);
    if (!copy) return;
    for (int64_t r = 0; r < h; ++r) memcpy(copy + r * w, in.row((int)r), (size_t)w * 4);
    in = PxRows{copy, (ptrdiff_t)w};
  }
  for (int r = 0; r < (int)h; ++r)
    blurRow(drows.row((int)dy + r) + dx, r > 0 ? in.row(r - 1) : nullptr, in.row(r),
            r + 1 < h ? in.row(r + 1) : nullptr, (int)w);
  free(copy);
}

void PX_HalveBlitAA(PX_IBitmap* dest, PX_IBitmap* src) {
  if (!dest || !src || !dest->getBits() || !src->getBits()) return;
  const int w = std::min(dest->getWidth(), src->getWidth() / 2);
  const int h = std::min(dest->getHeight(), src->getHeight() / 2);
  const ptrdiff_t dspan = dest->getRowSpan(), sspan = src->getRowSpan();
  for (int y = 0; y < h; ++y) {
    PX_pixel* d = dest->getBits() + dspan * y;
    const PX_pixel* s0 = src->getBits() + sspan * 2 * y;
    const PX_pixel* s1 = s0 + sspan;
    for (int x = 0; x < w; ++x)
      d[x] =
          quarter(s0[2 * x]) + quarter(s0[2 * x + 1]) + quarter(s1[2 * x]) + quarter(s1[2 * x + 1]);
  }
}
