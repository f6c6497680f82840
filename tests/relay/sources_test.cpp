#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "relay/sound_file.h"
#include "relay/source.h"
#include "relay/stream_source.h"

namespace relay {
namespace {

std::vector<float> Render(Source* source, int frames, int block) {
  std::vector<float> out(static_cast<size_t>(frames) * 2);
  for (int done = 0; done < frames; done += block)
    source->Render(&out[static_cast<size_t>(done) * 2], std::min(block, frames - done));
  return out;
}

// Sign changes of one side, a cheap frequency measure.
int Crossings(const std::vector<float>& s, int side) {
  int count = 0;
  for (size_t i = 2 + side; i < s.size(); i += 2) count += (s[i - 2] < 0) != (s[i] < 0);
  return count;
}

TEST(ToneSource, Plays440LeftAnd660RightAtMinus12dB) {
  auto tone = MakeToneSource();
  const auto s = Render(tone.get(), 44100, 256);
  EXPECT_NEAR(Crossings(s, 0), 880, 2);
  EXPECT_NEAR(Crossings(s, 1), 1320, 2);
  float peak = 0;
  for (float v : s) peak = std::max(peak, std::fabs(v));
  EXPECT_NEAR(peak, 0.25f, 0.001f);
}

TEST(ImpulseSource, OneFullScaleSampleEverySecond) {
  auto impulse = MakeImpulseSource();
  const auto s = Render(impulse.get(), 2 * 44100 + 10, 300);
  std::vector<size_t> hits;
  for (size_t i = 0; i < s.size(); ++i)
    if (s[i] != 0.0f) hits.push_back(i);
  EXPECT_EQ(hits, (std::vector<size_t>{0, 1, 88200, 88201, 176400, 176401}));
  EXPECT_EQ(s[88200], 1.0f);
}

TEST(LoopSource, LoopsAcrossBlockEdges) {
  auto loop = MakeLoopSource({1, -1, 2, -2, 3, -3});
  const auto s = Render(loop.get(), 7, 2);
  EXPECT_EQ(s, (std::vector<float>{1, -1, 2, -2, 3, -3, 1, -1, 2, -2, 3, -3, 1, -1}));
  auto empty = MakeLoopSource({});
  EXPECT_EQ(Render(empty.get(), 2, 2), std::vector<float>(4, 0.0f));
}

class SoundFileTest : public ::testing::Test {
 protected:
  std::string Path(const char* name) { return ::testing::TempDir() + "relay_" + name; }

