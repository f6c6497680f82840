#include "relay/device.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace relay {

const char* ChannelName(int channel) {
  static const char* const kNames[kChannelsPerDevice] = {"Stereo", "Left", "Right", "Mono"};
  return channel >= 0 && channel < kChannelsPerDevice ? kNames[channel] : "";
}

const char* ChannelName(const Device& device, int channel) {
  if ((channel == 1 || channel == 2) && !device.sideNames[channel - 1].empty())
    return device.sideNames[channel - 1].c_str();
  return ChannelName(channel);
}

void MapChannel(int channel, const float* in, float* out, int frames) {
  if (channel == 0) {
    std::memcpy(out, in, static_cast<size_t>(frames) * 2 * sizeof(float));
    return;
  }
  for (int i = 0; i < frames; ++i) {
    const float l = in[2 * i], r = in[2 * i + 1];
    const float v = channel == 1 ? l : channel == 2 ? r : 0.5f * (l + r);
    out[2 * i] = v;
    out[2 * i + 1] = v;
  }
}

uint32_t DeviceIdForName(const std::string& name, const std::vector<uint32_t>& taken) {
  // FNV-1a, folded to 24 bits; collisions move on to the next free value.
  uint32_t hash = 2166136261u;
  for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
  uint32_t id = ((hash >> 24) ^ hash) & kMaxDeviceId;
  while (id == 0 || std::find(taken.begin(), taken.end(), id) != taken.end())
    id = (id + 1) & kMaxDeviceId;
  return id;
}

Device& AddDevice(std::vector<Device>* devices, const std::string& name,
                  std::unique_ptr<Source> source) {
  std::vector<uint32_t> taken;
  for (const Device& d : *devices) taken.push_back(d.id);
  Device device;
  device.id = DeviceIdForName(name, taken);
  device.name = name;
  device.source = std::move(source);
  devices->push_back(std::move(device));
  return devices->back();
}

int FindDevice(const std::vector<Device>& devices, uint32_t id) {
  if (id == 0) return devices.empty() ? -1 : 0;
  for (size_t i = 0; i < devices.size(); ++i)
    if (devices[i].id == id) return static_cast<int>(i);
  return -1;
}

}  // namespace relay
