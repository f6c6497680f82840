// SSE2 kernels for opaque scaling (copy at full weight), bit-exact with the
// scalar walks: interior pixels are computed in vector registers, pixels near
// the source edges by the shared scalar samplers.
#include "raster/lice_cpu_p.h"
#include "raster/lice_scaled_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>

namespace {

// Bilinear sample of the 2 x 2 block at p (row0) and q (row1), all channels.
// With d = p - p00 the result is p00 + (sum d x w) >> 16 (the weights sum to
// 65536); each 16-bit weight is split into high and low bytes so that every
// product fits the signed 16-bit multiply-add.
inline LICE_pixel bilinear4(const LICE_pixel* p, const LICE_pixel* q, unsigned fx, unsigned fy) {
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
  return (LICE_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(r16, r16));
}

LICE_pixel packRgba(const int* c) { return LICE_PackRGBA(c[0], c[1], c[2], c[3]); }

// Reciprocal for the full 3 x 3 box: (s x M) >> 16 == s / 9 for every sum of
// nine channel values.
constexpr unsigned kRecip9 = 7282;

constexpr bool recip9Exact() {
  for (unsigned s = 0; s <= 255 * 9; ++s)
    if ((s * kRecip9) >> 16 != s / 9) return false;
  return true;
}
static_assert(recip9Exact(), "the box reciprocal is exact");

// Per-channel 16-bit sums of three rows for columns [0, n).
void columnSums(const LICE_pixel* r0, const LICE_pixel* r1, const LICE_pixel* r2, int n,
                unsigned short* out) {
  const __m128i zero = _mm_setzero_si128();
  int c = 0;
  for (; c + 4 <= n; c += 4) {
    __m128i lo = zero, hi = zero;
    for (const LICE_pixel* r : {r0, r1, r2}) {
      const __m128i v = _mm_loadu_si128((const __m128i*)(r + c));
      lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
      hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
    }
    _mm_storeu_si128((__m128i*)(out + 4 * c), lo);
    _mm_storeu_si128((__m128i*)(out + 4 * c + 8), hi);
  }
  for (; c < n; ++c)
    for (int k = 0; k < 4; ++k)
      out[4 * c + k] = (unsigned short)(((const LICE_pixel_chan*)(r0 + c))[k] +
                                        ((const LICE_pixel_chan*)(r1 + c))[k] +
                                        ((const LICE_pixel_chan*)(r2 + c))[k]);
}

// Mean of the column sums at sx - 1, sx and sx + 1.
inline LICE_pixel box9(const unsigned short* sums, int sx, __m128i recip) {
  const __m128i two = _mm_loadu_si128((const __m128i*)(sums + 4 * (sx - 1)));
  const __m128i third = _mm_loadl_epi64((const __m128i*)(sums + 4 * (sx + 1)));
  const __m128i sum = _mm_add_epi16(_mm_add_epi16(two, _mm_srli_si128(two, 8)), third);
  const __m128i mean = _mm_mulhi_epu16(sum, recip);
  return (LICE_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(mean, mean));
}

// Row tables for bilinear scaling when each source column serves at least
// half a destination column (up-scaling, mild reduction). The exact sum
//   S = p00 x 65536 + fx (p01 - p00) + fy (p10 - p00) + w11 (p00 - p01 - p10 + p11)
// is split into a per-row, per-source-column part E (everything but the fx and
// w11 terms, with those terms biased by 32768 so that fx - 32768 and
// w11 - 32768 fit signed 16 bits) and one multiply-add per destination pixel.
struct BilinearTables {
  __m128i* e = nullptr;   // per source column: E, four 32-bit channels
  __m128i* bc = nullptr;  // per source column: (p01 - p00, C) pairs, 16-bit
  int* sx = nullptr;      // per destination column: source column
  unsigned short* fx = nullptr;
  uint32_t* w = nullptr;  // per destination column: (fx - 32768, w11 - 32768)
  void* block = nullptr;
  int i0 = 0, i1 = 0, c0 = 0, c1 = 0;  // vector columns [i0, i1), sources [c0, c1]

