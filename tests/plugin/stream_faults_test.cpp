// Faults of the stream between relay and host under odd block sizes, stream
// changes and a relay that outpaces the host.
#include <gtest/gtest.h>

#include "tests/plugin/stream_scenarios.h"

namespace {

// Hosts split blocks at automation and loop points: at 48 kHz every frame of
// blocks as short as one frame reaches the relay, in order.
TEST(StreamFaultsTest, TinyHostBlocksAtAnotherRateAllReachTheRelay) {
  const ScenarioResult result = TinyHostBlocks(100);
  ASSERT_TRUE(result.ran);
  EXPECT_NEAR(result.arrived, result.expected, 8);
  EXPECT_EQ(result.faults, 0);
}

// A relay that sends 4-frame packets is heard at 48 kHz, every frame in order.
TEST(StreamFaultsTest, TinyRelayPacketsAtAnotherRateArePlayedWhole) {
  const ScenarioResult result = TinyRelayPackets(2000);
  ASSERT_TRUE(result.ran);
  EXPECT_NEAR(result.arrived, result.expected, 8);
  EXPECT_EQ(result.faults, 0);
}

TEST(StreamFaultsTest, NothingEmptiedPlaysAfterALatencyChange) {
  const ScenarioResult result = LatencyChanges(1000);
  ASSERT_TRUE(result.ran);
  EXPECT_GE(result.arrived, 100);
  EXPECT_EQ(result.faults, 0) << "stale blocks of " << result.arrived;
}

TEST(StreamFaultsTest, NothingOfAnEarlierStreamPlaysAfterAChannelChange) {
  const ScenarioResult result = ChannelChanges(10);
  ASSERT_TRUE(result.ran);
  EXPECT_GE(result.arrived, 10);
  EXPECT_EQ(result.faults, 0) << "stale blocks of " << result.arrived;
}

TEST(StreamFaultsTest, ARelayThatOutpacesTheHostNeverTearsABlock) {
  const ScenarioResult result = RelayOutpacesHost(1000);
  ASSERT_TRUE(result.ran);
  EXPECT_GE(result.arrived, 100);
  EXPECT_EQ(result.faults, 0) << "torn blocks of " << result.arrived;
}

}  // namespace
