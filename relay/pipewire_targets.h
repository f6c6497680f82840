// What the relay knows of a PipeWire graph (nodes and ports, as the registry
// announces them) and the decisions taken from it: which node a device's
// target names, and which ports to link so that the device hears it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace relay {

struct PwNode {
  uint32_t id = 0;
  uint64_t serial = 0;
  std::string name;         // node.name
  std::string description;  // node.description, or the media name of a stream
  std::string mediaClass;   // "Audio/Source", "Audio/Sink", "Stream/Output/Audio", ...
};

struct PwPort {
  uint32_t id = 0;
  uint32_t node = 0;
  bool output = false;
  bool monitor = false;  // an output device's copy of what it plays
  std::string channel;   // "FL", "FR", "MONO", ... or empty
};

// How a device finds what it captures.
enum class PwMode {
  kOpen,           // nothing: programs and patchbays connect to it
  kTarget,         // the node its target names, linked by the relay
  kDefaultInput,   // the desktop's default input device, linked by the session manager
  kDefaultOutput,  // the monitor of the desktop's default output device, likewise
};

struct PwDeviceSpec {
  std::string name;
  PwMode mode = PwMode::kOpen;
  std::string target;  // kTarget only
};

// What a node is to a user ("input device", "output device", "application"),
// or null when a device cannot capture it.
const char* CapturableKind(const std::string& mediaClass);

// The capturable node a target names: by node name first, then description,
// then object serial. Null when there is none.
const PwNode* FindTarget(const std::vector<PwNode>& nodes, const std::string& target);

// Links (output port, input port) that make the stereo input node own hear
// node: an output device's monitor ports, any other node's outputs; the
// channels FL and FR (or the first two) to own's FL and FR, one channel alone
// to both.
std::vector<std::pair<uint32_t, uint32_t>> PlanLinks(const PwNode& node, uint32_t own,
                                                     const std::vector<PwPort>& ports);

}  // namespace relay
