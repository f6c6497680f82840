#include "plugin/effects_loop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "plugin/relay_stream.h"
#include "tests/plugin/scripted_relay.h"

namespace {

// A connected link to a scripted relay and a send resampler at a host rate.
class EffectsLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    int limit = 0;
    mFd = ConnectToRelay(
        mRelay.Port(), 2000, [](void*) { return false; }, nullptr, &limit);
    mPeer = mRelay.Accept();
    ASSERT_GE(mFd, 0);
    ASSERT_GE(mPeer, 0);
    mLink.Publish(mFd, limit);
  }
  void TearDown() override {
    mLink.Shutdown();
    mLink.Retire();
    if (mPeer >= 0) close(mPeer);
    resample_release(&mResampler);
  }
  void AtRate(double rate) {
    resample_init(&mResampler, 0x4000, static_cast<float>(rate / 44100.0));
  }
  void SendRamp(int frames) {
    std::vector<double> left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) left[i] = i, right[i] = -i;
    mSender.Send(mLink, mResampler, left.data(), right.data(), frames);
  }
  // Reads packets until the stream is quiet; returns each packet's frame count.
  std::vector<int> ReadPackets(std::vector<float>* samples = nullptr) {
    std::vector<int> counts;
    int32_t frames;
    while (ReadExactly(mPeer, &frames, 4, 200)) {
      EXPECT_GE(frames, 1);
      EXPECT_LE(frames, kMaxPacketFrames);
      std::vector<float> body(2 * static_cast<size_t>(frames));
      EXPECT_TRUE(ReadExactly(mPeer, body.data(), body.size() * 4));
      if (samples) samples->insert(samples->end(), body.begin(), body.end());
      counts.push_back(frames);
    }
    return counts;
  }

  ScriptedRelay mRelay;
  RelayLink mLink;
  Resampler mResampler{};
  EffectsLoopSender mSender;
  int mFd = -1, mPeer = -1;
};

TEST_F(EffectsLoopTest, At44100ABlockGoesOutAsIs) {
  AtRate(44100);
  SendRamp(256);
  std::vector<float> samples;
  EXPECT_EQ(ReadPackets(&samples), std::vector<int>{256});
  ASSERT_EQ(samples.size(), 512u);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(samples[2 * i], static_cast<float>(i));
    EXPECT_EQ(samples[2 * i + 1], static_cast<float>(-i));
  }
}

TEST_F(EffectsLoopTest, LargeBlocksAreSplitIntoValidPackets) {
  AtRate(44100);
  SendRamp(4096);
  std::vector<float> samples;
  EXPECT_EQ(ReadPackets(&samples), (std::vector<int>{1024, 1024, 1024, 1024}));
  EXPECT_EQ(samples[2 * 4095], 4095.0f);
}

TEST_F(EffectsLoopTest, At48kHzA512FrameBlockSendsTheResampledCount) {
  AtRate(48000);
  SendRamp(512);
  const std::vector<int> counts = ReadPackets();
  ASSERT_EQ(counts.size(), 1u);
  EXPECT_GE(counts[0], 470);
  EXPECT_LE(counts[0], 471);
}

TEST_F(EffectsLoopTest, ResampledBlocksAbove512FramesLoseNothing) {
  AtRate(48000);
  int total = 0;
  for (int block : {513, 2048, 4096}) {
    SendRamp(block);
    for (int frames : ReadPackets()) total += frames;
  }
  // 6657 frames at 48 kHz are about 6116 frames at 44.1 kHz.
  EXPECT_NEAR(total, 6657 * 44100.0 / 48000.0, 3);
}

TEST_F(EffectsLoopTest, LowAndHighHostRatesKeepPacketsValid) {
  for (double rate : {8000.0, 11025.0, 384000.0}) {
    AtRate(rate);
    SendRamp(4096);
    int total = 0;
    for (int frames : ReadPackets()) total += frames;  // each checked to be 1..4096
    EXPECT_NEAR(total, 4096 * 44100.0 / rate, 12) << rate;
    resample_release(&mResampler);
  }
}

TEST(EffectsLoopPieceTest, PiecesStayWithinTheResamplerWindowAndThePacketLimit) {
  EXPECT_EQ(EffectsLoopPieceFrames(48000.0f / 44100.0f), 512);
  EXPECT_EQ(EffectsLoopPieceFrames(22050.0f / 44100.0f), 512);
  const int low = EffectsLoopPieceFrames(8000.0f / 44100.0f);
  EXPECT_LE(low / (8000.0 / 44100.0), kMaxPacketFrames - 1);
  EXPECT_EQ(EffectsLoopPieceFrames(1.0f / 44100.0f), 8);
}

}  // namespace
