#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "plugin/resampler.h"
#include "tests/plugin/bspline_reference.h"

namespace {

using skylane_test::bsplineAt;

TEST(Bspline, SmoothsRatherThanPassingThroughTheSamples) {
  const float y[4] = {1, 2, 4, 8};
  // At x = 0 the result is c0 = (1 + 4) / 6 + 2 * 2 / 3, not y0 = 2.
  EXPECT_FLOAT_EQ(bspline(0.0f, y + 1), 13.0f / 6.0f);
  EXPECT_FLOAT_EQ(bspline(0.5f, y + 1), static_cast<float>(bsplineAt({1, 2, 4, 8}, 1.5)));
}

TEST(Bspline, ReproducesConstantsAndStraightLines) {
  const float flat[4] = {0.25f, 0.25f, 0.25f, 0.25f};
  const float line[4] = {-3, -1, 1, 3};  // 2n - 1 around y0 at n = 0
  for (float x : {0.0f, 0.125f, 0.5f, 0.9375f}) {
    EXPECT_FLOAT_EQ(bspline(x, flat + 1), 0.25f);
    EXPECT_NEAR(bspline(x, line + 1), 2 * x - 1, 1e-6);
  }
}

TEST(Bspline, MatchesTheBasisFunctionInDoublePrecision) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> sample(-1, 1), position(0, 1);
  for (int i = 0; i < 10000; ++i) {
    const std::vector<float> y = {sample(rng), sample(rng), sample(rng), sample(rng)};
    const float x = position(rng);
    ASSERT_NEAR(bspline(x, y.data() + 1), bsplineAt(y, 1.0 + x), 1e-6) << "case " << i;
  }
}

}  // namespace
