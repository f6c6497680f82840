// Pixel doubling for high-resolution output, four source pixels per step.
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>

#include "gdi/gdi.h"

namespace {

void Store(int* p, __m128i v) {
  if ((reinterpret_cast<uintptr_t>(p) & 15) == 0) {
    _mm_store_si128(reinterpret_cast<__m128i*>(p), v);
  } else {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
  }
}

void DoubleRow(int* d0, int* d1, const int* s, int w) {
  int x = 0;
  for (; x + 4 <= w; x += 4) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + x));
    const __m128i lo = _mm_unpacklo_epi32(v, v), hi = _mm_unpackhi_epi32(v, v);
    Store(d0 + 2 * x, lo);
    Store(d0 + 2 * x + 4, hi);
    Store(d1 + 2 * x, lo);
    Store(d1 + 2 * x + 4, hi);
  }
  for (; x < w; ++x) d0[2 * x] = d0[2 * x + 1] = d1[2 * x] = d1[2 * x + 1] = s[x];
}

}  // namespace

void GDI_fastDoubleUpImage(int* dest, const int* src, int w, int h, int srcspan, int destspan) {
  if (!dest || !src || w <= 0 || h <= 0) return;
  for (int y = 0; y < h; ++y) {
    int* d0 = dest + static_cast<ptrdiff_t>(2 * y) * destspan;
    DoubleRow(d0, d0 + destspan, src + static_cast<ptrdiff_t>(y) * srcspan, w);
  }
}
