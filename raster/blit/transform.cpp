// Mesh-warped blits: one delta blit per grid cell.
#include <algorithm>
#include <cstddef>

#include "raster/blit/blit.h"
#include "raster/pixels/util_p.h"

namespace {

template <class T, int STRIDE>
void transform(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
               const T* pts, int div_w, int div_h, float alpha, int mode) {
  if (!dest || !src || !pts || dstw <= 0 || dsth <= 0 || div_w <= 1 || div_h <= 1) return;
  const double xstep = (double)dstw / (div_w - 1), ystep = (double)dsth / (div_h - 1);
  auto at = [&](int col, int row, int k) -> double {
    return (double)pts[((size_t)row * (size_t)div_w + (size_t)col) * STRIDE + k];
  };
  // Grid lines accumulate in double and are truncated per line.
  double yacc = dsty;
  int y = dsty;
  for (int row = 0; row + 1 < div_h; ++row) {
    yacc += ystep;
    const int ynext = px_ftoi(yacc);
    const int ch = (int)std::min<int64_t>((int64_t)ynext - y, INT32_MAX);
    double xacc = dstx;
    int x = dstx;
    for (int col = 0; col + 1 < div_w && ch > 0; ++col) {
      xacc += xstep;
      const int xnext = px_ftoi(xacc);
      const int cw = (int)std::min<int64_t>((int64_t)xnext - x, INT32_MAX);
      if (cw > 0) {
        const double u = at(col, row, 0), v = at(col, row, 1);
        const double dsdx = (at(col + 1, row, 0) - u) / cw, dtdx = (at(col + 1, row, 1) - v) / cw;
        const double dsdy = (at(col, row + 1, 0) - u) / ch, dtdy = (at(col, row + 1, 1) - v) / ch;
        const double dsdxdy = ((at(col + 1, row + 1, 0) - at(col, row + 1, 0)) / cw - dsdx) / ch;
        const double dtdxdy = ((at(col + 1, row + 1, 1) - at(col, row + 1, 1)) / cw - dtdx) / ch;
        if (STRIDE == 3) {
          const double a = at(col, row, 2), dadx = (at(col + 1, row, 2) - a) / cw;
          const double dady = (at(col, row + 1, 2) - a) / ch;
          const double dadxdy = ((at(col + 1, row + 1, 2) - at(col, row + 1, 2)) / cw - dadx) / ch;
          PX_DeltaBlitAlpha(dest, src, x, y, cw, ch, (float)u, (float)v,
                            (float)(at(col + 1, row, 0) - u), (float)(at(col + 1, row, 1) - v),
                            dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false, (float)a, mode, dadx,
                            dady, dadxdy);
        } else {
          PX_DeltaBlit(dest, src, x, y, cw, ch, (float)u, (float)v,
                       (float)(at(col + 1, row, 0) - u), (float)(at(col + 1, row, 1) - v), dsdx,
                       dtdx, dsdy, dtdy, dsdxdy, dtdxdy, false, alpha, mode);
        }
      }
      x = xnext;
    }
    y = ynext;
  }
}

}  // namespace

void PX_TransformBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      const float* srcpoints, int div_w, int div_h, float alpha, int mode) {
  transform<float, 2>(dest, src, dstx, dsty, dstw, dsth, srcpoints, div_w, div_h, alpha, mode);
}

void PX_TransformBlit2(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       const double* srcpoints, int div_w, int div_h, float alpha, int mode) {
  transform<double, 2>(dest, src, dstx, dsty, dstw, dsth, srcpoints, div_w, div_h, alpha, mode);
}

void PX_TransformBlit2Alpha(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw,
                            int dsth, const double* srcpoints, int div_w, int div_h, int mode) {
  transform<double, 3>(dest, src, dstx, dsty, dstw, dsth, srcpoints, div_w, div_h, 1.0f, mode);
}
