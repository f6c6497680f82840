// The interpolation loop for eight output frames per step. Positions are
// computed side by side with the same float operations as one at a time, and
// every lane follows bsplinePair's arithmetic, so the samples match the
// narrower loops bit for bit. A stereo frame is one 64-bit lane throughout.
#include <immintrin.h>

#include "plugin/resample_kernels_p.h"

// GCC 12's AVX-512 headers start many results from a deliberately undefined
// value, which its own uninitialised-use analysis then reports.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace skylane {
namespace {

constexpr int kFirstInputTap = 6;

#define SKYLANE_AVX512 __attribute__((target("avx512f")))

// The polynomial coefficients of eight frames, both channels.
struct Coefficients {
  __m512 c0, c1, c2, c3;
};

struct Wide {
  __m512d lo, hi;
};

SKYLANE_AVX512 inline Wide widen(__m512 v) {
  const __m256 hi = _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(v), 1));
  return {_mm512_cvtps_pd(_mm512_castps512_ps256(v)), _mm512_cvtps_pd(hi)};
}

SKYLANE_AVX512 inline __m512 narrow(__m512d lo, __m512d hi) {
  const __m512d low = _mm512_castps_pd(_mm512_castps256_ps512(_mm512_cvtpd_ps(lo)));
  return _mm512_castpd_ps(_mm512_insertf64x4(low, _mm256_castps_pd(_mm512_cvtpd_ps(hi)), 1));
}

// c2 = float(0.5 x sum - y0), computed in double. Where halving the float sum
// is exact, which the doubled half shows, the float subtraction of the half
// rounds the same exact difference once, and rounding it to double first
// changes nothing (53 >= 2 x 24 + 1 bits); this holds for zero, infinite and
// NaN y0 too. Only sums in the subnormal range (or NaN) need the double path.
SKYLANE_AVX512 inline __m512 secondCoefficient(__m512 sum, __m512 y0, const Wide& sums,
                                               const Wide& y0d) {
  const __m512 halfSum = _mm512_mul_ps(_mm512_set1_ps(0.5f), sum);
  if (_mm512_cmp_ps_mask(_mm512_add_ps(halfSum, halfSum), sum, _CMP_EQ_OQ) == 0xFFFF)
    return _mm512_sub_ps(halfSum, y0);
  const __m512d half = _mm512_set1_pd(1 / 2.0);
  return narrow(_mm512_sub_pd(_mm512_mul_pd(half, sums.lo), y0d.lo),
                _mm512_sub_pd(_mm512_mul_pd(half, sums.hi), y0d.hi));
}

// bsplinePair's coefficients, lane by lane.
SKYLANE_AVX512 inline Coefficients coefficients(__m512 ym1, __m512 y0f, __m512 y1, __m512 y2) {
  const __m512d sixth = _mm512_set1_pd(1 / 6.0);
  const __m512d twoThirds = _mm512_set1_pd(2 / 3.0);
  const __m512d half = _mm512_set1_pd(1 / 2.0);
  const __m512 sum = _mm512_add_ps(ym1, y1);
  const Wide sums = widen(sum);
  const Wide y0 = widen(y0f);
  const Wide falls = widen(_mm512_sub_ps(y0f, y1));
  const Wide rises = widen(_mm512_sub_ps(y2, ym1));
  return {narrow(_mm512_add_pd(_mm512_mul_pd(sixth, sums.lo), _mm512_mul_pd(twoThirds, y0.lo)),
                 _mm512_add_pd(_mm512_mul_pd(sixth, sums.hi), _mm512_mul_pd(twoThirds, y0.hi))),
          _mm512_mul_ps(_mm512_set1_ps(0.5f), _mm512_sub_ps(y1, ym1)),
          secondCoefficient(sum, y0f, sums, y0),
          narrow(_mm512_add_pd(_mm512_mul_pd(half, falls.lo), _mm512_mul_pd(sixth, rises.lo)),
                 _mm512_add_pd(_mm512_mul_pd(half, falls.hi), _mm512_mul_pd(sixth, rises.hi)))};
}

