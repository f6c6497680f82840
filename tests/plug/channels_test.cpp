#include <gtest/gtest.h>

#include <vector>

#include "tests/plug/test_plug.h"

namespace {

TEST(ChannelIOTest, ConfigurationTextGivesRecordsForTheLargestCounts) {
  TestPlug plug(1, "1-1 2-2");
  EXPECT_EQ(2, plug.NInChannels());
  EXPECT_EQ(2, plug.NOutChannels());
  EXPECT_FALSE(plug.IsInChannelConnected(0));

  TestPlug generator(1, "0-2");
  EXPECT_EQ(0, generator.NInChannels());
  EXPECT_EQ(2, generator.NOutChannels());

  TestPlug wide(1, "1-2 6-1");
  EXPECT_EQ(6, wide.NInChannels());
  EXPECT_EQ(2, wide.NOutChannels());
}

TEST(ChannelIOTest, LegalIOMatchesInOrderWithWildcards) {
  TestPlug plug(1, "1-1 2-2");
  EXPECT_TRUE(plug.LegalIO(-1, 2));
  EXPECT_TRUE(plug.LegalIO(1, 1));
  EXPECT_TRUE(plug.LegalIO(-1, -1));
  EXPECT_FALSE(plug.LegalIO(2, 1));
  EXPECT_FALSE(plug.LegalIO(1, -1) && plug.LegalIO(3, -1));
}

TEST(ChannelIOTest, ConnectionsIgnoreIndexesOutsideTheChannels) {
  TestPlug plug(1, "4-4");
  plug.SetInputChannelConnections(2, 100, true);
  EXPECT_FALSE(plug.IsInChannelConnected(1));
  EXPECT_TRUE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsInChannelConnected(4));
  EXPECT_FALSE(plug.IsInChannelConnected(-1));
  plug.SetOutputChannelConnections(-3, 5, true);
  plug.SetOutputChannelConnections(3, 0x7fffffff, true);
  EXPECT_FALSE(plug.IsOutChannelConnected(0));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
}

TEST(ChannelIOTest, LimitToStereoDisconnectsInputsAndConnectsOutputs) {
  TestPlug plug(1, "4-4");
  plug.SetInputChannelConnections(0, 4, true);
  plug.LimitToStereoIO();
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_FALSE(plug.IsOutChannelConnected(1));
  EXPECT_TRUE(plug.IsOutChannelConnected(2));
  EXPECT_TRUE(plug.IsOutChannelConnected(3));
}

TEST(ChannelIOTest, LabelsOfValidChannelsOnly) {
  TestPlug plug(1, "2-2");
  plug.SetInputLabel(1, "Side");
  plug.SetOutputLabel(0, "Main L");
  plug.SetOutputLabel(5, "nowhere");
  EXPECT_STREQ("", plug.GetInputLabel(0));
  EXPECT_STREQ("Side", plug.GetInputLabel(1));
  EXPECT_STREQ("Main L", plug.GetOutputLabel(0));
  EXPECT_STREQ("", plug.GetOutputLabel(5));
}

// A stereo plug-in with both channels connected and a block size of n.
struct Rig {
  explicit Rig(int n, const char* io = "2-2") : plug(1, io), frames(n) {
    plug.SetInputChannelConnections(0, plug.NInChannels(), true);
    plug.SetOutputChannelConnections(0, plug.NOutChannels(), true);
    plug.SetBlockSize(n);
  }
  TestPlug plug;
  int frames;
};

TEST(BufferTest, DisconnectedInputsTakeNoHostBuffer) {
  Rig rig(4);
  rig.plug.SetInputChannelConnections(0, 1, false);
  double host0[4] = {1, 2, 3, 4};
  double* buffers[] = {host0};
  rig.plug.AttachInputBuffers(0, 2, buffers, 4);
  EXPECT_EQ(host0, rig.plug.InData()[1]);
  ASSERT_NE(nullptr, rig.plug.InData()[0]);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(0.0, rig.plug.InData()[0][s]);
}

