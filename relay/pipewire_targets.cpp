#include "relay/pipewire_targets.h"

#include <algorithm>
#include <cstdlib>

namespace relay {

namespace {

bool IsSink(const std::string& mediaClass) { return mediaClass.rfind("Audio/Sink", 0) == 0; }

bool Stereo(const PwPort* p) { return p->channel == "FL" || p->channel == "FR"; }

// The port for side (0 left, 1 right) among ports in id order, or null. The
// relay's own inputs are FL and FR; a source's single port that is not (MONO)
// feeds both sides, and channels named otherwise (AUX0, AUX1) go in order.
const PwPort* ForSide(const std::vector<const PwPort*>& ports, int side, bool strict) {
  const char* wanted = side == 0 ? "FL" : "FR";
  for (const PwPort* p : ports)
    if (p->channel == wanted) return p;
  if (strict || std::any_of(ports.begin(), ports.end(), Stereo)) return nullptr;
  if (ports.size() == 1) return ports[0];
  return ports.size() > static_cast<size_t>(side) ? ports[static_cast<size_t>(side)] : nullptr;
}

std::vector<const PwPort*> PortsOf(uint32_t node, bool output, bool monitor,
                                   const std::vector<PwPort>& ports) {
  std::vector<const PwPort*> found;
  for (const PwPort& p : ports)
    if (p.node == node && p.output == output && (!output || p.monitor == monitor))
      found.push_back(&p);
  std::sort(found.begin(), found.end(),
            [](const PwPort* a, const PwPort* b) { return a->id < b->id; });
  return found;
}

}  // namespace

const char* CapturableKind(const std::string& mediaClass) {
  if (mediaClass == "Audio/Source" || mediaClass == "Audio/Source/Virtual" ||
      mediaClass == "Audio/Duplex")
    return "input device";
  if (IsSink(mediaClass)) return "output device";
  if (mediaClass == "Stream/Output/Audio") return "application";
  return nullptr;
}

const PwNode* FindTarget(const std::vector<PwNode>& nodes, const std::string& target) {
  if (target.empty()) return nullptr;
  for (auto field : {&PwNode::name, &PwNode::description})
    for (const PwNode& n : nodes)
      if (CapturableKind(n.mediaClass) && n.*field == target) return &n;
  char* end = nullptr;
  const unsigned long long serial = std::strtoull(target.c_str(), &end, 10);
  if (*end || target[0] < '0' || target[0] > '9') return nullptr;
  for (const PwNode& n : nodes)
    if (CapturableKind(n.mediaClass) && n.serial == serial) return &n;
  return nullptr;
}

std::vector<std::pair<uint32_t, uint32_t>> PlanLinks(const PwNode& node, uint32_t own,
                                                     const std::vector<PwPort>& ports) {
  std::vector<std::pair<uint32_t, uint32_t>> links;
  const auto outputs = PortsOf(node.id, true, IsSink(node.mediaClass), ports);
  const auto inputs = PortsOf(own, false, false, ports);
  for (int side = 0; side < 2; ++side) {
    const PwPort* from = ForSide(outputs, side, false);
    const PwPort* to = ForSide(inputs, side, true);
    if (from && to) links.emplace_back(from->id, to->id);
  }
  return links;
}

}  // namespace relay
