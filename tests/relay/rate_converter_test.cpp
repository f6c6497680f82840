// The capture path's converter: what it passes, what it stops, where it puts
// each frame and how much input it takes for a ratio.
#include "relay/rate_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace relay {
namespace {

constexpr double kPi = 3.141592653589793;

// A stereo signal pulled in chunks of a given size, then nothing.
struct Input {
  std::vector<float> frames;
  size_t at = 0;
  size_t chunk = 37;
  static long Pull(void* self, float** out) {
    auto* in = static_cast<Input*>(self);
    const size_t total = in->frames.size() / 2;
    const size_t take = std::min(in->chunk, total - in->at);
    *out = in->frames.data() + 2 * in->at;
    in->at += take;
    return static_cast<long>(take);
  }
};

Input Sine(double hz, int rate, int frames) {
  Input in;
  for (int i = 0; i < frames; ++i) {
    const float left = static_cast<float>(0.5 * std::sin(2 * kPi * hz * i / rate));
    in.frames.push_back(left);
    in.frames.push_back(-left);
  }
  return in;
}

// Gain (dB) of the left side against a 0.5 sine at hz, and the level (dB) of
// what is not that sine, over the output after its first 2000 frames.
void Fit(const std::vector<float>& out, double hz, double* gainDb, double* residualDb) {
  double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
  const size_t frames = out.size() / 2;
  for (size_t i = 2000; i < frames; ++i) {
    const double s = std::sin(2 * kPi * hz * i / 44100), c = std::cos(2 * kPi * hz * i / 44100);
    ss += s * s, cc += c * c, sc += s * c, ys += out[2 * i] * s, yc += out[2 * i] * c;
  }
  const double det = ss * cc - sc * sc;
  const double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
  double residual = 0, signal = 0;
  for (size_t i = 2000; i < frames; ++i) {
    const double fit =
        a * std::sin(2 * kPi * hz * i / 44100) + b * std::cos(2 * kPi * hz * i / 44100);
    residual += (out[2 * i] - fit) * (out[2 * i] - fit);
    signal += fit * fit;
  }
  *gainDb = 20 * std::log10(std::hypot(a, b) / 0.5);
  *residualDb = 10 * std::log10(residual / signal);
}

std::vector<float> Convert(Input* in, int rate, double ratio, long frames) {
  RateConverter converter(&Input::Pull, in);
  converter.SetInputRate(rate);
  std::vector<float> out(2 * static_cast<size_t>(frames));
  long done = 0;
  while (done < frames) {
    const long got = converter.Read(ratio, std::min(512L, frames - done), out.data() + 2 * done);
    if (got == 0) break;
    done += got;
  }
  out.resize(2 * static_cast<size_t>(done));
  return out;
}

TEST(RateConverter, PassesTheAudibleBandCleanlyFrom48000) {
  for (double hz : {1000.0, 10000.0, 19000.0}) {
    Input in = Sine(hz, 48000, 48000);
    const std::vector<float> out = Convert(&in, 48000, 44100.0 / 48000, 40000);
    ASSERT_EQ(out.size(), 2u * 40000) << hz;
    double gain, residual;
    Fit(out, hz, &gain, &residual);
    EXPECT_NEAR(gain, 0.0, 0.02) << hz;
    EXPECT_LT(residual, -85.0) << hz;
    EXPECT_FLOAT_EQ(out[2 * 30000], -out[2 * 30000 + 1]) << "the sides stay apart";
  }
}

// At 96000 Hz a 30 kHz tone would fold back to 14.1 kHz.
TEST(RateConverter, StopsWhatTheOutputCannotCarry) {
  Input in = Sine(30000, 96000, 96000);
  const std::vector<float> out = Convert(&in, 96000, 44100.0 / 96000, 40000);
  ASSERT_EQ(out.size(), 2u * 40000);
  double peak = 0;
  for (size_t i = 2000; i < out.size(); ++i) peak = std::max(peak, double(std::fabs(out[i])));
  EXPECT_LT(20 * std::log10(peak / 0.5), -75.0);
}

// At the output's own rate and a ratio of 1 each frame comes out as it went
// in, from the first on: the converter adds no offset of its own.
TEST(RateConverter, KeepsEachFrameInPlaceAtTheSameRate) {
  Input in;
  for (int i = 0; i < 3000; ++i) {
    in.frames.push_back(static_cast<float>(std::sin(0.37 * i) * 0.8));
    in.frames.push_back(static_cast<float>(i % 7) / 7.0f);
  }
  const std::vector<float> out = Convert(&in, 44100, 1.0, 2000);
  ASSERT_EQ(out.size(), 2u * 2000);
  for (size_t i = 0; i < out.size(); ++i) ASSERT_NEAR(out[i], in.frames[i], 1e-5f) << i;
}

// The ratio the drift control sets is what the output gets, to the frame:
// at 400 ppm slower, the input taken per output frame is 48000 / 44100 x 1.0004.
TEST(RateConverter, TakesInputAtExactlyTheRatioAsked) {
  for (double correction : {0.0, 400e-6, -400e-6}) {
    Input in = Sine(1000, 48000, 480000);
    in.chunk = 64;
    const double ratio = 44100.0 / 48000 / (1 + correction);
    const long frames = 400000;
    const std::vector<float> out = Convert(&in, 48000, ratio, frames);
    ASSERT_EQ(out.size(), 2u * frames);
    const double expected = frames / ratio;
    // What was pulled beyond the expected input is the filter's look-ahead
    // and the last chunk's rest.
    EXPECT_GE(double(in.at), expected + RateConverter::kHalf - 1) << correction;
    EXPECT_LE(double(in.at), expected + RateConverter::kHalf + 64 + 1) << correction;
  }
}

// A stream that runs dry gives what it could, and carries on where it stopped
// once input comes again. A ratio that is no ratio gives nothing.
TEST(RateConverter, ResumesAfterTheInputRanDry) {
  Input in = Sine(1000, 44100, 4000);
  RateConverter converter(&Input::Pull, &in);
  converter.SetInputRate(44100);
  std::vector<float> out(2 * 8000);
  const long first = converter.Read(1.0, 8000, out.data());
  EXPECT_GT(first, 4000 - RateConverter::kHalf - 2);
  EXPECT_LT(first, 4000);
  in.frames.resize(2 * 6000, 0.25f);
  const long second = converter.Read(1.0, 8000 - first, out.data() + 2 * first);
  EXPECT_GT(second, 0);
  EXPECT_EQ(converter.Read(0.0, 10, out.data()), 0);
  EXPECT_EQ(converter.Read(std::nan(""), 10, out.data()), 0);
  for (long i = 0; i < 4000; ++i) ASSERT_NEAR(out[2 * i], in.frames[2 * i], 1e-5f) << i;
}

}  // namespace
}  // namespace relay
