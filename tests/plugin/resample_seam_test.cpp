#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plugin/resampler.h"
#include "tests/plugin/bspline_reference.h"

namespace {

struct Case {
  float ratio;
  int minFrames, maxFrames;
};

// Feeds a whole noise signal in blocks of random size and compares every
// output frame with the B-spline of the whole signal at its input position:
// five frames behind the block's start position, advancing by the ratio. The
// start positions themselves must follow 1 + j * ratio, where j counts output
// frames across all blocks (float rounding of the carried position aside).
double worstSeamError(const Case& c, unsigned seed, long* frames) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> sample(-1, 1);
  std::uniform_int_distribution<int> size(c.minFrames, c.maxFrames);
  std::vector<float> left, right;
  Resampler r;
  resample_init(&r, 0x4000, c.ratio);
  double worst = 0;
  long j = 0;
  for (int block = 0; block < 150; ++block) {
    const int n = size(rng);
    const double blockStart = static_cast<double>(left.size()) - 5 + r.position;
    EXPECT_NEAR(blockStart, 1.0 + static_cast<double>(j) * c.ratio - 5.0, 2e-3)
        << "block " << block;
    std::vector<float> in(2 * n);
    for (int i = 0; i < n; ++i) {
      in[2 * i] = sample(rng);
      in[2 * i + 1] = sample(rng);
      left.push_back(in[2 * i]);
      right.push_back(in[2 * i + 1]);
    }
    const int m = resample_stereo(&r, in.data(), 2 * n) / 2;
    for (int i = 0; i < m; ++i, ++j) {
      const double u = blockStart + static_cast<double>(i) * c.ratio;
      worst = std::max(worst, std::fabs(r.output[2 * i] - skylane_test::bsplineAt(left, u)));
      worst = std::max(worst, std::fabs(r.output[2 * i + 1] - skylane_test::bsplineAt(right, u)));
    }
  }
  resample_release(&r);
  *frames = j;
  // The output reaches the last input position it can evaluate.
  EXPECT_NEAR(1.0 + (j - 1) * static_cast<double>(c.ratio), static_cast<double>(left.size()),
              c.ratio + 1e-3);
  return worst;
}

TEST(ResampleSeams, EveryFrameIsTheSplineOfTheWholeSignalAtItsPosition) {
  const Case cases[] = {
      {0.91875f, 8, 512},              // 48 kHz host, receiving
      {48000.0f / 44100.0f, 8, 512},   // 48 kHz host, sending
      {44100.0f / 192000.0f, 8, 512},  // 192 kHz host, receiving
      {192000.0f / 44100.0f, 8, 512},  // 192 kHz host, sending
      {44100.0f / 22050.0f, 8, 16},    // short blocks keep part of the history
      {384000.0f / 44100.0f, 8, 12},   // more than a block per output frame
  };
  for (const Case& c : cases) {
    long frames = 0;
    const double worst = worstSeamError(c, 9, &frames);
    EXPECT_LT(worst, 2e-4) << "ratio " << c.ratio << " over " << frames << " frames";
    EXPECT_GT(frames, 150 * c.minFrames / c.ratio - 1);
  }
}

}  // namespace
