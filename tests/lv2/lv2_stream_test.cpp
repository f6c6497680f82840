// The plug-in in the test host against a scripted relay, at 44100 and 48000
// Hz: audio from the relay reaches the outputs in blocks of 1, 64, 512 and
// 8192 frames (more than the host announced), the effects loop sends the
// host's input to the relay, and a block of 0 frames touches nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>

#include "tests/lv2/lv2_test_host.h"
#include "tests/plugin/scripted_relay.h"

namespace {

bool Near(float a, float b) { return std::fabs(a - b) < 1e-3f; }

// Runs blocks of frames until one carries the relay's 0.5 on both outputs.
bool AudioArrives(LV2TestHost& host, int frames) {
  return WaitFor([&] {
    host.Run(frames);
    return Near(host.Output(0)[frames - 1], 0.5f) && Near(host.Output(1)[frames - 1], 0.5f);
  });
}

// Reads effects-loop packets (skipping those of earlier blocks) until one ends
// in the host's input value.
bool InputComesBack(int fd, float value) {
  for (int packet = 0; packet < 5000; ++packet) {
    int32_t frames = 0;
    if (!ReadExactly(fd, &frames, sizeof frames) || frames <= 0 || frames > 4096) return false;
    std::vector<float> samples(2 * frames);
    if (!ReadExactly(fd, samples.data(), samples.size() * sizeof(float))) return false;
    if (Near(samples[2 * frames - 2], value) && Near(samples[2 * frames - 1], value)) return true;
  }
  return false;
}

class StreamTest : public ::testing::TestWithParam<double> {};

TEST_P(StreamTest, AudioArrivesInEveryBlockSizeAndTheEffectsLoopGoesOut) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 5);
  LV2TestHost host(512);
  ASSERT_TRUE(host.Instantiate(GetParam()));
  const int fd = relay.Accept();
  ASSERT_GE(fd, 0);
  int32_t loop = -1;
  EXPECT_EQ(ReadRequest(fd, &loop), "GET /.stream0_0\r\n");
  EXPECT_EQ(loop, 0);
  for (int frames : {1, 64, 512, 8192}) {
    ASSERT_TRUE(SendAudio(fd, 4096, 0.5f));
    ASSERT_TRUE(SendAudio(fd, 4096, 0.5f));
    EXPECT_TRUE(AudioArrives(host, frames)) << frames;
  }

  host.Control("effects_loop") = 1.0f;
  host.Run(64);
  int32_t setting[2] = {-1, -1};
  ASSERT_TRUE(ReadExactly(fd, setting, sizeof setting));
  EXPECT_EQ(setting[0], 0);
  EXPECT_EQ(setting[1], 1);
  float value = 0.0f;
  for (int frames : {1, 64, 512, 8192}) {
    host.inputValue = value += 0.125f;
    for (int i = 0; i < 1200 / frames + 2; ++i) host.Run(frames);
    EXPECT_TRUE(InputComesBack(fd, host.inputValue)) << frames;
  }
  close(fd);
}

TEST_P(StreamTest, ABlockOfNoFramesTouchesNothing) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  LV2TestHost host;
  ASSERT_TRUE(host.Instantiate(GetParam()));
  host.Output(0)[0] = host.Output(1)[0] = 7.0f;
  host.Control("effects_loop") = 1.0f;
  host.Run(0);
  EXPECT_EQ(host.Output(0)[0], 7.0f);
  EXPECT_EQ(host.Output(1)[0], 7.0f);
  // The control values still reach the plug-in.
  EXPECT_EQ(host.WorkRequests(), 1);
}

INSTANTIATE_TEST_SUITE_P(Rates, StreamTest, ::testing::Values(44100.0, 48000.0));

}  // namespace
