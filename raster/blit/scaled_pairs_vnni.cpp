// The upscaling bilinear kernel of px_bilinear_pairs with AVX-512 VNNI (on
// 256-bit vectors): each sample's two multiply-adds and their sums are two
// fused dot-product accumulations. The sums are the same integers.
#include "raster/blit/scaled_simd_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_VNNI __attribute__((target("avx2,avx512f,avx512vl,avx512vnni")))
#define PX_INLINE inline __attribute__((always_inline))

namespace {

// Pixels k and k + 1 (lanes) of one or two rows from doubled tables at load
// offset o: (base + d10 (fy - 32768) + (b, C) . w) >> 16.
template <bool TWO>
PX_VNNI PX_INLINE void pairSamples(const PxBilinearCols& t, int32_t o, __m256i kfy0, __m256i kfy1,
                                   __m256i w0, __m256i w1, __m256i* r0, __m256i* r1) {
  const __m256i b = _mm256_loadu_si256((const __m256i*)((const char*)t.base + o));
  const __m256i dp = _mm256_loadu_si256((const __m256i*)((const char*)t.d10 + o));
  const __m256i c = _mm256_loadu_si256((const __m256i*)((const char*)t.bc + o));
  *r0 = _mm256_srai_epi32(_mm256_dpwssd_epi32(_mm256_dpwssd_epi32(b, dp, kfy0), c, w0), 16);
  if (TWO)
    *r1 = _mm256_srai_epi32(_mm256_dpwssd_epi32(_mm256_dpwssd_epi32(b, dp, kfy1), c, w1), 16);
}

// Pixel pairs (0, 1), (2, 3), (4, 5), (6, 7) packed into eight pixels in order.
PX_VNNI PX_INLINE void storePairs(PX_pixel* d, __m256i a, __m256i b, __m256i c, __m256i e) {
  const __m256i v = _mm256_packus_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, e));
  _mm256_storeu_si256((__m256i*)d,
                      _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
}

// Pixels k .. k + 7 of one or two rows.
template <bool TWO>
PX_VNNI PX_INLINE void pairsGroup(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t,
                                  const int32_t* poff, const uint32_t* w0, const uint32_t* w1,
                                  __m256i kfy0, __m256i kfy1, int k) {
  const __m256i a8 = _mm256_loadu_si256((const __m256i*)(w0 + k));
  const __m256i b8 = TWO ? _mm256_loadu_si256((const __m256i*)(w1 + k)) : a8;
  const __m256i i0 = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1), two = _mm256_set1_epi32(2);
  const __m256i i1 = _mm256_add_epi32(i0, two), i2 = _mm256_add_epi32(i1, two);
  const __m256i i3 = _mm256_add_epi32(i2, two);
  __m256i p0, p1, p2, p3, q0, q1, q2, q3;
  pairSamples<TWO>(t, poff[k], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i0),
                   _mm256_permutevar8x32_epi32(b8, i0), &p0, &q0);
  pairSamples<TWO>(t, poff[k + 2], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i1),
                   _mm256_permutevar8x32_epi32(b8, i1), &p1, &q1);
  pairSamples<TWO>(t, poff[k + 4], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i2),
                   _mm256_permutevar8x32_epi32(b8, i2), &p2, &q2);
  pairSamples<TWO>(t, poff[k + 6], kfy0, kfy1, _mm256_permutevar8x32_epi32(a8, i3),
                   _mm256_permutevar8x32_epi32(b8, i3), &p3, &q3);
  storePairs(d0 + k, p0, p1, p2, p3);
  if (TWO) storePairs(d1 + k, q0, q1, q2, q3);
}

template <bool TWO>
PX_VNNI void pairsVnni(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t, const int32_t* poff,
                       const uint32_t* w0, const uint32_t* w1, unsigned fy0, unsigned fy1, int n) {
  const __m256i kfy0 = _mm256_set1_epi32((int)((fy0 - 32768u) & 0xFFFF));
  const __m256i kfy1 = _mm256_set1_epi32((int)((fy1 - 32768u) & 0xFFFF));
  for (int k = 0; k + 8 <= n; k += 8) pairsGroup<TWO>(d0, d1, t, poff, w0, w1, kfy0, kfy1, k);
  if (n % 8) pairsGroup<TWO>(d0, d1, t, poff, w0, w1, kfy0, kfy1, n - 8);
}

}  // namespace

void px_bilinear_pairs_vnni(PX_pixel* d0, PX_pixel* d1, const PxBilinearCols& t,
                            const int32_t* poff, const uint32_t* w0, const uint32_t* w1,
                            unsigned fy0, unsigned fy1, int n) {
  if (d1) pairsVnni<true>(d0, d1, t, poff, w0, w1, fy0, fy1, n);
  else pairsVnni<false>(d0, d1, t, poff, w0, w1, fy0, fy1, n);
}

#else

void px_bilinear_pairs_vnni(PX_pixel*, PX_pixel*, const PxBilinearCols&, const int32_t*,
                            const uint32_t*, const uint32_t*, unsigned, unsigned, int) {}

#endif
