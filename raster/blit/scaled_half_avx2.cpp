// Box reduction by exactly two straight from the three source rows (AVX2):
// each output is the mean of source columns 2k - 1 .. 2k + 1 over the rows.
// Per row, one byte shuffle pairs the same channel of columns 2k and 2k + 1
// and a multiply-add with ones sums each pair into a 16-bit lane; another
// widens column 2k - 1. Nine channel values stay below 65536, so the sums and
// the exact reciprocal division match the scalar sampler; at a top or bottom
// edge a zero row takes the missing one's place and the mean is of six.
#include "raster/blit/scaled_simd_p.h"
#include "raster/pixels/cpu_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_AVX2 __attribute__((target("avx2")))

namespace {

// 16-bit sums of columns 2k - 1 .. 2k + 1 of one row for four outputs; p is
// column 2k - 1 of the first. Lane 0 holds outputs 0 and 1, lane 1 outputs 2, 3.
PX_AVX2 inline __m256i rowSums4(const PX_pixel* p, __m256i pairs, __m256i lefts, __m256i ones) {
  const __m256i mid = _mm256_loadu_si256((const __m256i*)(p + 1));
  const __m256i left = _mm256_loadu_si256((const __m256i*)p);
  return _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_shuffle_epi8(mid, pairs), ones),
                          _mm256_shuffle_epi8(left, lefts));
}

// Outputs k .. k + 7. The sums of r2 are kept in carry (four per output);
// with CARRY, those of the row before serve as r0, which is not read.
template <bool CARRY>
PX_AVX2 inline void half8(PX_pixel* d, const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2,
                          uint16_t* carry, int k, __m256i recip) {
  const __m256i pairs = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4,
                                         1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
  const __m256i lefts = _mm256_setr_epi8(0, -1, 1, -1, 2, -1, 3, -1, 8, -1, 9, -1, 10, -1, 11, -1,
                                         0, -1, 1, -1, 2, -1, 3, -1, 8, -1, 9, -1, 10, -1, 11, -1);
  const __m256i ones = _mm256_set1_epi8(1);
  const int c = 2 * k;
  __m256i* kept = (__m256i*)(carry + 4 * k);
  __m256i a, b;
  if (CARRY) {
    a = _mm256_loadu_si256(kept);
    b = _mm256_loadu_si256(kept + 1);
  } else {
    a = rowSums4(r0 + c, pairs, lefts, ones);
    b = rowSums4(r0 + c + 8, pairs, lefts, ones);
  }
  a = _mm256_add_epi16(a, rowSums4(r1 + c, pairs, lefts, ones));
  b = _mm256_add_epi16(b, rowSums4(r1 + c + 8, pairs, lefts, ones));
  const __m256i a2 = rowSums4(r2 + c, pairs, lefts, ones);
  const __m256i b2 = rowSums4(r2 + c + 8, pairs, lefts, ones);
  _mm256_storeu_si256(kept, a2);
  _mm256_storeu_si256(kept + 1, b2);
  a = _mm256_add_epi16(a, a2);
  b = _mm256_add_epi16(b, b2);
  // Packing leaves outputs (0, 1, 4, 5 | 2, 3, 6, 7): restore their order.
  const __m256i v = _mm256_packus_epi16(_mm256_mulhi_epu16(a, recip), _mm256_mulhi_epu16(b, recip));
  _mm256_storeu_si256((__m256i*)(d + k), _mm256_permute4x64_epi64(v, 0xD8));
}

// The last group overlaps the one before it rather than leaving a tail; the
// carried sums of its first outputs are overwritten by then, so it reads r0.
PX_AVX2 int halfRowsAvx2(PX_pixel* d, const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2,
                         int n, unsigned recip, uint16_t* carry, bool carried) {
  if (n < 8) return 0;
  const __m256i m = _mm256_set1_epi16((short)recip);
  for (int k = 0; k + 8 <= n; k += 8) {
    if (carried) half8<true>(d, r0, r1, r2, carry, k, m);
    else half8<false>(d, r0, r1, r2, carry, k, m);
  }
  if (n % 8) half8<false>(d, r0, r1, r2, carry, n - 8, m);
  return n;
}

}  // namespace

int px_box3_half_rows(PX_pixel* d, const PX_pixel* r0, const PX_pixel* r1, const PX_pixel* r2,
                      int n, unsigned recip, uint16_t* carry, bool carried) {
  return px_simd() >= kPxAvx2 ? halfRowsAvx2(d, r0, r1, r2, n, recip, carry, carried) : 0;
}

#else

int px_box3_half_rows(PX_pixel*, const PX_pixel*, const PX_pixel*, const PX_pixel*, int, unsigned,
                      uint16_t*, bool) {
  return 0;
}

#endif
