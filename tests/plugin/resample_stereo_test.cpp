#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "plugin/resample_kernels_p.h"
#include "plugin/resampler.h"

namespace {

// A resampler with its storage, released at the end of the test.
struct Stereo {
  explicit Stereo(float ratio) { EXPECT_EQ(resample_init(&r, 0x4000, ratio), 0); }
  ~Stereo() { resample_release(&r); }
  int run(const std::vector<float>& in) {
    return resample_stereo(&r, in.data(), static_cast<int>(in.size()));
  }
  Resampler r;
};

// The block algorithm step by step, in plain form: one working array per
// channel, a position ramp, the kernel per channel, then the carry.
struct Plain {
  float position = 1.0f;
  float ratio;
  float left[10] = {}, right[10] = {};
  std::vector<float> out;

  int run(const std::vector<float>& in) {
    const int frames = static_cast<int>(in.size()) / 2;
    float l[2048], r[2048];
    std::memcpy(l, left, sizeof left);
    std::memcpy(r, right, sizeof right);
    for (int j = 0; j < frames; ++j) {
      l[10 + j] = in[2 * j];
      r[10 + j] = in[2 * j + 1];
    }
    const int m = static_cast<int>((frames - position) / ratio) + 1;
    out.assign(2 * m, 0);
    for (int i = 0; i < m; ++i) {
      const float t = position + static_cast<float>(i) * ratio;
      const int k = static_cast<int>(t);
      const float x = t - static_cast<float>(k);
      out[2 * i] = bspline(x, l + k + 5);
      out[2 * i + 1] = bspline(x, r + k + 5);
    }
    position = (position + static_cast<float>(m - 1) * ratio) - frames + ratio;
    if (position < 0) position = 0;
    std::memcpy(left, l + frames, sizeof left);
    std::memcpy(right, r + frames, sizeof right);
    return 2 * m;
  }
};

std::vector<float> noise(std::mt19937& rng, int frames) {
  std::uniform_real_distribution<float> sample(-1, 1);
  std::vector<float> v(2 * frames);
  for (float& s : v) s = sample(rng);
  return v;
}

TEST(ResampleStereo, AgreesBitForBitWithThePlainAlgorithm) {
  const float ratios[] = {1.0f, 0.91875f, 48000.0f / 44100.0f, 44100.0f / 192000.0f, 0.5f,
                          2.0f, 3.7f};
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> size(8, 512);
  for (float ratio : ratios) {
    Stereo fast(ratio);
    Plain plain;
    plain.ratio = ratio;
    for (int block = 0; block < 60; ++block) {
      const auto in = noise(rng, size(rng));
      const int n = fast.run(in);
      ASSERT_EQ(n, plain.run(in)) << "ratio " << ratio << " block " << block;
      ASSERT_EQ(std::memcmp(fast.r.output, plain.out.data(), sizeof(float) * n), 0)
          << "ratio " << ratio << " block " << block;
      ASSERT_EQ(fast.r.position, plain.position);
    }
  }
}

TEST(ResampleStereo, EveryInstructionSetGivesTheSameSamples) {
  if (!__builtin_cpu_supports("avx")) GTEST_SKIP() << "no AVX on this processor";
  std::mt19937 rng(8);
  const auto in = noise(rng, 512);
  std::uniform_real_distribution<float> ratio(0.2f, 4.0f), position(0.0f, 4.0f);
  for (int round = 0; round < 200; ++round) {
    const float step = ratio(rng), start = position(rng) + 6.0f;
    const int m = static_cast<int>((509.0f - start) / step);  // taps stay inside the block
    std::vector<float> sse2(2 * m), avx(2 * m);
    skylane::interpolateSse2(in.data(), start, step, 0, m, sse2.data());
    skylane::interpolateAvx(in.data(), start, step, 0, m, avx.data());
    ASSERT_EQ(std::memcmp(sse2.data(), avx.data(), sizeof(float) * 2 * m), 0) << "round " << round;
  }
}

TEST(ResampleStereo, RatioOneGivesEveryFrameAndKeepsThePosition) {
  Stereo s(1.0f);
  std::mt19937 rng(1);
  const auto in = noise(rng, 512);
  EXPECT_EQ(s.run(in), 1024);
  EXPECT_EQ(s.r.position, 1.0f);
  EXPECT_EQ(s.run(in), 1024);
  EXPECT_EQ(s.r.position, 1.0f);
  // Frame 10 of the second block sits at position 11, around input frame 6.
  const float left[4] = {in[10], in[12], in[14], in[16]};
  EXPECT_EQ(s.r.output[20], bspline(0.0f, left + 1));
}

TEST(ResampleStereo, BlocksOutsideEightTo512FramesAreRefusedUntouched) {
  Stereo s(0.91875f);
  std::mt19937 rng(2);
  ASSERT_GT(s.run(noise(rng, 100)), 0);
  Resampler before;
  std::memcpy(static_cast<void*>(&before), &s.r, sizeof before);
  EXPECT_EQ(s.run(noise(rng, 7)), 0);
  EXPECT_EQ(s.run(noise(rng, 513)), 0);
  EXPECT_EQ(resample_stereo(&s.r, nullptr, 64), 0);
  EXPECT_EQ(std::memcmp(static_cast<void*>(&before), &s.r, sizeof before), 0);
  EXPECT_GT(s.run(noise(rng, 8)), 0);
}

TEST(ResampleStereo, At48kHzBlocksYield557Or558FramesAndThePositionCarries) {
  Stereo s(0.91875f);
  std::mt19937 rng(3);
  long total = 0;
  int counts[2] = {0, 0};
  for (int block = 0; block < 200; ++block) {
    const float position = s.r.position;
    const int n = s.run(noise(rng, 512));
    ASSERT_TRUE(n == 2 * 557 || n == 2 * 558) << n;
    ++counts[n / 2 - 557];
    const float expected = position + static_cast<float>(n / 2 - 1) * 0.91875f - 512.0f + 0.91875f;
    ASSERT_EQ(s.r.position, expected);
    ASSERT_GT(s.r.position, 0.0f);
    ASSERT_LE(s.r.position, 0.91875f);
    total += n / 2;
  }
  EXPECT_GT(counts[0], 0);
  EXPECT_GT(counts[1], 0);
  EXPECT_NEAR(static_cast<double>(total), 200 * 512 / 0.91875, 2.0);
}

TEST(ResampleStereo, A192kHzHostGetsEveryOutputFrame) {
  Stereo s(44100.0f / 192000.0f);
  std::mt19937 rng(4);
  EXPECT_EQ(s.run(noise(rng, 512)), 2 * 2225);  // from position 1: (512 - 1) / ratio + 1
  for (int block = 0; block < 20; ++block) {
    const int n = s.run(noise(rng, 512));
    ASSERT_TRUE(n == 2 * 2229 || n == 2 * 2230) << n;
  }
}

TEST(ResampleStereo, UnusableRatiosAreRefused) {
  const float inf = std::numeric_limits<float>::infinity();
  std::mt19937 rng(6);
  const auto in = noise(rng, 512);
  for (float ratio : {0.0f, -1.0f, inf, std::nanf(""), 1e-6f}) {
    Stereo s(ratio);
    EXPECT_EQ(s.run(in), 0) << ratio;
    EXPECT_EQ(s.r.position, 1.0f);
    EXPECT_EQ(s.r.historyLeft[9], 0.0f);
  }
  Stereo smallest(512.0f / 16384.0f);  // the output storage is just large enough
  EXPECT_EQ(smallest.run(in), 2 * 16353);
}

TEST(ResampleStereo, ARatioAboveTheBlockLengthSkipsBlocksInsteadOfReadingBeyondThem) {
  Stereo s(20.0f);
  std::mt19937 rng(7);
  EXPECT_EQ(s.run(noise(rng, 8)), 2);  // position 1: one frame, next at 21
  EXPECT_EQ(s.r.position, 13.0f);
  EXPECT_EQ(s.run(noise(rng, 8)), 0);
  EXPECT_EQ(s.r.position, 5.0f);
  EXPECT_EQ(s.run(noise(rng, 8)), 2);
}

TEST(ResampleStereo, ReleasedRecordRefusesBlocks) {
  Resampler r;
  resample_init(&r, 16, 0.5f);
  EXPECT_EQ(resample_buffer(&r), r.output);
  resample_release(&r);
  std::vector<float> in(64, 0.5f);
  EXPECT_EQ(resample_stereo(&r, in.data(), 64), 0);
  EXPECT_EQ(resample_buffer(&r), nullptr);
}

}  // namespace