SKYLANE_AVX512 inline __m512 polynomial(const Coefficients& c, __m512 xs) {
  return _mm512_add_ps(
      _mm512_mul_ps(
          _mm512_add_ps(_mm512_mul_ps(_mm512_add_ps(_mm512_mul_ps(c.c3, xs), c.c2), xs), c.c1), xs),
      c.c0);
}

// Eight output positions from output frame i on: the first input frame of
// their taps, and their fractions repeated for both channels.
struct Positions {
  __m256i frames;
  __m512 xs;
};

SKYLANE_AVX512 inline Positions positions(__m256 start, __m256 step, __m256i index) {
  // t = position + i * ratio, k = trunc(t), x = t - k, as in the narrower loops.
  const __m256 t = _mm256_add_ps(start, _mm256_mul_ps(_mm256_cvtepi32_ps(index), step));
  const __m256i k = _mm256_cvttps_epi32(t);
  const __m256 x = _mm256_sub_ps(t, _mm256_cvtepi32_ps(k));
  const __m512i pairLanes = _mm512_setr_epi32(0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7);
  return {_mm256_sub_epi32(k, _mm256_set1_epi32(kFirstInputTap)),
          _mm512_permutexvar_ps(pairLanes, _mm512_castps256_ps512(x))};
}

// Tap `tap` (0 for y[-1] .. 3 for y[2]) of eight frames whose taps start in
// frames first + lane[0..7], all within first .. first + 7: one load of those
// frames (no further, so never past the input) and one permutation.
SKYLANE_AVX512 inline __m512 windowTap(const float* input, int first, int count, __m512i lane,
                                       int tap) {
  const __mmask16 used = static_cast<__mmask16>((1u << (2 * count)) - 1);
  const __m512 window = _mm512_maskz_loadu_ps(used, input + 2 * (first + tap));
  return _mm512_castpd_ps(_mm512_permutexvar_pd(lane, _mm512_castps_pd(window)));
}

SKYLANE_AVX512 inline __m512 gatherTap(const float* input, __m256i frames, int tap) {
  return _mm512_castpd_ps(
      _mm512_i32gather_pd(frames, reinterpret_cast<const double*>(input + 2 * tap), 8));
}

// The taps of eight consecutive output frames: from a window of eight input
// frames when they fit in one (a ratio up to 1), else gathered frame by frame.
SKYLANE_AVX512 inline Coefficients tapsOf(const float* input, __m256i frames) {
  const int first = _mm256_cvtsi256_si32(frames);
  const int span = _mm256_extract_epi32(frames, 7) - first;
  if (span < 8) {
    const __m512i lane = _mm512_cvtepi32_epi64(_mm256_sub_epi32(frames, _mm256_set1_epi32(first)));
    return coefficients(
        windowTap(input, first, span + 1, lane, 0), windowTap(input, first, span + 1, lane, 1),
        windowTap(input, first, span + 1, lane, 2), windowTap(input, first, span + 1, lane, 3));
  }
  return coefficients(gatherTap(input, frames, 0), gatherTap(input, frames, 1),
                      gatherTap(input, frames, 2), gatherTap(input, frames, 3));
}

}  // namespace

// A last step of fewer than eight frames repeats the last frame's position in
// the lanes beyond it and stores only the frames asked for.
SKYLANE_AVX512 void interpolateAvx512(const float* input, float position, float ratio, int begin,
                                      int end, float* out) {
  const __m256 start = _mm256_set1_ps(position), step = _mm256_set1_ps(ratio);
  const __m256i lastIndex = _mm256_set1_epi32(end - 1);
  __m256i index =
      _mm256_add_epi32(_mm256_set1_epi32(begin), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
  for (int i = begin; i < end; i += 8, index = _mm256_add_epi32(index, _mm256_set1_epi32(8))) {
    const Positions p = positions(start, step, _mm256_min_epi32(index, lastIndex));
    const __m512 frames = polynomial(tapsOf(input, p.frames), p.xs);
    if (end - i >= 8) {
      _mm512_storeu_ps(out + 2 * i, frames);
    } else {
      _mm512_mask_storeu_ps(out + 2 * i, static_cast<__mmask16>((1u << (2 * (end - i))) - 1),
                            frames);
    }
  }
}

}  // namespace skylane
