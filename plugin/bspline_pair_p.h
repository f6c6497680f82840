// The B-spline kernel for both channels of an interleaved stereo frame at once,
// bit-identical to bspline() applied to each channel.
#pragma once

#include "plugin/resampler.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace skylane {

// frames points at the interleaved frame y[-1] (L, R), followed by y[0], y[1]
// and y[2]; writes the left and right results to out[0] and out[1].
inline void bsplinePair(const float* frames, float x, float* out) {
#if defined(__SSE2__)
  const __m128 a = _mm_loadu_ps(frames);      // ym1 L R, y0 L R
  const __m128 b = _mm_loadu_ps(frames + 4);  // y1 L R, y2 L R
  const __m128 y0 = _mm_movehl_ps(a, a);
  const __m128 sums = _mm_add_ps(a, _mm_movelh_ps(b, b));   // ym1 + y1
  const __m128 diffs = _mm_sub_ps(b, _mm_movelh_ps(a, a));  // y1 - ym1, y2 - ym1
  const __m128 falls = _mm_sub_ps(y0, b);                   // y0 - y1
  const __m128d sumsD = _mm_cvtps_pd(sums);
  const __m128d y0D = _mm_cvtps_pd(y0);
  const __m128d sixth = _mm_set1_pd(1 / 6.0);
  const __m128d half = _mm_set1_pd(1 / 2.0);
  const __m128 c0 =
      _mm_cvtpd_ps(_mm_add_pd(_mm_mul_pd(sixth, sumsD), _mm_mul_pd(_mm_set1_pd(2 / 3.0), y0D)));
  // Halving is exact, so it may stay in float.
  const __m128 c1 = _mm_mul_ps(_mm_set1_ps(0.5f), diffs);
  const __m128 c2 = _mm_cvtpd_ps(_mm_sub_pd(_mm_mul_pd(half, sumsD), y0D));
  const __m128 c3 =
      _mm_cvtpd_ps(_mm_add_pd(_mm_mul_pd(half, _mm_cvtps_pd(falls)),
                              _mm_mul_pd(sixth, _mm_cvtps_pd(_mm_movehl_ps(diffs, diffs)))));
  const __m128 xs = _mm_set1_ps(x);
  const __m128 r = _mm_add_ps(
      _mm_mul_ps(_mm_add_ps(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(c3, xs), c2), xs), c1), xs), c0);
  _mm_storel_pi(reinterpret_cast<__m64*>(out), r);
#else
  float left[4] = {frames[0], frames[2], frames[4], frames[6]};
  float right[4] = {frames[1], frames[3], frames[5], frames[7]};
  out[0] = bspline(x, left + 1);
  out[1] = bspline(x, right + 1);
#endif
}

}  // namespace skylane
