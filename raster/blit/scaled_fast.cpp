// Opaque scaling at full weight (bilinear and 3 x 3 box reduction), bit-exact
// with the scalar walks: the vector row kernels cover the columns whose
// samples lie inside the source, pixels near its edges use the scalar samplers.
#include <cassert>
#include <cstdlib>
#include <cstring>

#include "raster/pixels/cpu_p.h"
#include "raster/blit/scaled_p.h"
#include "raster/blit/scaled_simd_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// Bilinear sample of the 2 x 2 block at p (row0) and q (row1), all channels.
// With d = p - p00 the result is p00 + (sum d x w) >> 16 (the weights sum to
// 65536); each 16-bit weight is split into high and low bytes so that every
// product fits the signed 16-bit multiply-add.
inline PX_pixel bilinear4(const PX_pixel* p, const PX_pixel* q, unsigned fx, unsigned fy) {
  const __m128i zero = _mm_setzero_si128();
  const unsigned w11 = (fx * fy) >> 16, w01 = fx - w11, w10 = fy - w11;
  const __m128i xh = _mm_set1_epi32((int)((w01 >> 8) | (w10 >> 8) << 16));
  const __m128i xl = _mm_set1_epi32((int)((w01 & 255) | (w10 & 255) << 16));
  const __m128i yh = _mm_set1_epi32((int)(w11 >> 8)), yl = _mm_set1_epi32((int)(w11 & 255));
  const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)p), zero);
  const __m128i bot = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)q), zero);
  const __m128i p00 = _mm_unpacklo_epi64(top, top);
  const __m128i d01 = _mm_srli_si128(_mm_sub_epi16(top, p00), 8);
  const __m128i dbot = _mm_sub_epi16(bot, p00);  // d10 low, d11 high
  const __m128i x = _mm_unpacklo_epi16(d01, dbot), y = _mm_unpackhi_epi16(dbot, zero);
  const __m128i hi = _mm_add_epi32(_mm_madd_epi16(x, xh), _mm_madd_epi16(y, yh));
  const __m128i lo = _mm_add_epi32(_mm_madd_epi16(x, xl), _mm_madd_epi16(y, yl));
  const __m128i sum = _mm_add_epi32(_mm_slli_epi32(hi, 8), lo);
  const __m128i r = _mm_add_epi32(_mm_unpacklo_epi16(p00, zero), _mm_srai_epi32(sum, 16));
  const __m128i r16 = _mm_packs_epi32(r, r);
  return (PX_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(r16, r16));
}

PX_pixel packRgba(const int* c) { return PX_PackRGBA(c[0], c[1], c[2], c[3]); }

// Destination columns [i0, i1) whose source column sx satisfies
// lo <= sx < clip_r - hi, for a walk moving right.
void innerColumns(const PxScaleJob& j, int lo, int hi, int& i0, int& i1) {
  auto sx = [&](int i) { return (j.isx + (int64_t)i * j.idx) >> 16; };
  i0 = 0;
  while (i0 < j.dw && sx(i0) < lo) ++i0;
  i1 = i0;
  while (i1 < j.dw && sx(i1) + hi < j.clip_r) ++i1;
}

// One allocation carved into at most kParts 32-byte aligned arrays.
class Scratch {
 public:
  static constexpr int kParts = 10;
  ~Scratch() { free(block_); }
  bool reserve(size_t bytes) {
    block_ = malloc(bytes + 32 * (kParts + 1));
    next_ = ((uintptr_t)block_ + 31) & ~(uintptr_t)31;
    return block_ != nullptr;
  }
  template <class T>
  T* take(size_t count) {
    assert(parts_ < kParts && "scratch parts");
    ++parts_;
    T* p = (T*)next_;
    next_ = (next_ + count * sizeof(T) + 31) & ~(uintptr_t)31;
    return p;
  }

 private:
  void* block_ = nullptr;
  uintptr_t next_ = 0;
  int parts_ = 0;
};

