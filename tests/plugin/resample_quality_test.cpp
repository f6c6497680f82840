#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "plugin/resampler.h"

namespace {

const double kPi = std::acos(-1.0);

// 1.1 seconds of a 1 kHz sine at 44100 Hz, resampled to 48000 Hz in 512-frame
// blocks; returns the left output.
std::vector<float> sineAt48k() {
  Resampler r;
  resample_init(&r, 0x4000, static_cast<float>(44100.0 / 48000.0));
  std::vector<float> out;
  std::vector<float> block(1024);
  for (long start = 0; start < 48510; start += 512) {
    for (int i = 0; i < 512; ++i) {
      const float s =
          static_cast<float>(std::sin(2 * kPi * 1000.0 * static_cast<double>(start + i) / 44100.0));
      block[2 * i] = s;
      block[2 * i + 1] = -s;
    }
    const int n = resample_stereo(&r, block.data(), 1024);
    for (int i = 0; i < n; i += 2) out.push_back(r.output[i]);
  }
  resample_release(&r);
  return out;
}

TEST(ResampleQuality, A1kHzSineKeepsItsFrequencyAndTheSplineLevel) {
  const std::vector<float> out = sineAt48k();
  ASSERT_GE(out.size(), 48000u + 100u);
  // One second of output after the start-up fade.
  const size_t first = 100, last = first + 48000;
  int crossings = 0;
  for (size_t i = first + 1; i < last; ++i) crossings += (out[i - 1] < 0) != (out[i] < 0);
  EXPECT_NEAR(crossings, 2000, 1);

  // The level at 1 kHz: the cubic B-spline is four box filters in a row, so
  // its response is sinc(f / fs) to the fourth power.
  const double a = kPi * 1000.0 / 44100.0;
  const double predicted = std::pow(std::sin(a) / a, 4);
  double re = 0, im = 0;
  for (size_t i = first; i < last; ++i) {  // exactly 1000 periods of 48 frames
    const double w = 2 * kPi * 1000.0 * static_cast<double>(i) / 48000.0;
    re += out[i] * std::cos(w);
    im += out[i] * std::sin(w);
  }
  const double level = 2 * std::hypot(re, im) / static_cast<double>(last - first);
  EXPECT_NEAR(level, predicted, 2e-5) << "predicted " << predicted;
  EXPECT_LT(predicted, 1 - 3e-3);  // the check tells smoothing from pass-through
}

}  // namespace
