// The checks the end-to-end tests rely on: index signals decode exactly,
// stream analysis finds every break, and the output scan sees dropouts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/e2e/audio_scan.h"
#include "tests/e2e/index_signal.h"

namespace {

TEST(IndexSignal, EveryFrameDecodesToItsPositionThroughFloat) {
  const auto signal = MakeIndexSignal(kMaxIndexFrames);
  for (long i = 0; i < kMaxIndexFrames; i += 997) {
    const float l = float(signal[0][size_t(i)]), r = float(signal[1][size_t(i)]);
    ASSERT_EQ(IndexOf(l, r), i);
  }
  EXPECT_EQ(IndexOf(signal[0].back(), signal[1].back()), kMaxIndexFrames - 1);
}

TEST(IndexSignal, RejectsAltered) {
  const double l = 100 * kIndexStep;
  EXPECT_EQ(IndexOf(l, -l), 99);
  EXPECT_EQ(IndexOf(-l, l), -1) << "swapped sides";
  EXPECT_EQ(IndexOf(l, l), -1);
  EXPECT_EQ(IndexOf(l + kIndexStep / 2, -l - kIndexStep / 2), -1) << "interpolated";
  EXPECT_EQ(IndexOf(0.0, 0.0), -1);
  EXPECT_EQ(IndexOf(std::numeric_limits<double>::quiet_NaN(), 0.0), -1);
}

TEST(IndexStream, FindsRunsSilenceAndForeignFrames) {
  auto s = MakeIndexSignal(100);
  std::vector<double> left, right;
  auto append = [&](long from, long count) {
    for (long i = from; i < from + count; ++i) {
      left.push_back(s[0][size_t(i)]);
      right.push_back(s[1][size_t(i)]);
    }
  };
  append(0, 10);
  left.insert(left.end(), 5, 0.0);
  right.insert(right.end(), 5, 0.0);
  append(10, 10);  // continues after the gap, still a new run
  append(40, 5);   // a forward jump
  left.push_back(0.5);
  right.push_back(0.25);
  append(45, 3);
  const IndexAnalysis a = AnalyseIndexStream(left, right, 0);
  ASSERT_EQ(a.runs.size(), 4u);
  EXPECT_EQ(a.runs[1].outputFrame, 15);
  EXPECT_EQ(a.runs[1].firstIndex, 10);
  EXPECT_EQ(a.runs[2].firstIndex, 40);
  EXPECT_EQ(a.runs[2].length, 5);
  EXPECT_EQ(a.runs[3].outputFrame, 31);
  EXPECT_EQ(a.silentFrames, 5);
  EXPECT_EQ(a.foreignFrames, 1);
  EXPECT_EQ(a.AudioFrames(), 28);
}

TEST(IndexStream, LoopingSourceWrapsWithinOneRun) {
  auto s = MakeIndexSignal(8);
  std::vector<double> left, right;
  for (long i = 5; i < 5 + 12; ++i) {
    left.push_back(s[0][size_t(i % 8)]);
    right.push_back(s[1][size_t(i % 8)]);
  }
  EXPECT_EQ(AnalyseIndexStream(left, right, 8).runs.size(), 1u);
  EXPECT_EQ(AnalyseIndexStream(left, right, 0).runs.size(), 3u);
}

std::vector<std::vector<double>> Tone(long frames) {
  std::vector<std::vector<double>> c(2, std::vector<double>(size_t(frames)));
  for (long i = 0; i < frames; ++i)
    c[0][size_t(i)] = c[1][size_t(i)] = 0.5 * std::sin(0.05 * double(i + 1));
  return c;
}

TEST(AudioScan, SilenceHasNoAudio) {
  const AudioScan s = ScanAudio({std::vector<double>(1000), std::vector<double>(1000)}, 48000.0);
  EXPECT_FALSE(s.HasAudio());
  EXPECT_FALSE(s.Clean());
}

TEST(AudioScan, FirstAudioLevelAndCleanPlay) {
  auto c = Tone(4000);
  for (size_t i = 0; i < 1000; ++i) c[0][i] = c[1][i] = 0.0;
  c[1][1000] = 0.25;  // audio begins on one side only
  const AudioScan s = ScanAudio(c, 1000.0);
  EXPECT_EQ(s.firstAudioFrame, 1000);
  EXPECT_NEAR(s.peak, 0.5, 1e-3);
  EXPECT_NEAR(s.rms, 0.5 / std::sqrt(2.0), 0.01);
  EXPECT_TRUE(s.Clean());
}

TEST(AudioScan, CountsDropoutsIncludingATrailingOne) {
  auto c = Tone(4000);
  for (size_t i = 1000; i < 1000 + AudioScan::kDropoutFrames; ++i) c[0][i] = c[1][i] = 0.0;
  for (size_t i = 2000; i < 2000 + AudioScan::kDropoutFrames - 1; ++i) c[0][i] = c[1][i] = 0.0;
  for (size_t i = 3900; i < 4000; ++i) c[0][i] = c[1][i] = 0.0;
  const AudioScan s = ScanAudio(c, 1000.0);
  EXPECT_EQ(s.dropouts, 2) << "a run one frame short is no dropout";
  EXPECT_EQ(s.dropoutFrames, AudioScan::kDropoutFrames + 100);
  EXPECT_FALSE(s.Clean());
}

TEST(AudioScan, DropoutsWhileStartingAreCountedApart) {
  auto c = Tone(4000);
  for (size_t i = 0; i < 1000; ++i) c[0][i] = c[1][i] = 0.0;
  // 1000 frames a second: the start lasts until frame 1500.
  for (size_t i = 1200; i < 1300; ++i) c[0][i] = c[1][i] = 0.0;
  for (size_t i = 1499; i < 1600; ++i) c[0][i] = c[1][i] = 0.0;
  AudioScan s = ScanAudio(c, 1000.0);
  EXPECT_EQ(s.startDropouts, 2);
  EXPECT_EQ(s.dropouts, 0);
  EXPECT_TRUE(s.Clean());
  for (size_t i = 1500; i < 1600; ++i) c[0][i] = c[1][i] = 0.0;
  c[0][1499] = c[1][1499] = 0.5;
  s = ScanAudio(c, 1000.0);
  EXPECT_EQ(s.startDropouts, 1);
  EXPECT_EQ(s.dropouts, 1);
  EXPECT_FALSE(s.Clean());
}

TEST(AudioScan, NonFiniteAndClippedAreNotClean) {
  auto c = Tone(100);
  c[0][50] = std::numeric_limits<double>::infinity();
  c[1][60] = 1.5;
  const AudioScan s = ScanAudio(c, 1000.0);
  EXPECT_EQ(s.nonFinite, 1);
  EXPECT_EQ(s.clipped, 1);
  EXPECT_NEAR(s.peak, 1.5, 1e-12);
  EXPECT_FALSE(s.Clean());
}

TEST(SoundFiles, WrittenFloatSignalReadsBackExactly) {
  const std::string path = ::testing::TempDir() + "e2e_analysis_roundtrip.wav";
  const auto signal = MakeIndexSignal(5000);
  std::string error;
  ASSERT_TRUE(WriteSoundFile(path, signal, 44100.0, &error)) << error;
  std::vector<std::vector<double>> back;
  double rate = 0.0;
  ASSERT_TRUE(ReadSoundFile(path, &back, &rate, &error)) << error;
  EXPECT_EQ(rate, 44100.0);
  EXPECT_EQ(back, signal);
  EXPECT_FALSE(ReadSoundFile(path + ".missing", &back, &rate, &error));
}

}  // namespace
