// Word fill of rectangles with 16- or 32-byte stores; rows that follow each
// other in memory are filled as one run.
#include "raster/pixels/cpu_p.h"
#include "raster/pixels/fill_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PX_HAVE_AVX_FILL 1
#endif

namespace {

void fillRunSse2(PX_pixel* p, ptrdiff_t n, PX_pixel colour) {
  ptrdiff_t i = 0;
#if defined(__SSE2__)
  const __m128i c = _mm_set1_epi32((int)colour);
  for (; i + 16 <= n; i += 16) {
    _mm_storeu_si128((__m128i*)(p + i), c);
    _mm_storeu_si128((__m128i*)(p + i + 4), c);
    _mm_storeu_si128((__m128i*)(p + i + 8), c);
    _mm_storeu_si128((__m128i*)(p + i + 12), c);
  }
  for (; i + 4 <= n; i += 4) _mm_storeu_si128((__m128i*)(p + i), c);
#endif
  for (; i < n; ++i) p[i] = colour;
}

#if defined(PX_HAVE_AVX_FILL)
// One unaligned store covers the run's start, the rest goes in aligned
// 32-byte stores; the last store ends exactly at the run's end.
__attribute__((target("avx"))) void fillRunAvx(PX_pixel* p, ptrdiff_t n, PX_pixel colour) {
  if (n < 8) return fillRunSse2(p, n, colour);
  const __m256i c = _mm256_set1_epi32((int)colour);
  _mm256_storeu_si256((__m256i*)p, c);
  ptrdiff_t i = (ptrdiff_t)((32 - ((uintptr_t)p & 31)) & 31) / 4;
  for (; i + 32 <= n; i += 32) {
    _mm256_store_si256((__m256i*)(p + i), c);
    _mm256_store_si256((__m256i*)(p + i + 8), c);
    _mm256_store_si256((__m256i*)(p + i + 16), c);
    _mm256_store_si256((__m256i*)(p + i + 24), c);
  }
  for (; i + 8 <= n; i += 8) _mm256_storeu_si256((__m256i*)(p + i), c);
  _mm256_storeu_si256((__m256i*)(p + n - 8), c);
}
#endif

void fillRun(PX_pixel* p, ptrdiff_t n, PX_pixel colour) {
#if defined(PX_HAVE_AVX_FILL)
  if (px_simd() >= kPxAvx2) return fillRunAvx(p, n, colour);
#endif
  if (px_simd() >= kPxSse2) return fillRunSse2(p, n, colour);
  for (ptrdiff_t i = 0; i < n; ++i) p[i] = colour;
}

}  // namespace

void px_fill_solid_rows(PxRows rows, int x, int y, int w, int h, PX_pixel colour) {
  if (h > 0 && (rows.step == w || rows.step == -w)) {
    // Whole rows back to back (x is then 0): one run from the lowest address.
    fillRun(rows.row(rows.step > 0 ? y : y + h - 1) + x, (ptrdiff_t)w * h, colour);
    return;
  }
  for (int row = 0; row < h; ++row) fillRun(rows.row(y + row) + x, w, colour);
}