// Column tables of the bilinear rows, kept while consecutive rows share
// their source rows or their fraction.
struct BilinearPlan {
  PxBilinearCols cols;
  int32_t* off = nullptr;   // per pixel: byte offset of its column's entries
  int32_t* poff = nullptr;  // doubled tables: load offset of pixels k and k + 1
  uint16_t* fx = nullptr;
  uint32_t* w[3] = {nullptr, nullptr, nullptr};
  int i0 = 0, i1 = 0, c0 = 0;
  bool lastIsEdge = false;
  int64_t colsRow = -1;
  unsigned colsFy = 0, wFy[3] = {0x10000, 0x10000, 0x10000};
  Scratch mem;

  bool init(const PxScaleJob& j) {
    innerColumns(j, 0, 0, i0, i1);
    if (i1 - i0 < 8) return false;
    c0 = (int)((j.isx + (int64_t)i0 * j.idx) >> 16);
    const int c1 = (int)((j.isx + (int64_t)(i1 - 1) * j.idx) >> 16);
    const size_t ncols = (size_t)(c1 - c0 + 1), n = (size_t)(i1 - i0);
    if (ncols > 2 * n) return false;  // strong reductions: per-pixel sampling is cheaper
    // Upscales at AVX2 take the doubled tables.
    cols.doubled = j.idx <= 0x10000 && px_simd() >= kPxAvx2;
    const size_t entries = cols.doubled ? 2 * ncols : ncols;
    if (!mem.reserve(entries * 3 * kPxBilinearColBytes + ncols * kPxBilinearColBytes + n * 22))
      return false;
    cols.e = cols.doubled ? nullptr : mem.take<int32_t>(ncols * 4);
    cols.bc = mem.take<int16_t>(entries * 8);
    cols.base = mem.take<int32_t>(entries * 4);
    cols.d10 = mem.take<int16_t>(entries * 8);
    cols.ncols = (int)ncols;
    lastIsEdge = c1 + 1 == j.clip_r;
    off = mem.take<int32_t>(n);
    poff = mem.take<int32_t>(n);
    for (uint32_t*& to : w) to = mem.take<uint32_t>(n);
    fx = mem.take<uint16_t>(n);
    for (size_t k = 0; k < n; ++k) {
      const int64_t pos = j.isx + (int64_t)(i0 + (int)k) * j.idx;
      off[k] = ((int)(pos >> 16) - c0) * kPxBilinearColBytes;
      fx[k] = (unsigned short)(pos & 0xFFFF);
    }
    // Columns c and c' of pixels k and k + 1: entry c, second copy, then
    // entry c + 1 when c' = c + 1.
    for (size_t k = 0; k < n; ++k)
      poff[k] = 2 * off[k] + (k + 1 < n && off[k + 1] != off[k] ? kPxBilinearColBytes : 0);
    return true;
  }

  // Records for rows r0 and r1. The last source column has no right
  // neighbour: repeating it turns the 2 x 2 sum into the vertical lerp.
  void buildCols(const PX_pixel* r0, const PX_pixel* r1, unsigned fy) {
    PxBilinearCols body = cols;
    body.ncols -= lastIsEdge ? 1 : 0;
    px_bilinear_cols(r0 + c0, r1 + c0, fy, body);
    if (!lastIsEdge) return;
    const int c = body.ncols;
    const PX_pixel a[2] = {r0[c0 + c], r0[c0 + c]}, b[2] = {r1[c0 + c], r1[c0 + c]};
    PxBilinearCols last = cols.from(c);
    px_bilinear_cols(a, b, fy, last);
  }

