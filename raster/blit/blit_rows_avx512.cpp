// AVX-512 (BW, VL) version of the full-weight source-alpha row kernel, on
// 256-bit vectors: byte masks replace the blends of the AVX2 version, and the
// colour products need no unpacking. With w = 255 - a in every 16-bit lane of
// a pixel, the even bytes (alpha, green) are multiplied as the high bytes of
// their lanes and the odd bytes (red, blue) as the low bytes, so each product
// |d - s| x w >> 8 lands on its own byte.
#include "raster/blit/blit_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_AVX512 __attribute__((target("avx2,avx512f,avx512bw,avx512vl")))

PX_AVX512 int px_row_srcalpha_full_avx512(PX_pixel* d, const PX_pixel* s, int n) {
  const __m256i amask = _mm256_set1_epi32(0xFF);
  const __m256i toW = _mm256_setr_epi8(0, -1, 0, -1, 4, -1, 4, -1, 8, -1, 8, -1, 12, -1, 12, -1, 0,
                                       -1, 0, -1, 4, -1, 4, -1, 8, -1, 8, -1, 12, -1, 12, -1);
  const __mmask32 oddBytes = 0xAAAAAAAAu, alphaBytes = 0x11111111u;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m256i sv = _mm256_loadu_si256((const __m256i*)(s + i));
    if (_mm256_testz_si256(sv, amask)) continue;  // all transparent
    if (_mm256_testc_si256(sv, amask)) {          // all opaque
      _mm256_storeu_si256((__m256i*)(d + i), sv);
      continue;
    }
    const __m256i dv = _mm256_loadu_si256((const __m256i*)(d + i));
    // a ^ 255 = 255 - a; xor with a constant keeps iterations independent.
    const __m256i w = _mm256_shuffle_epi8(_mm256_xor_si256(sv, amask), toW);
    const __mmask32 below = _mm256_cmplt_epu8_mask(dv, sv);
    const __m256i diff = _mm256_mask_sub_epi8(_mm256_sub_epi8(dv, sv), below, sv, dv);
    const __m256i even = _mm256_mulhi_epu16(_mm256_slli_epi16(diff, 8), w);
    const __m256i odd = _mm256_mullo_epi16(_mm256_srli_epi16(diff, 8), w);
    const __m256i m = _mm256_mask_mov_epi8(even, oddBytes, odd);
    __m256i x = _mm256_mask_sub_epi8(_mm256_add_epi8(sv, m), below, sv, m);
    x = _mm256_mask_adds_epu8(x, alphaBytes, sv, dv);  // alpha: min(a + dA, 255)
    // Pixels of source alpha 0 keep the destination.
    _mm256_mask_storeu_epi32(d + i, _mm256_test_epi32_mask(sv, amask), x);
  }
  return i;
}

#else

int px_row_srcalpha_full_avx512(PX_pixel*, const PX_pixel*, int) { return 0; }

#endif
