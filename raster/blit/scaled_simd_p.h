// Row kernels of the opaque scaled blits (SSE2, with AVX2 and AVX-512 chosen
// at run time where the processor has them). Callers check px_simd() >=
// kPxSse2 first.
#pragma once

#include <cstdint>

#include "raster/pixels/bitmap.h"

// Bilinear records, one per source column of a row pair, for the exact sum
//   S = E + (fx - 32768)(p01 - p00) + (w11 - 32768) C,  C = p00 - p01 - p10 + p11,
//   E = (p00 << 16) + 32768 (p11 - p00) + (fy - 32768)(p10 - p00),
// whose arithmetic shift by 16 is the bilinear sample of every channel.
//
// Per column, in arrays of 16-byte entries so that neighbouring columns fill
// whole vectors. Doubled tables hold every entry but E twice in a row (32
// bytes a column), so that one 32-byte load at 32 c or 32 c + 16 gives the
// entries of columns (c, c) or (c, c + 1): the tables of the upscaling kernel.
struct PxBilinearCols {
  int32_t* e = nullptr;     // E, 4 x int32 (none when doubled)
  int16_t* bc = nullptr;    // (p01 - p00, C) pairs, 8 x int16
  int32_t* base = nullptr;  // (p00 << 16) + 32768 (p11 - p00), 4 x int32
  int16_t* d10 = nullptr;   // (p10 - p00, 0) pairs, 8 x int16
  int ncols = 0;
  bool doubled = false;

  // The table from column c on.
  PxBilinearCols from(int c) const {
    const int s = doubled ? 2 : 1;
    PxBilinearCols t = *this;
    if (e) t.e = e + 4 * c;
    t.bc = bc + 8 * s * c;
    t.base = base + 4 * s * c;
    t.d10 = d10 + 8 * s * c;
    t.ncols = ncols - c;
    return t;
  }
};
constexpr int kPxBilinearColBytes = 16;

// Fills the records of columns [0, ncols) from rows r0 and r1 (each read up to
// column ncols) for the fraction fy (E only when not doubled).
void px_bilinear_cols(const PX_pixel* r0, const PX_pixel* r1, unsigned fy, PxBilinearCols& t);
// Refreshes E of every record for another fraction fy of the same rows.
void px_bilinear_refy(PxBilinearCols& t, unsigned fy);
// Per destination column weights (fx - 32768, w11 - 32768), w11 = fx fy >> 16.
void px_bilinear_weights(const uint16_t* fx, int n, unsigned fy, uint32_t* w);
// d[k] for k < n from the column at byte offset off[k] and the weights w[k].
void px_bilinear_row(PX_pixel* d, const PxBilinearCols& t, const int32_t* off, const uint32_t* w,
                     int n);
// Two rows of the same source rows, at fractions fy0 (weights w0) and fy1
// (w1), without E; returns the pixels done in both: all of them from 8 on,
// none below AVX2.
int px_bilinear_rows2(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t, const int32_t* off,
                      const uint32_t* w0, const uint32_t* w1, unsigned fy0, unsigned fy1, int n);

// Reciprocals of the 3 x 3 box and of its 2 x 3 part at a top or bottom edge:
// (s x M) >> 16 == s / k for every sum of k channel values.
constexpr unsigned kPxRecip9 = 7282, kPxRecip6 = 10923;

constexpr bool px_recip_exact(unsigned k, unsigned m) {
  for (unsigned s = 0; s <= 255 * k; ++s)
    if ((s * m) >> 16 != s / k) return false;
  return true;
}
static_assert(px_recip_exact(9, kPxRecip9) && px_recip_exact(6, kPxRecip6),
              "the box reciprocals are exact");

// Up to three destination rows of the same source rows: their pixels,
// weights and fractions.
struct PxPairRows {
  PX_pixel* d[3];
  const uint32_t* w[3];
  unsigned fy[3];
  int count;
};
// Upscaling kernel on doubled tables, n >= 8 pixels a row, with poff[k] the
// load offset of pixels k and k + 1. Returns the pixels done: n, or none
// below AVX2.
int px_bilinear_pairs(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff, int n);
// Its AVX-512 body (call only at kPxAvx512, with n >= 8).
void px_bilinear_pairs_vnni(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff,
                            int n);

// Per channel 16-bit sums of three rows for columns [0, n).
void px_box3_sums(const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2, int n, uint16_t* out);
// d[k] for k < n: the mean of the three column sums starting at byte offset
// off[k] of sums.
void px_box3_row(PX_pixel* d, const uint16_t* sums, const int32_t* off, int n);
// The same for off[k] = 16 k (a reduction by exactly two); reads one column
// of sums past column 2n, the last one used.
void px_box3_row_step2(PX_pixel* d, const uint16_t* sums, int n);
// The reduction by two read straight from rows r0..r2, each given at column
// 2k - 1 of output k = 0 (columns up to 2n are read), with the reciprocal of
// the pixels per box; returns the outputs done: all of them from 8 on, none
// below AVX2. The row sums of r2 are left in carry (4n entries); carried
// tells that it holds those of r0, from the call before.
int px_box3_half_rows(PX_pixel* d, const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2,
                      int n, unsigned recip, uint16_t* carry, bool carried);