  ~BilinearTables() { free(block); }

  bool init(const LiceScaleJob& j) {
    int64_t x = j.isx;
    for (i0 = 0; i0 < j.dw && x < 0; ++i0) x += j.idx;
    i1 = i0;
    while (i1 < j.dw && ((j.isx + (int64_t)i1 * j.idx) >> 16) + 1 < j.clip_r) ++i1;
    if (i1 - i0 < 8) return false;
    c0 = (int)((j.isx + (int64_t)i0 * j.idx) >> 16);
    c1 = (int)((j.isx + (int64_t)(i1 - 1) * j.idx) >> 16);
    const size_t ncols = (size_t)(c1 - c0 + 1), n = (size_t)(i1 - i0);
    if (ncols > 2 * n) return false;
    block = malloc(ncols * 32 + n * 10 + 64);
    if (!block) return false;
    e = (__m128i*)(((uintptr_t)block + 15) & ~(uintptr_t)15);
    bc = e + ncols;
    sx = (int*)(bc + ncols);
    w = (uint32_t*)(sx + n);
    fx = (unsigned short*)(w + n);
    for (size_t k = 0; k < n; ++k) {
      const int64_t pos = j.isx + (int64_t)(i0 + (int)k) * j.idx;
      sx[k] = (int)(pos >> 16) - c0;
      fx[k] = (unsigned short)(pos & 0xFFFF);
    }
    return true;
  }

  void prepareRow(const LICE_pixel* r0, const LICE_pixel* r1, unsigned fy) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i kq = _mm_set1_epi32(16384);
    const __m128i kfy = _mm_set1_epi32((int)((16384u) | ((fy - 32768u) & 0xFFFF) << 16));
    for (int c = c0; c <= c1; ++c) {
      const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)(r0 + c)), zero);
      const __m128i bot = _mm_unpacklo_epi8(_mm_loadl_epi64((const __m128i*)(r1 + c)), zero);
      const __m128i p00 = _mm_unpacklo_epi64(top, top);
      const __m128i dt = _mm_sub_epi16(top, p00);  // (0, p01 - p00)
      const __m128i du = _mm_sub_epi16(bot, p00);  // (p10 - p00, p11 - p00)
      const __m128i b = _mm_srli_si128(dt, 8);
      const __m128i d10 = du, d11 = _mm_srli_si128(du, 8);
      const __m128i cc = _mm_sub_epi16(_mm_sub_epi16(d11, d10), b);  // p00 - p01 - p10 + p11
      bc[c - c0] = _mm_unpacklo_epi16(b, cc);
      // E = p00 << 16 + 32768 (p11 - p00) + (fy - 32768)(p10 - p00)
      const __m128i pair = _mm_unpacklo_epi16(d11, d10);
      const __m128i half = _mm_madd_epi16(_mm_unpacklo_epi16(d11, zero), kq);
      const __m128i rest = _mm_madd_epi16(pair, kfy);
      e[c - c0] = _mm_add_epi32(_mm_slli_epi32(_mm_unpacklo_epi16(p00, zero), 16),
                                _mm_add_epi32(half, rest));
    }
    const __m128i bias = _mm_set1_epi16((short)0x8000), vfy = _mm_set1_epi16((short)fy);
    const int n = i1 - i0;
    int k = 0;
    for (; k + 8 <= n; k += 8) {
      const __m128i f = _mm_loadu_si128((const __m128i*)(fx + k));
      const __m128i w11 = _mm_mulhi_epu16(f, vfy);
      const __m128i fb = _mm_xor_si128(f, bias), wb = _mm_xor_si128(w11, bias);
      _mm_storeu_si128((__m128i*)(w + k), _mm_unpacklo_epi16(fb, wb));
      _mm_storeu_si128((__m128i*)(w + k + 4), _mm_unpackhi_epi16(fb, wb));
    }
    for (; k < n; ++k) {
      const unsigned f = fx[k], w11 = (f * fy) >> 16;
      w[k] = ((f - 32768u) & 0xFFFF) | ((w11 - 32768u) & 0xFFFF) << 16;
    }
  }

  void run(LICE_pixel* d, int from, int to) const {
    for (int i = from; i < to; ++i) {
      const int k = i - i0;
      const __m128i wv = _mm_shuffle_epi32(_mm_cvtsi32_si128((int)w[k]), 0);
      const __m128i s = _mm_add_epi32(e[sx[k]], _mm_madd_epi16(bc[sx[k]], wv));
      const __m128i r = _mm_srai_epi32(s, 16);
      const __m128i r16 = _mm_packs_epi32(r, r);
      d[i] = (LICE_pixel)_mm_cvtsi128_si32(_mm_packus_epi16(r16, r16));
    }
  }
};

}  // namespace