  // Tables for source row sy (inside the source); the last row repeats
  // itself, which makes the sum the horizontal lerp.
  void useRow(const PxScaleJob& j, int sy, unsigned fy) {
    if (sy == colsRow) return;
    buildCols(j.s.row(sy), j.s.row(sy + 1 < j.clip_b ? sy + 1 : sy), fy);
    colsRow = sy;
    colsFy = fy;
  }
  // Weights of slot i for the fraction fy.
  const uint32_t* weights(int i, unsigned fy) {
    if (fy != wFy[i]) {
      px_bilinear_weights(fx, i1 - i0, fy, w[i]);
      wFy[i] = fy;
    }
    return w[i];
  }

  // Columns [i0, i1) of rows d[0 .. count) (count up to 3) sampling source row
  // sy at fractions fy; returns the rows drawn, which kernels draw together.
  int rows(const PxScaleJob& j, PX_pixel* const* d, const unsigned* fy, int count, int sy) {
    useRow(j, sy, fy[0]);
    const int n = i1 - i0;
    if (cols.doubled) {
      PxPairRows r = {{}, {}, {}, count};
      for (int i = 0; i < count; ++i) {
        r.d[i] = d[i] + i0;
        r.w[i] = weights(i, fy[i]);
        r.fy[i] = fy[i];
      }
      px_bilinear_pairs(r, cols, poff, n);
      return count;
    }
    if (count >= 2 && px_simd() >= kPxAvx2) {
      px_bilinear_rows2(d[0] + i0, d[1] + i0, cols, off, weights(0, fy[0]), weights(1, fy[1]),
                        fy[0], fy[1], n);
      return 2;
    }
    if (fy[0] != colsFy) {
      px_bilinear_refy(cols, fy[0]);
      colsFy = fy[0];
    }
    px_bilinear_row(d[0] + i0, cols, off, weights(0, fy[0]), n);
    return 1;
  }
};

void bilinearEdges(const PxScaleJob& j, PX_pixel* d, int64_t y, int from, int to) {
  const int64_t sy = y >> 16;
  const bool inner = sy >= 0 && sy + 1 < j.clip_b;
  const unsigned fy = (unsigned)(y & 0xFFFF);
  int c[4];
  for (int i = from; i < to; ++i) {
    const int64_t x = j.isx + (int64_t)i * j.idx, sx = x >> 16;
    if (inner && sx >= 0 && sx + 1 < j.clip_r)
      d[i] =
          bilinear4(j.s.row((int)sy) + sx, j.s.row((int)sy + 1) + sx, (unsigned)(x & 0xFFFF), fy);
    else if (px_sample_bilinear(j.s, x, y, j.clip_r, j.clip_b, c)) d[i] = packRgba(c);
  }
}

void boxEdges(const PxScaleJob& j, PX_pixel* d, int sy, int from, int to) {
  int c[4];
  for (int i = from; i < to; ++i) {
    const int64_t x = j.isx + (int64_t)i * j.idx;
    if (x < 0 || (x >> 16) >= j.clip_r) continue;
    px_sample_box(j.s, (int)(x >> 16), sy, 3, j.clip_r, j.clip_b, c);
    d[i] = packRgba(c);
  }
}

}  // namespace

bool px_scale_bilinear_copy_fast(const PxScaleJob& j) {
  if (j.idx <= 0 || px_simd() == kPxScalar) return false;
  BilinearPlan t;
  const bool tables = t.init(j);
  for (int row = 0; row < j.dh;) {
    const int64_t y = j.isy + row * j.idy, sy = y >> 16;
    if (!tables || sy < 0 || sy >= j.clip_b) {
      bilinearEdges(j, j.drow(row++), y, 0, j.dw);
      continue;
    }
    // Up to three rows sampling the same source rows go together.
    PX_pixel* d[3];
    unsigned fy[3];
    int count = 0;
    for (int64_t yy = y; count < 3 && row + count < j.dh && (yy >> 16) == sy; yy += j.idy) {
      d[count] = j.drow(row + count);
      fy[count++] = (unsigned)(yy & 0xFFFF);
    }
    const int drawn = t.rows(j, d, fy, count, (int)sy);
    for (int i = 0; i < drawn; ++i, ++row) {
      const int64_t yy = j.isy + row * j.idy;
      bilinearEdges(j, d[i], yy, 0, t.i0);
      bilinearEdges(j, d[i], yy, t.i1, j.dw);
    }
  }
  return true;
}

