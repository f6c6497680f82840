// The block conversions of the float process path against plain per-sample
// casts, bit for bit, and the whole float path on blocks long enough to use them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "plug/sample_convert_p.h"
#include "tests/plug/test_plug.h"

namespace {

const float kGuard = -12345.0f;

// Random doubles mixed with the values whose conversion is easiest to get wrong.
std::vector<double> TestDoubles(int n, unsigned seed) {
  const double specials[] = {0.0,
                             -0.0,
                             1.0 + std::ldexp(1.0, -24),  // halfway between two floats
                             1.0 + 3 * std::ldexp(1.0, -24),
                             1e-40,  // a float denormal
                             1e-320,
                             3.5e38,  // beyond the float range
                             -1e300,
                             std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN()};
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> dist(-2.0, 2.0);
  std::vector<double> values(n);
  for (int i = 0; i < n; ++i)
    values[i] =
        gen() % 4 == 0 ? specials[gen() % (sizeof(specials) / sizeof(*specials))] : dist(gen);
  return values;
}

template <class T>
bool SameBits(const T& a, const T& b) {
  return memcmp(&a, &b, sizeof(T)) == 0;
}

// Checks one conversion over every length up to 40 and every start offset up
// to 3, so that both the grouped loop and the remainder meet misaligned buffers.
template <class Fast, class Plain>
void CompareToFloats(Fast fast, Plain plain, const char* name) {
  for (int n = 0; n <= 40; ++n)
    for (int offset = 0; offset < 4; ++offset) {
      std::vector<double> src = TestDoubles(n + offset, n * 4 + offset);
      std::vector<float> start(n + offset + 1);
      for (size_t i = 0; i < start.size(); ++i) start[i] = (float)(i % 7) - 3.0f;
      start[n + offset] = kGuard;
      std::vector<float> got = start, want = start;
      fast(got.data() + offset, src.data() + offset, n);
      for (int i = offset; i < n + offset; ++i) plain(&want[i], src[i]);
      for (size_t i = 0; i < got.size(); ++i)
        ASSERT_TRUE(SameBits(want[i], got[i]))
            << name << ": n " << n << ", offset " << offset << ", sample " << i << ": " << got[i]
            << " instead of " << want[i];
    }
}

TEST(SampleConvertTest, DoublesToFloatsRoundsLikeACast) {
  CompareToFloats(
      sample_convert::DoublesToFloats, [](float* d, double s) { *d = (float)s; },
      "DoublesToFloats");
}

TEST(SampleConvertTest, AddDoublesToFloatsAddsInFloat) {
  CompareToFloats(
      sample_convert::AddDoublesToFloats, [](float* d, double s) { *d += (float)s; },
      "AddDoublesToFloats");
}

TEST(SampleConvertTest, FloatsToDoublesIsExactAndStopsAtTheCount) {
  for (int n = 0; n <= 40; ++n)
    for (int offset = 0; offset < 4; ++offset) {
      std::vector<double> wide = TestDoubles(n + offset, n * 4 + offset + 1000);
      std::vector<float> src(n + offset);
      for (int i = 0; i < n + offset; ++i) src[i] = (float)wide[i];
      std::vector<double> got(n + offset + 1, 7.0);
      sample_convert::FloatsToDoubles(got.data() + offset, src.data() + offset, n);
      for (int i = 0; i < offset; ++i) ASSERT_EQ(7.0, got[i]);
      for (int i = offset; i < n + offset; ++i)
        ASSERT_TRUE(SameBits((double)src[i], got[i])) << "n " << n << ", sample " << i;
      ASSERT_EQ(7.0, got[n + offset]) << "wrote past " << n << " samples";
    }
}

// Renders values a float cannot hold, so that the way back has to round.
class ScalingPlug : public TestPlug {
 public:
  ScalingPlug() : TestPlug(1, "2-2") {
    SetInputChannelConnections(0, 2, true);
    SetOutputChannelConnections(0, 2, true);
  }
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override {
    for (int ch = 0; ch < 2; ++ch)
      for (int s = 0; s < nFrames; ++s) outputs[ch][s] = inputs[ch][s] * kScale[ch];
  }
  static constexpr double kScale[2] = {1.0 / 3.0, -7.0 / 5.0};
};

struct FloatBlock {
  std::vector<float> in[2], out[2];
  float* ins[2];
  float* outs[2];
  explicit FloatBlock(int n) {
    for (int ch = 0; ch < 2; ++ch) {
      std::vector<double> values = TestDoubles(n, 77 + ch);
      for (int s = 0; s < n; ++s) {
        in[ch].push_back((float)values[s]);
        out[ch].push_back((float)(s % 5) - 2.0f);
      }
      out[ch].push_back(kGuard);
      ins[ch] = in[ch].data();
      outs[ch] = out[ch].data();
    }
  }
};

TEST(FloatPathTest, ReplacingAndAccumulatingMatchPerSampleCasts) {
  for (int n : {37, 512, 1031})
    for (bool accumulate : {false, true}) {
      ScalingPlug plug;
      plug.SetBlockSize(n);
      FloatBlock block(n);
      FloatBlock before(n);
      plug.AttachInputBuffers(0, 2, block.ins, n);
      plug.AttachOutputBuffers(0, 2, block.outs);
      if (accumulate) plug.ProcessBuffersAccumulating(0.0f, n);
      else plug.ProcessBuffers(0.0f, n);
      for (int ch = 0; ch < 2; ++ch) {
        for (int s = 0; s < n; ++s) {
          float rendered = (float)((double)block.in[ch][s] * ScalingPlug::kScale[ch]);
          float want = accumulate ? before.out[ch][s] + rendered : rendered;
          ASSERT_TRUE(SameBits(want, block.out[ch][s]))
              << "n " << n << (accumulate ? ", accumulating" : "") << ", channel " << ch
              << ", sample " << s << ": " << block.out[ch][s] << " instead of " << want;
        }
        EXPECT_EQ(kGuard, block.out[ch][n]) << "wrote past the block";
      }
    }
}

}  // namespace