TEST(BufferTest, PassThroughCopiesMatchingChannelsAndZeroesTheRest) {
  Rig rig(3, "1-2");
  double in[3] = {0.5, -0.5, 0.25};
  double out0[3] = {9, 9, 9}, out1[3] = {9, 9, 9};
  double* ins[] = {in};
  double* outs[] = {out0, out1};
  rig.plug.AttachInputBuffers(0, 1, ins, 3);
  rig.plug.AttachOutputBuffers(0, 2, outs);
  rig.plug.ProcessBuffers(0.0, 3);
  EXPECT_EQ((std::vector<double>{0.5, -0.5, 0.25}), std::vector<double>(out0, out0 + 3));
  EXPECT_EQ((std::vector<double>{0, 0, 0}), std::vector<double>(out1, out1 + 3));
}

TEST(BufferTest, PassThroughWithMoreInputsWritesOnlyTheOutputs) {
  Rig rig(2, "2-1");
  double in0[2] = {1, 2}, in1[2] = {3, 4}, out[2] = {0, 0};
  double* ins[] = {in0, in1};
  double* outs[] = {out};
  rig.plug.AttachInputBuffers(0, 2, ins, 2);
  rig.plug.AttachOutputBuffers(0, 1, outs);
  rig.plug.ProcessBuffers(0.0, 2);
  EXPECT_EQ(1.0, out[0]);
  EXPECT_EQ(2.0, out[1]);
  EXPECT_EQ(3.0, in1[0]);
}

TEST(BufferTest, FloatPathConvertsConnectedOutputsOnly) {
  Rig rig(3);
  rig.plug.SetOutputChannelConnections(1, 1, false);
  float in0[3] = {0.25f, 0.5f, -1.0f}, in1[3] = {1, 1, 1};
  float out0[3] = {7, 7, 7}, out1[3] = {7, 7, 7};
  float* ins[] = {in0, in1};
  float* outs[] = {out0};
  rig.plug.AttachInputBuffers(0, 2, ins, 3);
  rig.plug.AttachOutputBuffers(0, 2, outs);
  rig.plug.ProcessBuffers(0.0f, 3);
  EXPECT_EQ((std::vector<float>{0.25f, 0.5f, -1.0f}), std::vector<float>(out0, out0 + 3));
  EXPECT_EQ((std::vector<float>{7, 7, 7}), std::vector<float>(out1, out1 + 3));
}

TEST(BufferTest, AccumulatingPathAddsOntoTheHostOutput) {
  Rig rig(2);
  float in0[2] = {0.25f, 0.5f}, in1[2] = {1.0f, 2.0f};
  float out0[2] = {1.0f, 1.0f}, out1[2] = {-1.0f, 0.5f};
  float* ins[] = {in0, in1};
  float* outs[] = {out0, out1};
  rig.plug.AttachInputBuffers(0, 2, ins, 2);
  rig.plug.AttachOutputBuffers(0, 2, outs);
  rig.plug.ProcessBuffersAccumulating(0.0f, 2);
  EXPECT_EQ((std::vector<float>{1.25f, 1.5f}), std::vector<float>(out0, out0 + 2));
  EXPECT_EQ((std::vector<float>{0.0f, 2.5f}), std::vector<float>(out1, out1 + 2));
}

TEST(BufferTest, BlockSizeChangeZeroesScratchAndKeepsDisconnectedChannelsOnIt) {
  Rig rig(4);
  rig.plug.SetInputChannelConnections(1, 1, false);
  float in[4] = {1, 2, 3, 4};
  float* ins[] = {in};
  rig.plug.AttachInputBuffers(0, 2, ins, 4);
  rig.plug.SetBlockSize(4);
  EXPECT_EQ(3.0, rig.plug.InData()[0][2]);

  rig.plug.SetBlockSize(64);
  for (int ch = 0; ch < 2; ++ch)
    for (int s = 0; s < 64; ++s) ASSERT_EQ(0.0, rig.plug.InData()[ch][s]);
  EXPECT_EQ(64, rig.plug.GetBlockSize());
}

// Buffers are sized only by SetBlockSize: a longer block is silence, not growth.
TEST(BufferTest, BlocksLongerThanTheBlockSizeAreSilenced) {
  Rig rig(4);
  std::vector<float> in(1000, 0.5f), out(1000, 3.0f);
  float* ins[] = {in.data(), in.data()};
  float* outs[] = {out.data(), nullptr};
  rig.plug.AttachInputBuffers(0, 2, ins, 1000);
  rig.plug.AttachOutputBuffers(0, 2, outs);
  rig.plug.ProcessBuffers(0.0f, 1000);
  EXPECT_EQ(std::vector<float>(1000, 0.0f), out);
  EXPECT_EQ(4, rig.plug.GetBlockSize());
}