bool px_scale_box_copy_fast(const PxScaleJob& j, int size) {
  if (size != 3 || j.idx <= 0 || px_simd() == kPxScalar) return false;
  int i0, i1;
  innerColumns(j, 1, 1, i0, i1);
  const int n = i1 - i0;
  const int lo = n > 0 ? (int)((j.isx + (int64_t)i0 * j.idx) >> 16) - 1 : 0;
  const int hi = n > 0 ? (int)((j.isx + (int64_t)(i1 - 1) * j.idx) >> 16) + 1 : 0;
  // Column sums, with slack the kernels may read but never use.
  const size_t nsums = (size_t)(hi - lo + 1) + 4;
  Scratch mem;
  if (!mem.reserve(nsums * 12 + (size_t)n * 12)) return false;
  uint16_t* sums = mem.take<uint16_t>(nsums * 4);
  memset(sums, 0, nsums * 8);
  // A zero row stands in for the missing one at the top and bottom edges.
  PX_pixel* zeros = mem.take<PX_pixel>(nsums);
  memset(zeros, 0, nsums * 4);
  int32_t* off = mem.take<int32_t>((size_t)n);
  // Row sums of the halving kernel, passed from one row to the next.
  uint16_t* carry = mem.take<uint16_t>((size_t)n * 4);
  for (int k = 0; k < n; ++k)
    off[k] = ((int)((j.isx + (int64_t)(i0 + k) * j.idx) >> 16) - 1 - lo) * 8;
  const bool step2 = j.idx == 0x20000;
  int summedRow = -1, carriedRow = -1;
  for (int row = 0; row < j.dh; ++row) {
    const int64_t y = j.isy + row * j.idy;
    if (y < 0 || (y >> 16) >= j.clip_b) continue;
    const int sy = (int)(y >> 16);
    PX_pixel* d = j.drow(row);
    const bool top = sy == 0, bottom = sy + 1 == j.clip_b;
    const PX_pixel* r0 = top ? zeros : j.s.row(sy - 1) + lo;
    const PX_pixel* r1 = j.s.row(sy) + lo;
    const PX_pixel* r2 = bottom ? zeros : j.s.row(sy + 1) + lo;
    int done = 0;
    if (n > 0 && !top && !bottom) {
      // A reduction by two reads the rows directly; column sums serve the rest.
      done = step2
                 ? px_box3_half_rows(d + i0, r0, r1, r2, n, kPxRecip9, carry, carriedRow == sy - 1)
                 : 0;
      carriedRow = done > 0 ? sy + 1 : -1;
      if (done < n && summedRow != sy)
        px_box3_sums(r0 + 2 * done, r1 + 2 * done, r2 + 2 * done, hi - lo + 1 - 2 * done, sums);
      summedRow = sy;
      if (step2) px_box3_row_step2(d + i0 + done, sums, n - done);
      else px_box3_row(d + i0, sums, off, n);
      done = n;
    } else if (n > 0 && step2 && !(top && bottom)) {
      // Six pixels per box; the zero row is never carried.
      done = px_box3_half_rows(d + i0, r0, r1, r2, n, kPxRecip6, carry, false);
      carriedRow = done > 0 && !bottom ? sy + 1 : -1;
    }
    boxEdges(j, d, sy, 0, i0);
    boxEdges(j, d, sy, i0 + done, j.dw);
  }
  return true;
}

#else

bool px_scale_bilinear_copy_fast(const PxScaleJob&) { return false; }
bool px_scale_box_copy_fast(const PxScaleJob&, int) { return false; }

#endif
