// Feeds arbitrary port lists, as a JACK server might report them, through the
// naming of capture devices and ports. Input: lines "flag name TAB alias...".
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "relay/jack_ports.h"
#include "relay/protocol.h"

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
    parts.push_back(text.substr(start, end - start));
  parts.push_back(text.substr(start));
  return parts;
}

bool Listed(const std::string& port, const std::vector<relay::JackPortInfo>& ports) {
  for (const auto& p : ports)
    if (p.physical && p.name == port) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<relay::JackPortInfo> ports;
  for (const std::string& line :
       Split(std::string(reinterpret_cast<const char*>(data), size), '\n')) {
    if (line.empty()) continue;
    std::vector<std::string> fields = Split(line.substr(1), '\t');
    relay::JackPortInfo port{fields[0], {}, (line[0] & 1) != 0};
    port.aliases.assign(fields.begin() + 1, fields.end());
    ports.push_back(port);
  }
  size_t physical = 0;
  for (const auto& p : ports) physical += p.physical;
  const std::vector<relay::JackDeviceSpec> devices = relay::CaptureDevices(ports);
  if (devices.size() > physical) __builtin_trap();
  for (const auto& device : devices) {
    if (device.name.size() > relay::kMaxTextLength) __builtin_trap();
    if (!Listed(device.sources[0], ports) || !Listed(device.sources[1], ports)) __builtin_trap();
    for (int side = 0; side < 2; ++side)
      if (relay::InputPortName(device.name, side).find(':') != std::string::npos) __builtin_trap();
  }
  return 0;
}