TEST(BufferTest, UnattachedChannelsProcessSilence) {
  TestPlug plug(1, "2-2");
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.SetBlockSize(16);
  plug.ProcessBuffers(0.0, 16);
  ASSERT_NE(nullptr, plug.OutData()[1]);
  EXPECT_EQ(0.0, plug.OutData()[1][15]);
}

TEST(BufferTest, ZeroScratchBuffersClearsWhatTheRenderLeft) {
  Rig rig(2);
  float in[2] = {1, 1};
  float* ins[] = {in, in};
  rig.plug.AttachInputBuffers(0, 2, ins, 2);
  rig.plug.ZeroScratchBuffers();
  EXPECT_EQ(0.0, rig.plug.InData()[0][0]);
  EXPECT_EQ(0.0, rig.plug.InData()[1][1]);
}

TEST(DelayLineTest, InputLeavesExactlyDelaySamplesLater) {
  NChanDelayLine line(1, 1);
  line.SetDelayTime(3);
  double in[5] = {1, 2, 3, 4, 5}, out[5];
  double* ins[] = {in};
  double* outs[] = {out};
  line.ProcessBlock(ins, outs, 5);
  EXPECT_EQ((std::vector<double>{0, 0, 0, 1, 2}), std::vector<double>(out, out + 5));
  line.ProcessBlock(ins, outs, 2);
  EXPECT_EQ(3.0, out[0]);
  EXPECT_EQ(4.0, out[1]);
}

TEST(DelayLineTest, ChannelsStaySeparateAndInPlaceWorks) {
  NChanDelayLine line(2, 2);
  line.SetDelayTime(2);
  double a[4] = {1, 2, 3, 4}, b[4] = {10, 20, 30, 40};
  double* bufs[] = {a, b};
  line.ProcessBlock(bufs, bufs, 4);
  EXPECT_EQ((std::vector<double>{0, 0, 1, 2}), std::vector<double>(a, a + 4));
  EXPECT_EQ((std::vector<double>{0, 0, 10, 20}), std::vector<double>(b, b + 4));
  line.ClearBuffer();
  double c[2] = {5, 6};
  double* cs[] = {c, c};
  line.ProcessBlock(cs, cs, 2);
  EXPECT_EQ(0.0, c[0]);
}

TEST(DelayLineTest, ZeroDelayCopies) {
  NChanDelayLine line(1, 1);
  line.SetDelayTime(0);
  double in[2] = {1, 2}, out[2] = {0, 0};
  double* ins[] = {in};
  double* outs[] = {out};
  line.ProcessBlock(ins, outs, 2);
  EXPECT_EQ(2.0, out[1]);
}

TEST(DelayLineTest, PassThroughUsesTheDelayLineOnlyWithLatency) {
  TestPlug plug(1, "1-1", 1, 2);
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetBlockSize(3);
  plug.CreateDelayLine();
  double in[3] = {1, 2, 3}, out[3];
  double* ins[] = {in};
  double* outs[] = {out};
  plug.AttachInputBuffers(0, 1, ins, 3);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0.0, 3);
  EXPECT_EQ((std::vector<double>{0, 0, 1}), std::vector<double>(out, out + 3));
  plug.SetLatency(0);
  plug.PassThroughBuffers(0.0, 3);
  EXPECT_EQ((std::vector<double>{1, 2, 3}), std::vector<double>(out, out + 3));
  EXPECT_EQ(0, plug.GetLatency());
}

TEST(DelayLineTest, FloatPassThroughConvertsTheOutput) {
  TestPlug plug(1, "1-1");
  plug.SetInputChannelConnections(0, 1, true);
  plug.SetOutputChannelConnections(0, 1, true);
  plug.SetBlockSize(2);
  float in[2] = {0.5f, 0.75f}, out[2] = {0, 0};
  float* ins[] = {in};
  float* outs[] = {out};
  plug.AttachInputBuffers(0, 1, ins, 2);
  plug.AttachOutputBuffers(0, 1, outs);
  plug.PassThroughBuffers(0.0f, 2);
  EXPECT_EQ(0.75f, out[1]);
}

}  // namespace
