// Clipped blit job shared by the plain blit and its fast row kernels.
#pragma once

#include "raster/lice_util_p.h"

// w x h pixels from source (sx, sy) to destination (dx, dy), already clipped.
struct LiceBlitJob {
  LiceRows d, s;
  int dx, dy, sx, sy, w, h;
  LICE_pixel* drow(int j) const { return d.row(dy + j) + dx; }
  const LICE_pixel* srow(int j) const { return s.row(sy + j) + sx; }
};

// Clips the source extent [l, r) x [t, b) placed at (dstx, dsty); false when empty.
bool lice_blit_clip(LICE_IBitmap* dest, LICE_IBitmap* src, int64_t dstx, int64_t dsty, int64_t l,
                    int64_t t, int64_t r, int64_t b, LiceBlitJob* job);

// Row kernels for source-alpha copies (bytes A, R, G, B); one pixel run each.
// The portable versions are the reference for the vector ones.
void lice_row_srcalpha_full(LICE_pixel* d, const LICE_pixel* s, int n);
void lice_row_srcalpha(LICE_pixel* d, const LICE_pixel* s, int n, int ia);
// AVX2 bodies (call only when the processor has AVX2); return the pixels done.
int lice_row_srcalpha_full_avx2(LICE_pixel* d, const LICE_pixel* s, int n);
int lice_row_srcalpha_avx2(LICE_pixel* d, const LICE_pixel* s, int n, int ia);
