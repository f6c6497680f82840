// An instance without a relay: parameters, their reactions, the render path and
// the status texts before any connection.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "plugin/sample_rate.h"
#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

namespace {

class SkylaneInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    {
      ScriptedRelay closed;  // a port with nobody listening once this closes
      UseTestRelay(closed.Port(), 5);
    }
    mPlug = OpenSkylane();
  }
  std::unique_ptr<Skylane> mPlug;
};

TEST_F(SkylaneInstanceTest, IdentityAndParameters) {
  EXPECT_STREQ(mPlug->GetEffectName(), "Skylane");
  EXPECT_STREQ(mPlug->GetMfrName(), "Skylane");
  EXPECT_STREQ(mPlug->GetProductName(), "");
  EXPECT_EQ(mPlug->GetUniqueID(), 0x536B4C61);
  EXPECT_EQ(mPlug->GetMfrID(), 0x536B794C);
  EXPECT_EQ(mPlug->GetAEffect()->uniqueID, 0x536B4C61);
  EXPECT_EQ(mPlug->NParams(), 9);
  EXPECT_EQ(mPlug->NPresets(), 1);
  EXPECT_STREQ(mPlug->GetPresetName(0), "-");
  EXPECT_FALSE(mPlug->DoesStateChunks());
  EXPECT_FALSE(mPlug->DoesMIDI());
  const char* names[9] = {"Channel", "Latency Control", "", "Device ID", "Effects Loop", "", "", "",
                          ""};
  for (int i = 0; i < 9; ++i) EXPECT_STREQ(mPlug->GetParam(i)->GetNameForHost(), names[i]) << i;
  double low, high;
  mPlug->GetParam(kParamDeviceId)->GetBounds(&low, &high);
  EXPECT_EQ(high, 0xFFFFFF);
  mPlug->GetParam(kParamLatency)->GetBounds(&low, &high);
  EXPECT_EQ(low, 1);
  EXPECT_EQ(high, 4);
  EXPECT_EQ(mPlug->GetParam(kParamLatency)->Value(), 1);
  EXPECT_EQ(mPlug->GetParam(kParamEffectsLoop)->Type(), IParam::kTypeBool);
}

TEST_F(SkylaneInstanceTest, OpeningLeavesDeviceButtonFourSelected) {
  const SkylaneStatus status = mPlug->Status();
  EXPECT_EQ(status.selectedDevice, 3);
  EXPECT_EQ(status.requestedDeviceId, 0);
  EXPECT_EQ(mPlug->Fifo().target.load(), 8);
}

TEST_F(SkylaneInstanceTest, LatencyControlSetsTheTargetAndEmptiesTheFifo) {
  const int targets[5] = {0, 8, 20, 32, 44};
  std::vector<float> samples(64, 0.5f);
  Block block(32);
  for (int value = 1; value <= 4; ++value) {
    QueueAudio(*mPlug, samples.data(), 64);
    SetParam(*mPlug, kParamLatency, value);
    EXPECT_EQ(mPlug->Fifo().target.load(), targets[value]);
    block.Process(*mPlug, 32);
    EXPECT_EQ(block.outLeft, std::vector<double>(32, 0.0));
  }
}

TEST_F(SkylaneInstanceTest, DeviceIdAndButtonsSetTheRequest) {
  SetParam(*mPlug, kParamChannel, 2);
  SetParam(*mPlug, kParamDeviceId, 0xab);
  SkylaneStatus status = mPlug->Status();
  EXPECT_EQ(status.requestedChannel, 2);
  EXPECT_EQ(status.requestedDeviceId, 0xab);
  EXPECT_EQ(status.streamDeviceId, 0);
  mPlug->GetParam(kParamDeviceButton0 + 2)->Set(0);
  mPlug->OnParamChange(kParamDeviceButton0 + 2);
  status = mPlug->Status();
  EXPECT_EQ(status.selectedDevice, 2);
  EXPECT_EQ(status.requestedDeviceId, 0xab);  // no third device known
}

TEST_F(SkylaneInstanceTest, EffectsLoopFollowsItsParameter) {
  SetParam(*mPlug, kParamEffectsLoop, 1);
  EXPECT_EQ(mPlug->Status().effectsLoop, 1);
  SetParam(*mPlug, kParamEffectsLoop, 0);
  EXPECT_EQ(mPlug->Status().effectsLoop, 0);
}

TEST_F(SkylaneInstanceTest, ResetWhileDisconnectedOnlyClearsTheLinkFlag) {
  mPlug->Reset();
  EXPECT_EQ(mPlug->Status().linkUp, 0);
  EXPECT_EQ(TextOf(mPlug->LastEvent()), "No message");
}

TEST_F(SkylaneInstanceTest, EmptyBlocksOnlyCount) {
  Block block(16);
  block.Process(*mPlug, 0);
  block.Process(*mPlug, -1);
  for (double v : block.outLeft) ASSERT_EQ(v, 9.0);
  EXPECT_GE(mPlug->Status().processCalls, 1);
}

