// The upscaling bilinear kernel of px_bilinear_pairs with AVX-512 VNNI (on
// 256-bit vectors): each sample's two multiply-adds and their sums are two
// fused dot-product accumulations, and the 32 registers let three rows share
// every load. The sums are the same integers.
#include "raster/blit/scaled_simd_p.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

#define PX_VNNI __attribute__((target("avx2,avx512f,avx512vl,avx512vnni")))
#define PX_INLINE inline __attribute__((always_inline))

namespace {

// Pixels k and k + 1 (lanes) of ROWS rows from doubled tables at load offset
// o: (base + d10 (fy - 32768) + (b, C) . w) >> 16 for each row's kfy and w.
template <int ROWS>
PX_VNNI PX_INLINE void pairSamples(const PxBilinearCols& t, int32_t o, const __m256i* kfy,
                                   __m256i w0, __m256i w1, __m256i w2, __m256i* r0, __m256i* r1,
                                   __m256i* r2) {
  const __m256i b = _mm256_loadu_si256((const __m256i*)((const char*)t.base + o));
  const __m256i dp = _mm256_loadu_si256((const __m256i*)((const char*)t.d10 + o));
  const __m256i c = _mm256_loadu_si256((const __m256i*)((const char*)t.bc + o));
  *r0 = _mm256_srai_epi32(_mm256_dpwssd_epi32(_mm256_dpwssd_epi32(b, dp, kfy[0]), c, w0), 16);
  if (ROWS > 1)
    *r1 = _mm256_srai_epi32(_mm256_dpwssd_epi32(_mm256_dpwssd_epi32(b, dp, kfy[1]), c, w1), 16);
  if (ROWS > 2)
    *r2 = _mm256_srai_epi32(_mm256_dpwssd_epi32(_mm256_dpwssd_epi32(b, dp, kfy[2]), c, w2), 16);
}

// (fy - 32768, 0) in every 16-bit pair.
PX_VNNI PX_INLINE __m256i fyWeights(unsigned fy) {
  return _mm256_set1_epi32((int)((fy - 32768u) & 0xFFFF));
}

// Pixel pairs (0, 1), (2, 3), (4, 5), (6, 7) packed into eight pixels in order.
PX_VNNI PX_INLINE void storePairs(PX_pixel* d, __m256i a, __m256i b, __m256i c, __m256i e) {
  const __m256i v = _mm256_packus_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, e));
  _mm256_storeu_si256((__m256i*)d,
                      _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
}

// Weights of pixels 2m and 2m + 1 of the group at k, one per lane.
PX_VNNI PX_INLINE __m256i pairWeights(const uint32_t* w, int k, int m) {
  const __m256i idx = _mm256_setr_epi32(0, 0, 0, 0, 1, 1, 1, 1);
  return _mm256_permutevar8x32_epi32(_mm256_loadu_si256((const __m256i*)(w + k)),
                                     _mm256_add_epi32(idx, _mm256_set1_epi32(2 * m)));
}

// Pixels 2m and 2m + 1 of the group at k in each row (lanes).
template <int ROWS>
PX_VNNI PX_INLINE void pairOf(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff,
                              const __m256i* kfy, int k, int m, __m256i* p, __m256i* q,
                              __m256i* r) {
  pairSamples<ROWS>(t, poff[k + 2 * m], kfy, pairWeights(rows.w[0], k, m),
                    ROWS > 1 ? pairWeights(rows.w[1], k, m) : kfy[0],
                    ROWS > 2 ? pairWeights(rows.w[2], k, m) : kfy[0], p, q, r);
}

// Pixels k .. k + 7 of each row: every column entry is loaded once for all.
template <int ROWS>
PX_VNNI PX_INLINE void pairsGroup(const PxPairRows& rows, const PxBilinearCols& t,
                                  const int32_t* poff, const __m256i* kfy, int k) {
  __m256i p0, p1, p2, p3, q0, q1, q2, q3, r0, r1, r2, r3;
  pairOf<ROWS>(rows, t, poff, kfy, k, 0, &p0, &q0, &r0);
  pairOf<ROWS>(rows, t, poff, kfy, k, 1, &p1, &q1, &r1);
  pairOf<ROWS>(rows, t, poff, kfy, k, 2, &p2, &q2, &r2);
  pairOf<ROWS>(rows, t, poff, kfy, k, 3, &p3, &q3, &r3);
  storePairs(rows.d[0] + k, p0, p1, p2, p3);
  if (ROWS > 1) storePairs(rows.d[1] + k, q0, q1, q2, q3);
  if (ROWS > 2) storePairs(rows.d[2] + k, r0, r1, r2, r3);
}

template <int ROWS>
PX_VNNI void pairsVnni(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff,
                       int n) {
  const __m256i kfy[3] = {fyWeights(rows.fy[0]), fyWeights(rows.fy[ROWS > 1 ? 1 : 0]),
                          fyWeights(rows.fy[ROWS > 2 ? 2 : 0])};
  for (int k = 0; k + 8 <= n; k += 8) pairsGroup<ROWS>(rows, t, poff, kfy, k);
  if (n % 8) pairsGroup<ROWS>(rows, t, poff, kfy, n - 8);
}

}  // namespace

void px_bilinear_pairs_vnni(const PxPairRows& rows, const PxBilinearCols& t, const int32_t* poff,
                            int n) {
  if (rows.count == 3) pairsVnni<3>(rows, t, poff, n);
  else if (rows.count == 2) pairsVnni<2>(rows, t, poff, n);
  else pairsVnni<1>(rows, t, poff, n);
}

#else

void px_bilinear_pairs_vnni(const PxPairRows&, const PxBilinearCols&, const int32_t*, int) {}

#endif
