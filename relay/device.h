// The relay's devices: a named stereo source with four named channels.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "relay/protocol.h"
#include "relay/source.h"

namespace relay {

// Most devices a relay serves: as many as the plug-in's device table holds.
constexpr size_t kMaxDevices = 16;

struct Device {
  uint32_t id = 0;
  std::string name;
  std::unique_ptr<Source> source;  // null: a loopback device
  std::string sideNames[2];        // left and right channel names; empty: "Left", "Right"
};

// Channel names a device announces; the channel picks a view of the source:
// both sides, left on both, right on both, or their mix on both.
const char* ChannelName(int channel);
const char* ChannelName(const Device& device, int channel);

// Writes frames of the given channel's view of interleaved stereo input.
void MapChannel(int channel, const float* in, float* out, int frames);

// A stable ID for a name, non-zero and at most 0xFFFFFF, distinct from taken.
uint32_t DeviceIdForName(const std::string& name, const std::vector<uint32_t>& taken);

// Appends a device named name with a stable ID; source null makes a loopback.
// Returns the new device.
Device& AddDevice(std::vector<Device>* devices, const std::string& name,
                  std::unique_ptr<Source> source);

// Index of the device asked for (ID 0: the first), or -1.
int FindDevice(const std::vector<Device>& devices, uint32_t id);

}  // namespace relay
