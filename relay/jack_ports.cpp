#include "relay/jack_ports.h"

#include <algorithm>

#include "relay/protocol.h"

namespace relay {

namespace {

// Longest short name given to a port of ours; JACK allows more, but a full
// name must stay below its limit of 256 bytes with the client name in front.
constexpr size_t kMaxPortNameLength = 200;

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// jackd's hardware drivers alias their ports "<driver>_pcm:<device>:<port>".
std::string HardwareName(const std::string& alias) {
  const size_t first = alias.find(':');
  const size_t last = alias.rfind(':');
  if (first == std::string::npos || last <= first + 1) return "";
  if (!EndsWith(alias.substr(0, first), "_pcm")) return "";
  return alias.substr(first + 1, last - first - 1);
}

std::string DeviceBaseName(const JackPortInfo& port) {
  for (const std::string& alias : port.aliases) {
    const std::string name = HardwareName(alias);
    if (!name.empty()) return name;
  }
  return port.name.substr(0, port.name.find(':'));
}

struct Group {
  std::string base;
  std::vector<std::string> ports;
};

JackDeviceSpec DeviceForPorts(const Group& group, size_t first) {
  JackDeviceSpec spec;
  const bool pair = first + 1 < group.ports.size();
  spec.sources[0] = group.ports[first];
  spec.sources[1] = group.ports[pair ? first + 1 : first];
  spec.name = group.base;
  if (group.ports.size() > 2) {
    spec.name += " " + std::to_string(first + 1);
    if (pair) spec.name += "-" + std::to_string(first + 2);
  }
  if (spec.name.size() > kMaxTextLength) spec.name.resize(kMaxTextLength);
  return spec;
}

}  // namespace

std::string InputPortName(const std::string& device, int side) {
  std::string name = device.substr(0, kMaxPortNameLength) + (side == 0 ? " left" : " right");
  std::replace(name.begin(), name.end(), ':', '-');
  return name;
}

std::string PortChannelName(const std::string& port) {
  const size_t colon = port.find(':');
  return colon == std::string::npos ? port : port.substr(colon + 1);
}

std::vector<JackDeviceSpec> CaptureDevices(const std::vector<JackPortInfo>& outputs) {
  std::vector<Group> groups;
  for (const JackPortInfo& port : outputs) {
    if (!port.physical) continue;
    const std::string base = DeviceBaseName(port);
    auto group =
        std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.base == base; });
    if (group == groups.end()) group = groups.insert(groups.end(), Group{base, {}});
    group->ports.push_back(port.name);
  }
  std::vector<JackDeviceSpec> devices;
  for (const Group& group : groups)
    for (size_t first = 0; first < group.ports.size(); first += 2)
      devices.push_back(DeviceForPorts(group, first));
  return devices;
}

}  // namespace relay
