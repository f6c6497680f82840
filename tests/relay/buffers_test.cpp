#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <vector>

#include "relay/audio_packets.h"
#include "relay/byte_queue.h"
#include "relay/device.h"
#include "relay/frame_ring.h"

namespace relay {
namespace {

TEST(ByteQueue, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
  ByteQueue queue(10);
  std::vector<uint8_t> data(7);
  std::iota(data.begin(), data.end(), 1);
  ASSERT_TRUE(queue.Push(data.data(), 7));
  EXPECT_FALSE(queue.Push(data.data(), 4)) << "all or nothing";
  EXPECT_EQ(queue.size(), 7u);
  queue.Pop(5);
  ASSERT_TRUE(queue.Push(data.data(), 6));  // wraps
  std::vector<uint8_t> out;
  while (queue.size() > 0) {
    size_t size;
    const uint8_t* front = queue.Front(&size);
    out.push_back(front[0]);
    queue.Pop(1);
  }
  EXPECT_EQ(out, (std::vector<uint8_t>{6, 7, 1, 2, 3, 4, 5, 6}));
}

TEST(FrameRing, WrapsAndReportsWhatFit) {
  FrameRing ring(4);
  float in[12];
  std::iota(in, in + 12, 0.0f);
  EXPECT_EQ(ring.Write(in, 3), 3u);
  float out[12] = {};
  EXPECT_EQ(ring.Read(out, 2), 2u);
  EXPECT_EQ(ring.Write(in + 6, 6), 3u) << "only three frames free";
  EXPECT_EQ(ring.Available(), 4u);
  EXPECT_EQ(ring.Read(out, 6), 4u);
  const float expected[8] = {4, 5, 6, 7, 8, 9, 10, 11};
  EXPECT_TRUE(std::equal(expected, expected + 8, out));
  EXPECT_EQ(ring.Discard(1), 0u);
}

TEST(DeviceIds, AreStableNonZeroAndDistinct) {
  const uint32_t a = DeviceIdForName("Studio", {});
  EXPECT_EQ(a, DeviceIdForName("Studio", {}));
  EXPECT_NE(a, 0u);
  EXPECT_LE(a, kMaxDeviceId);
  EXPECT_EQ(DeviceIdForName("Studio", {a}), a + 1 > kMaxDeviceId ? 1u : a + 1);
  std::vector<Device> devices;
  AddDevice(&devices, "one", nullptr);
  AddDevice(&devices, "two", nullptr);
  EXPECT_NE(devices[0].id, devices[1].id);
  EXPECT_EQ(FindDevice(devices, 0), 0);
  EXPECT_EQ(FindDevice(devices, devices[1].id), 1);
  EXPECT_EQ(FindDevice(devices, 0xabcdef), -1);
  EXPECT_EQ(FindDevice({}, 0), -1);
}

TEST(Channels, GiveBothSidesLeftRightOrTheMix) {
  const float in[4] = {1.0f, -0.5f, 0.25f, 0.75f};
  float out[4];
  MapChannel(0, in, out, 2);
  EXPECT_EQ(std::vector<float>(out, out + 4), std::vector<float>(in, in + 4));
  MapChannel(1, in, out, 2);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{1.0f, 1.0f, 0.25f, 0.25f}));
  MapChannel(2, in, out, 2);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{-0.5f, -0.5f, 0.75f, 0.75f}));
  MapChannel(3, in, out, 2);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0.25f, 0.25f, 0.5f, 0.5f}));
  EXPECT_STREQ(ChannelName(3), "Mono");
  EXPECT_STREQ(ChannelName(4), "");
}

// A packet is the frame count, then the channel's view of the block.
std::vector<float> Samples(const uint8_t* packet, int frames) {
  int32_t count;
  std::memcpy(&count, packet, 4);
  EXPECT_EQ(count, frames);
  std::vector<float> samples(static_cast<size_t>(frames) * 2);
  std::memcpy(samples.data(), packet + 4, samples.size() * sizeof(float));
  return samples;
}

TEST(AudioPackets, EncodeEachViewOnceATickAndAgainAfterClear) {
  AudioPackets packets(2, 2);
  EXPECT_EQ(packets.packetSize(), 4u + 2 * 2 * sizeof(float));
  const float first[4] = {1.0f, -0.5f, 0.25f, 0.75f};
  std::memcpy(packets.Block(0), first, sizeof first);
  std::fill(packets.Block(1), packets.Block(1) + 4, 0.0f);
  EXPECT_EQ(Samples(packets.Get(0, 0), 2), std::vector<float>(first, first + 4));
  EXPECT_EQ(Samples(packets.Get(0, 2), 2), (std::vector<float>{-0.5f, -0.5f, 0.75f, 0.75f}));
  EXPECT_EQ(Samples(packets.Get(1, 3), 2), std::vector<float>(4, 0.0f));
  // Within a tick the packet stays what it was first encoded as.
  packets.Block(0)[0] = 9.0f;
  EXPECT_EQ(Samples(packets.Get(0, 0), 2)[0], 1.0f);
  packets.Clear();
  EXPECT_EQ(Samples(packets.Get(0, 0), 2)[0], 9.0f);
  EXPECT_EQ(Samples(packets.Get(0, 1), 2), (std::vector<float>{9.0f, 9.0f, 0.25f, 0.25f}));
  const float own[4] = {0.5f, 0.1f, -0.5f, 0.3f};
  EXPECT_EQ(Samples(packets.EncodeOnce(own, 1), 2), (std::vector<float>{0.5f, 0.5f, -0.5f, -0.5f}));
}

}  // namespace
}  // namespace relay
