// Vector kernels for glyph drawing. The copy class mixes each byte as
// s + (d - s) x inv / 256 truncated toward zero, which equals
// s +- (|d - s| x inv >> 8); with inv <= 256 every product fits a 16-bit lane,
// so four pixels are mixed at once with the scalar result bit for bit.
#include <cstring>

#include "raster/pixels/cpu_p.h"
#include "raster/text/glyph_p.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__)

namespace {

inline __m128i select(__m128i mask, __m128i a, __m128i b) {  // mask ? a : b
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// Four destination pixels mixed with s; cov holds the four coverage bytes in
// its low 16-bit lanes, weight w is c + 1 (FULL) or ia x c >> 8. Pixels of
// coverage 0 keep d.
template <bool FULL>
inline __m128i mix4(__m128i d, __m128i s, __m128i cov, __m128i ia16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i w =
      FULL ? _mm_add_epi16(cov, _mm_set1_epi16(1)) : _mm_srli_epi16(_mm_mullo_epi16(cov, ia16), 8);
  __m128i inv = _mm_sub_epi16(_mm_set1_epi16(256), w);
  inv = _mm_unpacklo_epi16(inv, inv);
  const __m128i invlo = _mm_unpacklo_epi32(inv, inv), invhi = _mm_unpackhi_epi32(inv, inv);
  const __m128i diff = _mm_or_si128(_mm_subs_epu8(d, s), _mm_subs_epu8(s, d));
  const __m128i dge = _mm_cmpeq_epi8(_mm_max_epu8(d, s), d);
  const __m128i mlo = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(diff, zero), invlo), 8);
  const __m128i mhi = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(diff, zero), invhi), 8);
  const __m128i m = _mm_packus_epi16(mlo, mhi);
  const __m128i mixed = select(dge, _mm_add_epi8(s, m), _mm_sub_epi8(s, m));
  const __m128i uncovered = _mm_cmpeq_epi32(_mm_unpacklo_epi16(cov, zero), zero);
  return select(uncovered, d, mixed);
}

// The last one to three pixels of a row, loaded and stored lane by lane.
template <bool FULL>
inline void copyTail(PX_pixel* d, const unsigned char* cov, int n, __m128i s, __m128i ia16) {
  const int c4 = cov[0] | (n > 1 ? cov[1] << 8 : 0) | (n > 2 ? cov[2] << 16 : 0);
  if (c4 == 0) return;
  __m128i dv = n > 1 ? _mm_loadl_epi64((const __m128i*)d) : _mm_cvtsi32_si128((int)d[0]);
  if (n > 2) dv = _mm_unpacklo_epi64(dv, _mm_cvtsi32_si128((int)d[2]));
  const __m128i cv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(c4), _mm_setzero_si128());
  const __m128i r = mix4<FULL>(dv, s, cv, ia16);
  if (n > 1) _mm_storel_epi64((__m128i*)d, r);
  else d[0] = (PX_pixel)_mm_cvtsi128_si32(r);
  if (n > 2) d[2] = (PX_pixel)_mm_cvtsi128_si32(_mm_srli_si128(r, 8));
}

template <bool FULL>
void copyRow(PX_pixel* d, const unsigned char* cov, int n, __m128i s, __m128i ia16) {
  const __m128i zero = _mm_setzero_si128();
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    int c4;
    memcpy(&c4, cov + i, 4);
    if (c4 == 0) continue;
    if (FULL && c4 == -1) {  // fully covered: weight 256 stores the source
      _mm_storeu_si128((__m128i*)(d + i), s);
      continue;
    }
    const __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(c4), zero);
    const __m128i dv = _mm_loadu_si128((const __m128i*)(d + i));
    _mm_storeu_si128((__m128i*)(d + i), mix4<FULL>(dv, s, c, ia16));
  }
  if (i < n) copyTail<FULL>(d + i, cov + i, n - i, s, ia16);
}

void copyRows(const PxGlyphDraw& g, PX_pixel src, bool full) {
  const __m128i s = _mm_set1_epi32((int)src), ia16 = _mm_set1_epi16((short)g.ia);
  for (int row = 0; row < g.h; ++row) {
    PX_pixel* d = g.rows.row(g.y + row) + g.x;
    const unsigned char* cov = g.cov + (ptrdiff_t)row * g.span;
    if (full) copyRow<true>(d, cov, g.w, s, ia16);
    else copyRow<false>(d, cov, g.w, s, ia16);
  }
}

}  // namespace

PxGlyphCopyRows px_glyph_copy_kernel() {
  const PxSimd level = px_simd();
  return level >= kPxAvx2 ? px_glyph_copy_rows_avx2 : level >= kPxSse2 ? copyRows : nullptr;
}

#else

PxGlyphCopyRows px_glyph_copy_kernel() { return nullptr; }

#endif

bool px_glyph_copy_rows_simd(const PxGlyphDraw& g, PX_pixel src, bool full) {
  const PxGlyphCopyRows copy = px_glyph_copy_kernel();
  if (!copy || g.ia < 1 || g.ia > 256) return false;
  copy(g, src, full);
  return true;
}
