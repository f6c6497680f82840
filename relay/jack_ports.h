// JACK port names as the relay uses them: which ports a device connects to,
// the names it gives its own ports, and the devices --jack-capture makes.
#pragma once

#include <string>
#include <vector>

namespace relay {

// An output port of the JACK graph, as listed by the server.
struct JackPortInfo {
  std::string name;  // "client:port"
  std::vector<std::string> aliases;
  bool physical = false;
};

// A JACK device: the source ports its left and right inputs connect to (the
// same port twice for a mono source), or none when the user connects them.
struct JackDeviceSpec {
  std::string name;
  std::string sources[2];
  bool connects() const { return !sources[0].empty(); }
};

// The short name of the relay's input port for one side (0 left, 1 right) of a
// device: "<device> left", with characters JACK reserves replaced.
std::string InputPortName(const std::string& device, int side);

// The channel name a source port gives its side: the port's short name.
std::string PortChannelName(const std::string& port);

// One device for every pair of physical capture ports, in the server's order;
// a port left over makes a mono device. A device is named after the hardware
// in the ports' alias ("alsa_pcm:hw:USB:out1" gives "hw:USB"), or else after
// the client ("Built-in Audio Analog Stereo"), numbered when it has more pairs.
std::vector<JackDeviceSpec> CaptureDevices(const std::vector<JackPortInfo>& outputs);

}  // namespace relay