// Blocks above 4096 frames through the host's entry points: in place in double
// precision, then in single precision, every output sample comes from the FIFO.
TEST_F(SkylaneInstanceTest, BlocksAbove4096FramesAreRenderedWhole) {
  constexpr int kFrames = 8192;
  AEffect* effect = mPlug->GetAEffect();
  effect->dispatcher(effect, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  std::vector<float> ramp(2 * kFrames);
  for (int i = 0; i < 2 * kFrames; ++i) ramp[i] = static_cast<float>(i);
  QueueAudio(*mPlug, ramp.data(), 2 * kFrames);
  std::vector<double> left(kFrames, 0.5), right(kFrames, 0.5);
  double* io[2] = {left.data(), right.data()};
  effect->processDoubleReplacing(effect, io, io, kFrames);
  for (int i = 0; i < kFrames; ++i) {
    ASSERT_EQ(left[i], ramp[2 * i]) << i;
    ASSERT_EQ(right[i], ramp[2 * i + 1]) << i;
  }
  for (float& v : ramp) v = -v;
  QueueAudio(*mPlug, ramp.data(), 2 * kFrames);
  std::vector<float> in(kFrames, 0.5f), outLeft(kFrames, 9.0f), outRight(kFrames, 9.0f);
  float* inputs[2] = {in.data(), in.data()};
  float* outputs[2] = {outLeft.data(), outRight.data()};
  effect->processReplacing(effect, inputs, outputs, kFrames);
  for (int i = 0; i < kFrames; ++i) {
    ASSERT_EQ(outLeft[i], ramp[2 * i]) << i;
    ASSERT_EQ(outRight[i], ramp[2 * i + 1]) << i;
  }
}

TEST_F(SkylaneInstanceTest, EmptyFifoPlaysSilenceAndCountsAnUnderflow) {
  const int before = mPlug->Fifo().underflows.load();
  Block block(512);
  block.Process(*mPlug, 512);
  for (int i = 0; i < 512; ++i) {
    ASSERT_EQ(block.outLeft[i], 0.0);
    ASSERT_EQ(block.outRight[i], 0.0);
  }
  EXPECT_EQ(mPlug->Fifo().underflows.load(), before + 1);
}

TEST_F(SkylaneInstanceTest, QueuedAudioIsPlayedDeinterleaved) {
  float samples[2 * 4096];
  for (int i = 0; i < 4096; ++i) samples[2 * i] = i / 4096.0f, samples[2 * i + 1] = -i / 4096.0f;
  QueueAudio(*mPlug, samples, 2 * 4096);
  Block block(4096);
  block.Process(*mPlug, 4096);
  for (int i = 0; i < 4096; ++i) {
    ASSERT_EQ(block.outLeft[i], samples[2 * i]);
    ASSERT_EQ(block.outRight[i], samples[2 * i + 1]);
  }
}

TEST_F(SkylaneInstanceTest, CallbackKeepsRateAndRatiosCurrent) {
  mPlug->SetSampleRate(48000);
  Block block(64);
  block.Process(*mPlug, 64);
  EXPECT_EQ(sampleRate.load(), 48000.0f);
  mPlug->SetSampleRate(0);  // ignored: the last good rate stays
  block.Process(*mPlug, 64);
  EXPECT_EQ(sampleRate.load(), 48000.0f);
}

TEST_F(SkylaneInstanceTest, StatusTextsBeforeAndAfterTheWatchThreadRuns) {
  setenv("SKYLANE_TICK_MS", "60000", 1);  // its watch thread sleeps through the checks
  auto fresh = std::make_unique<Skylane>(PlugInstanceInfo{nullptr});
  EXPECT_EQ(TextOf(fresh->StatusLine()), "Disconnected");
  EXPECT_EQ(TextOf(fresh->AudioStateLine()), "");
  EXPECT_EQ(TextOf(fresh->DebugLine1()), "----");
  EXPECT_EQ(TextOf(fresh->DebugLine2()), "----");
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(TextOf(fresh->DeviceNameLine(k)), "--");
    EXPECT_EQ(TextOf(fresh->ChannelNameLine(k)), "--");
  }
  EXPECT_TRUE(WaitFor([&] { return TextOf(mPlug->StatusLine()) == "Not connected"; }));
  EXPECT_TRUE(WaitFor([&] { return TextOf(mPlug->AudioStateLine()) == "!! AUDIO MUTED"; }));
  EXPECT_TRUE(WaitFor([&] { return TextOf(mPlug->LastEvent()) == "AT con fail"; }));
  EXPECT_EQ(TextOf(mPlug->DebugLine1()).rfind("f:", 0), 0u);
}

TEST_F(SkylaneInstanceTest, ProcessingShowsAudioFlowing) {
  Block block(32);
  EXPECT_TRUE(WaitFor([&] {
    block.Process(*mPlug, 32);
    return TextOf(mPlug->AudioStateLine()) == "Audio flowing";
  }));
}

TEST(SkylaneLifetimeTest, DeletingAnIdleInstanceIsQuick) {
  unsetenv("SKYLANE_TICK_MS");  // the product's one-second tick
  setenv("SKYLANE_RELAY_PORT", "1", 1);
  for (int i = 0; i < 3; ++i) {
    auto plug = std::make_unique<Skylane>(PlugInstanceInfo{nullptr});
    const auto start = std::chrono::steady_clock::now();
    plug.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  }
}

}  // namespace
