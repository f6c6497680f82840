#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "relay/jack_ports.h"

namespace relay {
namespace {

JackPortInfo Physical(const std::string& name, const std::string& alias = "") {
  JackPortInfo port{name, {}, true};
  if (!alias.empty()) port.aliases.push_back(alias);
  return port;
}

std::vector<std::string> Names(const std::vector<JackDeviceSpec>& devices) {
  std::vector<std::string> names;
  for (const auto& d : devices)
    names.push_back(d.name + " = " + d.sources[0] + " + " + d.sources[1]);
  return names;
}

TEST(JackPorts, CaptureDevicesPairPhysicalPortsAndNameThemAfterTheHardware) {
  const std::vector<JackPortInfo> ports = {
      Physical("system:capture_1", "dummy_pcm:dummy:out1"),
      Physical("system:capture_2", "dummy_pcm:dummy:out2"),
      Physical("system:capture_3", "alsa_pcm:hw:USB:out1"),
      Physical("system:capture_4", "alsa_pcm:hw:USB:out2"),
      Physical("system:capture_5", "alsa_pcm:hw:USB:out3"),
      Physical("system:capture_6", "alsa_pcm:hw:USB:out4"),
      Physical("system:capture_7", "alsa_pcm:hw:USB:out5"),
      {"synth:out_l", {}, false},
      Physical("Built-in Audio Analog Stereo:capture_FL", "alsa:pcm:0:front:capture_FL"),
      Physical("Built-in Audio Analog Stereo:capture_FR"),
      Physical("USB Mic:capture_MONO"),
  };
  EXPECT_EQ(Names(CaptureDevices(ports)),
            (std::vector<std::string>{
                "dummy = system:capture_1 + system:capture_2",
                "hw:USB 1-2 = system:capture_3 + system:capture_4",
                "hw:USB 3-4 = system:capture_5 + system:capture_6",
                "hw:USB 5 = system:capture_7 + system:capture_7",
                "Built-in Audio Analog Stereo = Built-in Audio Analog Stereo:capture_FL + "
                "Built-in Audio Analog Stereo:capture_FR",
                "USB Mic = USB Mic:capture_MONO + USB Mic:capture_MONO",
            }));
  EXPECT_TRUE(CaptureDevices({{"synth:out_l", {}, false}}).empty());
}

TEST(JackPorts, NamesPortsAndChannels) {
  EXPECT_EQ(InputPortName("Guitar", 0), "Guitar left");
  EXPECT_EQ(InputPortName("hw:USB 1-2", 1), "hw-USB 1-2 right");
  EXPECT_EQ(InputPortName(std::string(300, 'x'), 0).size(), 205u);
  EXPECT_EQ(PortChannelName("system:capture_1"), "capture_1");
  EXPECT_EQ(PortChannelName("Built-in Audio Analog Stereo:monitor_FL"), "monitor_FL");
  EXPECT_EQ(PortChannelName("odd"), "odd");
}

}  // namespace
}  // namespace relay
