// Clipped blit job shared by the plain blit and its fast row kernels.
#pragma once

#include "raster/pixels/util_p.h"

// w x h pixels from source (sx, sy) to destination (dx, dy), already clipped.
struct PxBlitJob {
  PxRows d, s;
  int dx, dy, sx, sy, w, h;
  PX_pixel* drow(int j) const { return d.row(dy + j) + dx; }
  const PX_pixel* srow(int j) const { return s.row(sy + j) + sx; }
};

// Clips the source extent [l, r) x [t, b) placed at (dstx, dsty); false when empty.
bool px_blit_clip(PX_IBitmap* dest, PX_IBitmap* src, int64_t dstx, int64_t dsty, int64_t l,
                  int64_t t, int64_t r, int64_t b, PxBlitJob* job);

// Row kernels for source-alpha copies (bytes A, R, G, B); one pixel run each.
// The portable versions are the reference for the vector ones.
void px_row_srcalpha_full(PX_pixel* d, const PX_pixel* s, int n);
void px_row_srcalpha(PX_pixel* d, const PX_pixel* s, int n, int ia);
// AVX2 bodies (call only when the processor has AVX2); return the pixels done.
int px_row_srcalpha_full_avx2(PX_pixel* d, const PX_pixel* s, int n);
int px_row_srcalpha_avx2(PX_pixel* d, const PX_pixel* s, int n, int ia);
// AVX-512 body (BW and VL on 256-bit vectors); returns the pixels done.
int px_row_srcalpha_full_avx512(PX_pixel* d, const PX_pixel* s, int n);
