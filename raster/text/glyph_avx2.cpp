// AVX2 version of the copy-class glyph rows: eight pixels per register, two
// groups of four, each mixed as in the SSE2 kernel (s +- (|d - s| x inv >> 8))
// and so bit for bit the scalar result. Glyph rows are short, so a row of
// four to eight pixels is one register holding its first and its last four
// pixels, and a longer row ends with the register of its last eight. Both
// parts of an overlap are mixed from the original destination and agree on
// every pixel they share, so the order of the stores does not matter.
#include <cstdint>
#include <cstring>

#include "raster/text/glyph_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_AVX2 __attribute__((target("avx2")))

namespace {

// Constants of one draw. The shuffles spread coverage byte k (broadcast to
// every quarter of the register) over the 16-bit channel lanes of pixel k, in
// the order in which the destination bytes are unpacked: pixels 0, 1 | 4, 5
// for the low halves, 2, 3 | 6, 7 for the high ones; "up" puts the byte in
// the upper half of the lane (c << 8). toPix repeats it over pixel k's bytes.
struct Kernel {
  __m256i s, ia, toLo, toHi, toLoUp, toHiUp, toPix;
};

PX_AVX2 __m256i spread(int a, int b, bool up) {
  const char z = -1, x = (char)a, y = (char)b, p = (char)(a + 4), q = (char)(b + 4);
  return up ? _mm256_setr_epi8(z, x, z, x, z, x, z, x, z, y, z, y, z, y, z, y,  //
                               z, p, z, p, z, p, z, p, z, q, z, q, z, q, z, q)
            : _mm256_setr_epi8(x, z, x, z, x, z, x, z, y, z, y, z, y, z, y, z,  //
                               p, z, p, z, p, z, p, z, q, z, q, z, q, z, q, z);
}

PX_AVX2 Kernel makeKernel(PX_pixel src, int ia) {
  Kernel k;
  k.s = _mm256_set1_epi32((int)src);
  k.ia = _mm256_set1_epi16((short)ia);
  k.toLo = spread(0, 1, false);
  k.toHi = spread(2, 3, false);
  k.toLoUp = spread(0, 1, true);
  k.toHiUp = spread(2, 3, true);
  k.toPix = _mm256_setr_epi8(0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3,  //
                             4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6, 7, 7, 7, 7);
  return k;
}

// Eight pixels d mixed with s through coverage bytes c8 (byte k for pixel k).
// FULL: weight c + 1, so the destination keeps 255 - c; pixels of coverage 0
// keep d. Otherwise weight ia x c >> 8, which is 0 for coverage 0.
template <bool FULL>
PX_AVX2 inline __m256i mix8(__m256i d, uint64_t c8, const Kernel& k) {
  const __m256i zero = _mm256_setzero_si256(), s = k.s;
  const __m256i c = _mm256_set1_epi64x((long long)c8);
  __m256i invlo, invhi;
  if (FULL) {
    const __m256i inv = _mm256_xor_si256(c, _mm256_set1_epi8(-1));
    invlo = _mm256_shuffle_epi8(inv, k.toLo);
    invhi = _mm256_shuffle_epi8(inv, k.toHi);
  } else {
    const __m256i all = _mm256_set1_epi16(256);
    invlo = _mm256_sub_epi16(all, _mm256_mulhi_epu16(_mm256_shuffle_epi8(c, k.toLoUp), k.ia));
    invhi = _mm256_sub_epi16(all, _mm256_mulhi_epu16(_mm256_shuffle_epi8(c, k.toHiUp), k.ia));
  }
  // (diff << 8) x inv >> 16 = diff x inv >> 8
  const __m256i diff = _mm256_or_si256(_mm256_subs_epu8(d, s), _mm256_subs_epu8(s, d));
  const __m256i dge = _mm256_cmpeq_epi8(_mm256_max_epu8(d, s), d);
  const __m256i mlo = _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, diff), invlo);
  const __m256i mhi = _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, diff), invhi);
  const __m256i m = _mm256_packus_epi16(mlo, mhi);
  const __m256i mixed = _mm256_blendv_epi8(_mm256_sub_epi8(s, m), _mm256_add_epi8(s, m), dge);
  if (!FULL) return mixed;
  const __m256i bare = _mm256_cmpeq_epi8(_mm256_shuffle_epi8(c, k.toPix), zero);
  return _mm256_blendv_epi8(mixed, d, bare);
}

