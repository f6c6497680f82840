#pragma once
// Float <-> double conversion of sample blocks for the process path. The main
// loops work in fixed groups of lanes over non-overlapping buffers so that the
// compiler turns each group into packed conversions even where it does not
// vectorise loops of unknown length; the remaining samples go one by one. Each
// sample converts exactly as a plain cast does.

namespace sample_convert {

enum { kLanes = 8 };

// dst[i] = src[i] for i < n; the buffers must not overlap.
inline void FloatsToDoubles(double* __restrict dst, const float* __restrict src, int n) {
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    for (int k = 0; k < kLanes; ++k) dst[i + k] = src[i + k];
  for (; i < n; ++i) dst[i] = src[i];
}

// dst[i] = (float)src[i] for i < n; the buffers must not overlap.
inline void DoublesToFloats(float* __restrict dst, const double* __restrict src, int n) {
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    for (int k = 0; k < kLanes; ++k) dst[i + k] = (float)src[i + k];
  for (; i < n; ++i) dst[i] = (float)src[i];
}

// dst[i] += (float)src[i] in float arithmetic for i < n; the buffers must not overlap.
inline void AddDoublesToFloats(float* __restrict dst, const double* __restrict src, int n) {
  int i = 0;
  for (; i + kLanes <= n; i += kLanes)
    for (int k = 0; k < kLanes; ++k) dst[i + k] += (float)src[i + k];
  for (; i < n; ++i) dst[i] += (float)src[i];
}

}  // namespace sample_convert