bool lice_scale_bilinear_copy_fast(const LiceScaleJob& j) {
  if (j.idx <= 0 || lice_simd() == kLiceScalar) return false;
  BilinearTables t;
  const bool tables = t.init(j);
  for (int row = 0; row < j.dh; ++row) {
    const int64_t y = j.isy + row * j.idy;
    const int64_t sy = y >> 16;
    LICE_pixel* d = j.drow(row);
    const bool inner = sy >= 0 && sy + 1 < j.clip_b;
    const unsigned fy = (unsigned)(y & 0xFFFF);
    int i0 = 0, i1 = 0;  // columns done by the vector code
    if (inner && tables) {
      t.prepareRow(j.s.row((int)sy), j.s.row((int)sy + 1), fy);
      i0 = t.i0;
      i1 = t.i1;
      t.run(d, i0, i1);
    }
    const LICE_pixel* r0 = inner ? j.s.row((int)sy) : nullptr;
    const LICE_pixel* r1 = inner ? j.s.row((int)sy + 1) : nullptr;
    int64_t x = j.isx;
    int c[4];
    for (int i = 0; i < j.dw; ++i, x += j.idx) {
      if (i == i0 && i1 > i0) {
        i = i1 - 1;
        x = j.isx + (int64_t)(i1 - 1) * j.idx;
        continue;
      }
      const int64_t sx = x >> 16;
      if (inner && sx >= 0 && sx + 1 < j.clip_r)
        d[i] = bilinear4(r0 + sx, r1 + sx, (unsigned)(x & 0xFFFF), fy);
      else if (lice_sample_bilinear(j.s, x, y, j.clip_r, j.clip_b, c))
        d[i] = packRgba(c);
    }
  }
  return true;
}

bool lice_scale_box_copy_fast(const LiceScaleJob& j, int size) {
  if (size != 3 || j.idx <= 0 || lice_simd() == kLiceScalar) return false;
  unsigned short* sums = (unsigned short*)malloc((size_t)j.clip_r * 8 + 16);
  if (!sums) return false;
  const __m128i recip9 = _mm_set1_epi16((short)kRecip9);
  int summedRow = -1;
  for (int row = 0; row < j.dh; ++row) {
    const int64_t y = j.isy + row * j.idy;
    if (y < 0 || (y >> 16) >= j.clip_b) continue;
    const int sy = (int)(y >> 16);
    const bool inner = sy >= 1 && sy + 1 < j.clip_b;
    if (inner && summedRow != sy) {
      columnSums(j.s.row(sy - 1), j.s.row(sy), j.s.row(sy + 1), j.clip_r, sums);
      summedRow = sy;
    }
    LICE_pixel* d = j.drow(row);
    int64_t x = j.isx;
    int c[4];
    for (int i = 0; i < j.dw; ++i, x += j.idx) {
      if (x < 0 || (x >> 16) >= j.clip_r) continue;
      const int sx = (int)(x >> 16);
      if (inner && sx >= 1 && sx + 1 < j.clip_r) {
        d[i] = box9(sums, sx, recip9);
      } else {
        lice_sample_box(j.s, sx, sy, 3, j.clip_r, j.clip_b, c);
        d[i] = packRgba(c);
      }
    }
  }
  free(sums);
  return true;
}

#else

bool lice_scale_bilinear_copy_fast(const LiceScaleJob&) { return false; }
bool lice_scale_box_copy_fast(const LiceScaleJob&, int) { return false; }

#endif