  // Writes a 16-bit WAV of a sine (same on every channel) of the given length.
  std::string WriteWav(const char* name, int rate, int channels, int frames, double hz) {
    const std::string path = Path(name);
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr);
    std::vector<float> data(static_cast<size_t>(frames) * channels);
    for (int i = 0; i < frames; ++i)
      for (int c = 0; c < channels; ++c)
        data[static_cast<size_t>(i) * channels + c] =
            static_cast<float>(0.5 * std::sin(6.283185307 * hz * i / rate)) * (c == 1 ? -1 : 1);
    sf_writef_float(file, data.data(), frames);
    sf_close(file);
    return path;
  }
};

TEST_F(SoundFileTest, ReadsStereoAt44100AsItIs) {
  const std::string path = WriteWav("stereo.wav", 44100, 2, 1000, 441.0);
  std::vector<float> s;
  std::string error;
  ASSERT_TRUE(LoadSoundFile(path, &s, &error)) << error;
  ASSERT_EQ(s.size(), 2000u);
  for (int i = 0; i < 1000; ++i) {
    const float expected = static_cast<float>(0.5 * std::sin(6.283185307 * 441.0 * i / 44100));
    ASSERT_NEAR(s[2 * i], expected, 1.0 / 32768 + 1e-6) << i;
    ASSERT_NEAR(s[2 * i + 1], -expected, 1.0 / 32768 + 1e-6) << i;
  }
}

TEST_F(SoundFileTest, Converts48000MonoTo44100OnBothSides) {
  const std::string path = WriteWav("mono48k.wav", 48000, 1, 48000, 1000.0);
  std::vector<float> s;
  std::string error;
  ASSERT_TRUE(LoadSoundFile(path, &s, &error)) << error;
  EXPECT_NEAR(static_cast<double>(s.size() / 2), 44100.0, 32.0);
  EXPECT_NEAR(Crossings(s, 0), 2000, 4) << "pitch is kept";
  for (size_t i = 0; i < s.size(); i += 2) ASSERT_EQ(s[i], s[i + 1]);
  float peak = 0;
  for (size_t i = 2000; i < s.size() - 2000; ++i) peak = std::max(peak, std::fabs(s[i]));
  EXPECT_NEAR(peak, 0.5f, 0.02f);
}

TEST_F(SoundFileTest, KeepsTheFirstTwoOfManyChannels) {
  const std::string path = WriteWav("quad.wav", 44100, 4, 100, 441.0);
  std::vector<float> s;
  std::string error;
  ASSERT_TRUE(LoadSoundFile(path, &s, &error)) << error;
  ASSERT_EQ(s.size(), 200u);
  EXPECT_NEAR(s[20], -s[21], 1e-6);
  EXPECT_NE(s[20], 0.0f);
}

TEST_F(SoundFileTest, FailsWithAMessageNamingTheFile) {
  std::vector<float> s;
  std::string error;
  EXPECT_FALSE(LoadSoundFile(Path("missing.wav"), &s, &error));
  EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
  const std::string text = Path("notes.txt");
  FILE* f = fopen(text.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("not a sound file at all\n", f);
  fclose(f);
  error.clear();
  EXPECT_FALSE(LoadSoundFile(text, &s, &error));
  EXPECT_NE(error.find("notes.txt"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(LoadSoundFile(WriteWav("empty.wav", 44100, 2, 0, 1.0), &s, &error));
  EXPECT_NE(error.find("no audio"), std::string::npos) << error;
}

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000 && !condition(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  return condition();
}

TEST(StreamSource, PlaysWholeBlocksThenTheRestAfterTheEnd) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  StreamSource source(fds[0]);
  std::vector<float> frames(2 * 300, 0.5f);
  frames[7] = NAN;
  const auto* bytes = reinterpret_cast<const uint8_t*>(frames.data());
  ASSERT_EQ(write(fds[1], bytes, 5), 5);  // a frame split across writes
  ASSERT_EQ(write(fds[1], bytes + 5, frames.size() * 4 - 5),
            static_cast<ssize_t>(frames.size() * 4 - 5));
  ASSERT_TRUE(WaitFor([&] { return source.buffered() == 300; }));
  std::vector<float> out(2 * 512, -1.0f);
  source.Render(out.data(), 512);
  EXPECT_EQ(out, std::vector<float>(2 * 512, 0.0f)) << "fewer frames than a block wait";
  source.Render(out.data(), 256);
  EXPECT_EQ(out[0], 0.5f) << "a whole block plays";
  close(fds[1]);
  ASSERT_TRUE(WaitFor([&] { return source.ended(); }));
  source.Render(out.data(), 512);
  EXPECT_EQ(out[2 * 43], 0.5f);
  EXPECT_EQ(out[2 * 44], 0.0f) << "then silence";
  close(fds[0]);
}

TEST(StreamSource, NonFiniteSamplesBecomeSilence) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  StreamSource source(fds[0]);
  const float frames[4] = {NAN, INFINITY, -INFINITY, 0.25f};
  ASSERT_EQ(write(fds[1], frames, sizeof frames), static_cast<ssize_t>(sizeof frames));
  close(fds[1]);
  ASSERT_TRUE(WaitFor([&] { return source.ended(); }));
  float out[4];
  source.Render(out, 2);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0, 0, 0, 0.25f}));
  close(fds[0]);
}

}  // namespace
}  // namespace relay
