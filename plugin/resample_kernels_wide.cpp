// The interpolation loop for four output frames per step. The
// positions of a step are computed side by side with the same float
// operations as one at a time, and every lane follows bsplinePair's
// arithmetic, so the samples match the narrower loops bit for bit.
#include <immintrin.h>

#include "plugin/resample_kernels_p.h"

namespace skylane {
namespace {

constexpr int kFirstInputTap = 6;

// Four stereo frames as 8 float lanes: frame a left, right, b left, right, ...
struct Quad {
  __m256 ym1, y0, y1, y2;
};

// Loads the taps of four frames starting at a, b, c, d (interleaved input).
__attribute__((target("avx"))) inline Quad loadQuad(const float* a, const float* b, const float* c,
                                                    const float* d) {
  const __m256d front0 = _mm256_castps_pd(_mm256_loadu2_m128(c, a));  // ym1 y0 of a | of c
  const __m256d front1 = _mm256_castps_pd(_mm256_loadu2_m128(d, b));
  const __m256d back0 = _mm256_castps_pd(_mm256_loadu2_m128(c + 4, a + 4));
  const __m256d back1 = _mm256_castps_pd(_mm256_loadu2_m128(d + 4, b + 4));
  return {_mm256_castpd_ps(_mm256_unpacklo_pd(front0, front1)),
          _mm256_castpd_ps(_mm256_unpackhi_pd(front0, front1)),
          _mm256_castpd_ps(_mm256_unpacklo_pd(back0, back1)),
          _mm256_castpd_ps(_mm256_unpackhi_pd(back0, back1))};
}

// Both halves of eight floats as doubles.
struct Wide {
  __m256d lo, hi;
};

__attribute__((target("avx"))) inline Wide widen(__m256 v) {
  return {_mm256_cvtps_pd(_mm256_castps256_ps128(v)), _mm256_cvtps_pd(_mm256_extractf128_ps(v, 1))};
}

__attribute__((target("avx"))) inline __m256 narrow(__m256d lo, __m256d hi) {
  return _mm256_set_m128(_mm256_cvtpd_ps(hi), _mm256_cvtpd_ps(lo));
}

// bsplinePair's coefficients and polynomial, lane by lane.
__attribute__((target("avx"))) inline __m256 bsplineQuad(const Quad& q, __m256 xs) {
  const __m256d sixth = _mm256_set1_pd(1 / 6.0);
  const __m256d twoThirds = _mm256_set1_pd(2 / 3.0);
  const __m256d half = _mm256_set1_pd(1 / 2.0);
  const Wide sums = widen(_mm256_add_ps(q.ym1, q.y1));
  const Wide y0 = widen(q.y0);
  const Wide falls = widen(_mm256_sub_ps(q.y0, q.y1));
  const Wide rises = widen(_mm256_sub_ps(q.y2, q.ym1));
  const __m256 c0 =
      narrow(_mm256_add_pd(_mm256_mul_pd(sixth, sums.lo), _mm256_mul_pd(twoThirds, y0.lo)),
             _mm256_add_pd(_mm256_mul_pd(sixth, sums.hi), _mm256_mul_pd(twoThirds, y0.hi)));
  const __m256 c1 = _mm256_mul_ps(_mm256_set1_ps(0.5f), _mm256_sub_ps(q.y1, q.ym1));
  const __m256 c2 = narrow(_mm256_sub_pd(_mm256_mul_pd(half, sums.lo), y0.lo),
                           _mm256_sub_pd(_mm256_mul_pd(half, sums.hi), y0.hi));
  const __m256 c3 =
      narrow(_mm256_add_pd(_mm256_mul_pd(half, falls.lo), _mm256_mul_pd(sixth, rises.lo)),
             _mm256_add_pd(_mm256_mul_pd(half, falls.hi), _mm256_mul_pd(sixth, rises.hi)));
  return _mm256_add_ps(
      _mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(c3, xs), c2), xs), c1),
                    xs),
      c0);
}

}  // namespace

__attribute__((target("avx"))) void interpolateAvxQuad(const float* input, float position,
                                                       float ratio, int begin, int end,
                                                       float* out) {
  const float* base = input - 2 * kFirstInputTap;
  const __m128 start = _mm_set1_ps(position), step = _mm_set1_ps(ratio);
  __m128i index = _mm_setr_epi32(begin, begin + 1, begin + 2, begin + 3);
  int i = begin;
  for (; i + 3 < end; i += 4, index = _mm_add_epi32(index, _mm_set1_epi32(4))) {
    // t = position + i * ratio, k = trunc(t), x = t - k, as in taps().
    const __m128 t = _mm_add_ps(start, _mm_mul_ps(_mm_cvtepi32_ps(index), step));
    const __m128i k = _mm_cvttps_epi32(t);
    const __m128 x = _mm_sub_ps(t, _mm_cvtepi32_ps(k));
    const Quad q = loadQuad(base + 2 * _mm_cvtsi128_si32(k), base + 2 * _mm_extract_epi32(k, 1),
                            base + 2 * _mm_extract_epi32(k, 2), base + 2 * _mm_extract_epi32(k, 3));
    const __m256 xs = _mm256_set_m128(_mm_unpackhi_ps(x, x), _mm_unpacklo_ps(x, x));
    _mm256_storeu_ps(out + 2 * i, bsplineQuad(q, xs));
  }
  interpolateSse2(input, position, ratio, i, end, out);
}

}  // namespace skylane
