// Row kernels of the source-alpha copy blits. The SSE2 path computes exactly
// the classes' formulas: s + (d - s) x w / 256 truncated toward zero equals
// s +- (|d - s| x w >> 8), which fits 16-bit lanes since |d - s| x w < 65536.
#include "raster/blit/blit_p.h"
#include "raster/pixels/combine_p.h"
#include "raster/pixels/cpu_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

template <class C>
void scalarRow(PX_pixel* d, const PX_pixel* s, int n, int ia) {
  for (int i = 0; i < n; ++i) {
    const PX_pixel_chan* sp = (const PX_pixel_chan*)(s + i);
    C::doPix((PX_pixel_chan*)(d + i), sp[PX_PIXEL_R], sp[PX_PIXEL_G], sp[PX_PIXEL_B],
             sp[PX_PIXEL_A], ia);
  }
}

#if defined(__SSE2__)

inline __m128i select(__m128i mask, __m128i a, __m128i b) {  // mask ? a : b
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Four pixels: colour bytes s + (d - s) x inv / 256 with inv given per 16-bit
// lane, alpha byte min(add + dA, 255); pixels of source alpha 0 keep d.
inline __m128i blend4(__m128i d, __m128i s, __m128i invlo, __m128i invhi, __m128i add) {
  const __m128i zero = _mm_setzero_si128(), amask = _mm_set1_epi32(0xFF);
  const __m128i diff = _mm_or_si128(_mm_subs_epu8(d, s), _mm_subs_epu8(s, d));
  const __m128i dge = _mm_cmpeq_epi8(_mm_max_epu8(d, s), d);
  const __m128i mlo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), invlo), 8);
  const __m128i mhi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), invhi), 8);
  const __m128i m = _mm_packus_epi16(mlo, mhi);
  __m128i x = select(dge, _mm_add_epi8(s, m), _mm_sub_epi8(s, m));
  x = select(amask, _mm_adds_epu8(add, d), x);
  return select(_mm_cmpeq_epi32(_mm_and_si128(s, amask), zero), d, x);
}

// Spreads a 32-bit lane value v (< 65536) over the 16-bit lanes of its pixel.
inline void spread(__m128i v, __m128i* lo, __m128i* hi) {
  const __m128i v2 = _mm_or_si128(v, _mm_slli_epi32(v, 16));
  *lo = _mm_unpacklo_epi32(v2, v2);
  *hi = _mm_unpackhi_epi32(v2, v2);
}

#endif

}  // namespace

void px_row_srcalpha_full(PX_pixel* d, const PX_pixel* s, int n) {
  const PxSimd simd = px_simd();
  int i = simd >= kPxAvx512 ? px_row_srcalpha_full_avx512(d, s, n)
          : simd >= kPxAvx2 ? px_row_srcalpha_full_avx2(d, s, n)
                            : 0;
#if defined(__SSE2__)
  const __m128i amask = _mm_set1_epi32(0xFF);
  for (; simd >= kPxSse2 && i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128((const __m128i*)(s + i));
    const __m128i sa = _mm_and_si128(sv, amask);
    const int zeros = _mm_movemask_epi8(_mm_cmpeq_epi32(sa, _mm_setzero_si128()));
    if (zeros == 0xFFFF) continue;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, amask)) == 0xFFFF) {
      _mm_storeu_si128((__m128i*)(d + i), sv);
      continue;
    }
    __m128i lo, hi;
    spread(_mm_sub_epi32(amask, sa), &lo, &hi);  // destination weight 255 - a
    const __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
    _mm_storeu_si128((__m128i*)(d + i), blend4(dv, sv, lo, hi, sa));
  }
#endif
  scalarRow<PX_CombinePixelsCopySourceAlphaIgnoreAlphaParmNoClamp>(d + i, s + i, n - i, 256);
}

void px_row_srcalpha(PX_pixel* d, const PX_pixel* s, int n, int ia) {
  const PxSimd simd = px_simd();
  int i = simd >= kPxAvx2 ? px_row_srcalpha_avx2(d, s, n, ia) : 0;
#if defined(__SSE2__)
  const __m128i amask = _mm_set1_epi32(0xFF), one = _mm_set1_epi32(1);
  const __m128i iav = _mm_set1_epi32(ia), full = _mm_set1_epi32(256);
  for (; simd >= kPxSse2 && i + 4 <= n; i += 4) {
    const __m128i sv = _mm_loadu_si128((const __m128i*)(s + i));
    const __m128i sa = _mm_and_si128(sv, amask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(sa, _mm_setzero_si128())) == 0xFFFF) continue;
    // w = ia x (a + 1) / 256 (at most 65280 before the shift: one 16-bit multiply)
    const __m128i w = _mm_srli_epi32(_mm_mullo_epi16(_mm_add_epi32(sa, one), iav), 8);
    __m128i lo, hi;
    spread(_mm_sub_epi32(full, w), &lo, &hi);
    const __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
    _mm_storeu_si128((__m128i*)(d + i), blend4(dv, sv, lo, hi, w));
  }
#endif
  scalarRow<PX_CombinePixelsCopySourceAlphaNoClamp>(d + i, s + i, n - i, ia);
}
