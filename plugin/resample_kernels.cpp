#include "plugin/resample_kernels_p.h"

#include <immintrin.h>

#include "plugin/bspline_pair_p.h"

namespace skylane {
namespace {

constexpr int kFirstInputTap = 6;

// Position t's taps start in input frame trunc(t) - 6; x is the fraction.
inline const float* taps(const float* input, float position, float ratio, int i, float* x) {
  const float t = position + static_cast<float>(i) * ratio;
  const int k = static_cast<int>(t);
  *x = t - static_cast<float>(k);
  return input + 2 * (k - kFirstInputTap);
}

}  // namespace

void interpolateSse2(const float* input, float position, float ratio, int begin, int end,
                     float* out) {
  for (int i = begin; i < end; ++i) {
    float x;
    const float* p = taps(input, position, ratio, i, &x);
    bsplinePair(p, x, out + 2 * i);
  }
}

__attribute__((target("avx"))) void interpolateAvx(const float* input, float position, float ratio,
                                                   int begin, int end, float* out) {
  const __m256d sixth = _mm256_set1_pd(1 / 6.0);
  const __m256d twoThirds = _mm256_set1_pd(2 / 3.0);
  const __m256d half = _mm256_set1_pd(1 / 2.0);
  int i = begin;
  for (; i + 1 < end; i += 2) {
    float xa, xb;
    const float* pa = taps(input, position, ratio, i, &xa);
    const float* pb = taps(input, position, ratio, i + 1, &xb);
    // Lanes: frame a left, right, frame b left, right.
    const __m128 a1 = _mm_loadu_ps(pa), b1 = _mm_loadu_ps(pa + 4);
    const __m128 a2 = _mm_loadu_ps(pb), b2 = _mm_loadu_ps(pb + 4);
    const __m128 ym1 = _mm_movelh_ps(a1, a2), y0 = _mm_movehl_ps(a2, a1);
    const __m128 y1 = _mm_movelh_ps(b1, b2), y2 = _mm_movehl_ps(b2, b1);
    const __m256d sums = _mm256_cvtps_pd(_mm_add_ps(ym1, y1));
    const __m256d y0D = _mm256_cvtps_pd(y0);
    const __m128 c0 =
        _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(sixth, sums), _mm256_mul_pd(twoThirds, y0D)));
    const __m128 c1 = _mm_mul_ps(_mm_set1_ps(0.5f), _mm_sub_ps(y1, ym1));
    const __m128 c2 = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(half, sums), y0D));
    const __m128 c3 =
        _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(half, _mm256_cvtps_pd(_mm_sub_ps(y0, y1))),
                                      _mm256_mul_pd(sixth, _mm256_cvtps_pd(_mm_sub_ps(y2, ym1)))));
    const __m128 xs = _mm_setr_ps(xa, xa, xb, xb);
    const __m128 r = _mm_add_ps(
        _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(c3, xs), c2), xs), c1), xs), c0);
    _mm_storeu_ps(out + 2 * i, r);
  }
  interpolateSse2(input, position, ratio, i, end, out);
}

InterpolateFn bestInterpolate() {
  static const InterpolateFn best = __builtin_cpu_supports("avx512f") ? interpolateAvx512
                                    : __builtin_cpu_supports("avx")   ? interpolateAvxQuad
                                                                      : interpolateSse2;
  return best;
}

}  // namespace skylane
