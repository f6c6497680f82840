#include "plugin/resampler.h"

extern "C" float bspline(float x, const float* y) {
  // Sums and differences in float, scaled by double constants, each
  // coefficient rounded to float, polynomial in float.
  const float ym1py1 = y[-1] + y[1];
  const float c0 = static_cast<float>(1 / 6.0 * ym1py1 + 2 / 3.0 * y[0]);
  const float c1 = static_cast<float>(1 / 2.0 * (y[1] - y[-1]));
  const float c2 = static_cast<float>(1 / 2.0 * ym1py1 - y[0]);
  const float c3 = static_cast<float>(1 / 2.0 * (y[0] - y[1]) + 1 / 6.0 * (y[2] - y[-1]));
  return ((c3 * x + c2) * x + c1) * x + c0;
}
