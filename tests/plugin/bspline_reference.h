// Double-precision cubic B-spline, written from the basis function rather than
// from the coefficient form the resampler uses.
#pragma once

#include <cmath>
#include <vector>

namespace skylane_test {

// The uniform cubic B-spline basis centred on 0.
inline double bsplineBasis(double u) {
  u = std::fabs(u);
  if (u < 1) return 2.0 / 3.0 - u * u + u * u * u / 2;
  if (u < 2) return (2 - u) * (2 - u) * (2 - u) / 6;
  return 0;
}

// The B-spline through `signal` (zero outside it) at input position u.
inline double bsplineAt(const std::vector<float>& signal, double u) {
  const double k = std::floor(u);
  double sum = 0;
  for (int j = -1; j <= 2; ++j) {
    const long n = static_cast<long>(k) + j;
    if (n >= 0 && n < static_cast<long>(signal.size()))
      sum += signal[n] * bsplineBasis(u - static_cast<double>(n));
  }
  return sum;
}

}  // namespace skylane_test
