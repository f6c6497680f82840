// AVX2 versions of the source-alpha row kernels: the SSE2 algorithm on eight
// pixels at once (every step stays inside its 128-bit lane).
#include "raster/blit/blit_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_AVX2 __attribute__((target("avx2")))

namespace {

PX_AVX2 inline __m256i select(__m256i mask, __m256i a, __m256i b) {
  return _mm256_blendv_epi8(b, a, mask);
}

// (diff x inv) >> 8 per 16-bit lane, as the high half of (diff << 8) x inv.
PX_AVX2 inline __m256i blend8(__m256i d, __m256i s, __m256i invlo, __m256i invhi, __m256i add) {
  const __m256i zero = _mm256_setzero_si256(), amask = _mm256_set1_epi32(0xFF);
  const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(d, s), _mm256_subs_epu8(s, d));
  const __m256i dge = _mm256_cmpeq_epi8(_mm256_max_epu8(d, s), d);
  const __m256i mlo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, diff), invlo);
  const __m256i mhi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, diff), invhi);
  const __m256i m = _mm256_packus_epi16(mlo, mhi);
  __m256i x = select(dge, _mm256_add_epi8(s, m), _mm256_sub_epi8(s, m));
  x = select(amask, _mm256_adds_epu8(add, d), x);
  return select(_mm256_cmpeq_epi32(_mm256_and_si256(s, amask), zero), d, x);
}

PX_AVX2 inline void spread(__m256i v, __m256i* lo, __m256i* hi) {
  const __m256i v2 = _mm256_or_si256(v, _mm256_slli_epi32(v, 16));
  *lo = _mm256_unpacklo_epi32(v2, v2);
  *hi = _mm256_unpackhi_epi32(v2, v2);
}

}  // namespace

// The destination weight 255 - a is the complement of the alpha byte (byte 0
// of each pixel), placed in every 16-bit lane of its pixel by one shuffle.
PX_AVX2 int px_row_srcalpha_full_avx2(PX_pixel* d, const PX_pixel* s, int n) {
  const __m256i amask = _mm256_set1_epi32(0xFF), ones = _mm256_set1_epi32(-1);
  const __m256i toLo = _mm256_setr_epi8(0, -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1, 0,
                                        -1, 0, -1, 0, -1, 0, -1, 4, -1, 4, -1, 4, -1, 4, -1);
  const __m256i toHi = _mm256_setr_epi8(8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1,
                                        8, -1, 8, -1, 8, -1, 8, -1, 12, -1, 12, -1, 12, -1, 12, -1);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256((const __m256i*)(s + i));
    if (_mm256_testz_si256(sv, amask)) continue;  // all transparent
    if (_mm256_testc_si256(sv, amask)) {          // all opaque
      _mm256_storeu_si256((__m256i*)(d + i), sv);
      continue;
    }
    const __m256i inv = _mm256_xor_si256(sv, ones);
    const __m256i dv = _mm256_loadu_si256((const __m256i*)(d + i));
    const __m256i out = blend8(dv, sv, _mm256_shuffle_epi8(inv, toLo),
                               _mm256_shuffle_epi8(inv, toHi), _mm256_and_si256(sv, amask));
    _mm256_storeu_si256((__m256i*)(d + i), out);
  }
  return i;
}

PX_AVX2 int px_row_srcalpha_avx2(PX_pixel* d, const PX_pixel* s, int n, int ia) {
  const __m256i amask = _mm256_set1_epi32(0xFF), one = _mm256_set1_epi32(1);
  const __m256i iav = _mm256_set1_epi32(ia), full = _mm256_set1_epi32(256);
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256((const __m256i*)(s + i));
    const __m256i sa = _mm256_and_si256(sv, amask);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(sa, _mm256_setzero_si256())) == -1) continue;
    const __m256i w = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_add_epi32(sa, one), iav), 8);
    __m256i lo, hi;
    spread(_mm256_sub_epi32(full, w), &lo, &hi);
    const __m256i dv = _mm256_loadu_si256((const __m256i*)(d + i));
    _mm256_storeu_si256((__m256i*)(d + i), blend8(dv, sv, lo, hi, w));
  }
  return i;
}

#else

int px_row_srcalpha_full_avx2(PX_pixel*, const PX_pixel*, int) { return 0; }
int px_row_srcalpha_avx2(PX_pixel*, const PX_pixel*, int, int) { return 0; }

#endif