// The mixed pixels in *out; false when no pixel is covered (nothing to store).
template <bool FULL>
PX_AVX2 inline bool mixed8(__m256i d, uint64_t c8, const Kernel& k, __m256i* out) {
  if (c8 == 0) return false;
  *out = FULL && c8 == ~0ull ? k.s : mix8<FULL>(d, c8, k);  // weight 256 stores the source
  return true;
}

inline uint64_t load8(const unsigned char* p) {
  uint64_t v;
  memcpy(&v, p, 8);
  return v;
}

inline uint64_t load4(const unsigned char* p) {
  uint32_t v;
  memcpy(&v, p, 4);
  return v;
}

template <bool FULL>
PX_AVX2 void wideRow(PX_pixel* d, const unsigned char* cov, int n, const Kernel& k) {
  const int t = n - 8;
  __m256i last, v;
  const bool tail = (n & 7) && mixed8<FULL>(_mm256_loadu_si256((const __m256i*)(d + t)),
                                            load8(cov + t), k, &last);
  for (int i = 0; i + 8 <= n; i += 8)
    if (mixed8<FULL>(_mm256_loadu_si256((const __m256i*)(d + i)), load8(cov + i), k, &v))
      _mm256_storeu_si256((__m256i*)(d + i), v);
  if (tail) _mm256_storeu_si256((__m256i*)(d + t), last);
}

// Four to seven pixels: the first four in the low lane, the last four in the high one.
template <bool FULL>
PX_AVX2 void midRow(PX_pixel* d, const unsigned char* cov, int n, const Kernel& k) {
  const int t = n - 4;
  const __m256i dv =
      _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128((const __m128i*)d)),
                              _mm_loadu_si128((const __m128i*)(d + t)), 1);
  __m256i v;
  if (!mixed8<FULL>(dv, load4(cov) | load4(cov + t) << 32, k, &v)) return;
  _mm_storeu_si128((__m128i*)(d + t), _mm256_extracti128_si256(v, 1));
  _mm_storeu_si128((__m128i*)d, _mm256_castsi256_si128(v));
}

// One to three pixels, loaded and stored lane by lane.
template <bool FULL>
PX_AVX2 void narrowRow(PX_pixel* d, const unsigned char* cov, int n, const Kernel& k) {
  const uint64_t c4 = cov[0] | (n > 1 ? cov[1] << 8 : 0) | (n > 2 ? cov[2] << 16 : 0);
  __m128i dv = n > 1 ? _mm_loadl_epi64((const __m128i*)d) : _mm_cvtsi32_si128((int)d[0]);
  if (n > 2) dv = _mm_unpacklo_epi64(dv, _mm_cvtsi32_si128((int)d[2]));
  __m256i v;
  if (!mixed8<FULL>(_mm256_inserti128_si256(_mm256_setzero_si256(), dv, 0), c4, k, &v)) return;
  const __m128i r = _mm256_castsi256_si128(v);
  if (n > 1) _mm_storel_epi64((__m128i*)d, r);
  else d[0] = (PX_pixel)_mm_cvtsi128_si32(r);
  if (n > 2) d[2] = (PX_pixel)_mm_cvtsi128_si32(_mm_srli_si128(r, 8));
}

using RowFn = void (*)(PX_pixel*, const unsigned char*, int, const Kernel&);

template <RowFn ROW>
PX_AVX2 void eachRow(const PxGlyphDraw& g, const Kernel& k) {
  PX_pixel* d = g.rows.row(g.y) + g.x;
  const unsigned char* cov = g.cov;
  for (int r = 0; r < g.h; ++r, d += g.rows.step, cov += g.span) ROW(d, cov, g.w, k);
}

template <bool FULL>
PX_AVX2 void copyRows(const PxGlyphDraw& g, const Kernel& k) {
  if (g.w >= 8) eachRow<wideRow<FULL>>(g, k);
  else if (g.w >= 4) eachRow<midRow<FULL>>(g, k);
  else if (g.w >= 1) eachRow<narrowRow<FULL>>(g, k);
}

}  // namespace

PX_AVX2 void px_glyph_copy_rows_avx2(const PxGlyphDraw& g, PX_pixel src, bool full) {
  const Kernel k = makeKernel(src, g.ia);
  if (full) copyRows<true>(g, k);
  else copyRows<false>(g, k);
}

#else

void px_glyph_copy_rows_avx2(const PxGlyphDraw&, PX_pixel, bool) {}

#endif
