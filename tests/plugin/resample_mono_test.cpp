#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plugin/resampler.h"

namespace {

// Linear interpolation of the whole signal at position u (zero before it).
double linearAt(const std::vector<float>& s, double u) {
  const long k = static_cast<long>(std::floor(u));
  const double a = k >= 0 ? s[k] : 0.0;
  return a + (s[k + 1] - a) * (u - static_cast<double>(k));
}

TEST(ResampleMono, BlocksJoinIntoOneLinearInterpolation) {
  for (float ratio : {0.91875f, 48000.0f / 44100.0f, 0.2f, 3.5f}) {
    std::mt19937 rng(21);
    std::uniform_real_distribution<float> sample(-1, 1);
    std::uniform_int_distribution<int> size(1, 1023);
    Resampler r;
    resample_init(&r, 0x4000, ratio);
    std::vector<float> signal;
    double worst = 0;
    long j = 0;
    for (int block = 0; block < 100; ++block) {
      std::vector<float> in(size(rng));
      const double blockStart = static_cast<double>(signal.size()) - 1 + r.position;
      EXPECT_NEAR(blockStart, static_cast<double>(j) * ratio, 1e-2);
      for (float& s : in) s = sample(rng);
      signal.insert(signal.end(), in.begin(), in.end());
      const int m = resample_mono(&r, in.data(), static_cast<int>(in.size()));
      for (int i = 0; i < m; ++i, ++j)
        worst = std::max(
            worst,
            std::fabs(r.output[i] - linearAt(signal, blockStart + static_cast<double>(i) * ratio)));
    }
    resample_release(&r);
    EXPECT_LT(worst, 3e-4) << "ratio " << ratio;
    // The last output lies within one step before the newest sample.
    EXPECT_NEAR(static_cast<double>(j) * ratio, signal.size() - 1 + ratio / 2, ratio / 2 + 1e-2);
  }
}

TEST(ResampleMono, UsesAtMost1023SamplesOfABlock) {
  Resampler r;
  resample_init(&r, 0x4000, 1.0f);
  std::vector<float> in(2000, 0.25f);
  in[1022] = 1.0f;
  // Positions 1 .. 1022 of the block; sample 1022 waits for the next block.
  EXPECT_EQ(resample_mono(&r, in.data(), 2000), 1022);
  EXPECT_EQ(r.output[1021], 0.25f);
  EXPECT_EQ(r.historyLeft[9], 1.0f);
  EXPECT_EQ(resample_mono(&r, in.data(), 10), 10);
  EXPECT_EQ(r.output[0], 1.0f);
  EXPECT_EQ(resample_mono(&r, in.data(), 0), 0);
  r.ratio = 1e-7f;
  EXPECT_EQ(resample_mono(&r, in.data(), 100), 0);
  resample_release(&r);
}

}  // namespace
