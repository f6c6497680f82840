// Word fill of rectangles with 16-byte stores.
#include "raster/pixels/fill_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void px_fill_solid_rows(PxRows rows, int x, int y, int w, int h, PX_pixel colour) {
#if defined(__SSE2__)
  const __m128i c = _mm_set1_epi32((int)colour);
#endif
  for (int row = 0; row < h; ++row) {
    PX_pixel* p = rows.row(y + row) + x;
    int i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= w; i += 16) {
      _mm_storeu_si128((__m128i*)(p + i), c);
      _mm_storeu_si128((__m128i*)(p + i + 4), c);
      _mm_storeu_si128((__m128i*)(p + i + 8), c);
      _mm_storeu_si128((__m128i*)(p + i + 12), c);
    }
    for (; i + 4 <= w; i += 4) _mm_storeu_si128((__m128i*)(p + i), c);
#endif
    for (; i < w; ++i) p[i] = colour;
  }
}
