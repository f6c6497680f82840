#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "relay/pipewire_targets.h"

namespace relay {
namespace {

using Links = std::vector<std::pair<uint32_t, uint32_t>>;

std::vector<PwNode> Graph() {
  return {{30, 101, "alsa_input.usb", "USB Mic", "Audio/Source"},
          {31, 102, "alsa_output.pci", "Built-in Audio", "Audio/Sink"},
          {32, 103, "Firefox", "Playing", "Stream/Output/Audio"},
          {33, 104, "skylane", "Skylane", "Stream/Input/Audio"},
          {34, 105, "midi", "Midi Bridge", "Midi/Bridge"}};
}

TEST(PipeWireTargets, FindsByNameDescriptionOrSerialOnlyWhatCanBeCaptured) {
  const std::vector<PwNode> nodes = Graph();
  ASSERT_NE(FindTarget(nodes, "alsa_output.pci"), nullptr);
  EXPECT_EQ(FindTarget(nodes, "alsa_output.pci")->id, 31u);
  EXPECT_EQ(FindTarget(nodes, "USB Mic")->id, 30u);
  EXPECT_EQ(FindTarget(nodes, "103")->id, 32u);
  for (const char* none : {"", "skylane", "Midi Bridge", "104", "30x", "-101", "nothing"})
    EXPECT_EQ(FindTarget(nodes, none), nullptr) << none;
  EXPECT_STREQ(CapturableKind("Audio/Sink"), "output device");
  EXPECT_STREQ(CapturableKind("Audio/Source"), "input device");
  EXPECT_STREQ(CapturableKind("Stream/Output/Audio"), "application");
  EXPECT_EQ(CapturableKind("Video/Source"), nullptr);
}

TEST(PipeWireTargets, LinksTheRightPortsSideBySide) {
  const PwNode sink{31, 0, "s", "", "Audio/Sink"}, mic{30, 0, "m", "", "Audio/Source"},
      app{32, 0, "a", "", "Stream/Output/Audio"};
  const std::vector<PwPort> ports = {
      {1, 31, false, false, "FL"},  {2, 31, false, false, "FR"},  // the sink's inputs
      {3, 31, true, true, "FR"},    {4, 31, true, true, "FL"},    // its monitor
      {5, 30, true, false, "MONO"},                               // a mono microphone
      {6, 32, true, false, "AUX0"}, {7, 32, true, false, "AUX1"},
      {8, 40, false, false, "FL"},  {9, 40, false, false, "FR"}};  // the relay's inputs
  EXPECT_EQ(PlanLinks(sink, 40, ports), (Links{{4, 8}, {3, 9}})) << "monitor, by channel";
  EXPECT_EQ(PlanLinks(mic, 40, ports), (Links{{5, 8}, {5, 9}})) << "mono on both sides";
  EXPECT_EQ(PlanLinks(app, 40, ports), (Links{{6, 8}, {7, 9}})) << "other channels in order";
  // While the ports appear one by one, nothing is linked to the wrong side.
  const std::vector<PwPort> half = {{4, 31, true, true, "FL"}, {8, 40, false, false, "FL"}};
  EXPECT_EQ(PlanLinks(sink, 40, half), (Links{{4, 8}}));
  const std::vector<PwPort> onlyRight = {{3, 31, true, true, "FR"}, {8, 40, false, false, "FL"}};
  EXPECT_TRUE(PlanLinks(sink, 40, onlyRight).empty());
  EXPECT_TRUE(PlanLinks(sink, 41, ports).empty()) << "no inputs of its own yet";
}

}  // namespace
}  // namespace relay
