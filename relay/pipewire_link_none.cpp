// The PipeWire link of a relay built where libpipewire was not found: every
// attempt fails with a message, and the PipeWire devices stay silent.
#include "relay/pipewire_link.h"

namespace relay {

namespace {

constexpr const char* kNoPipeWire = "this relay was built without PipeWire support";

}  // namespace

struct PipeWireLink::Impl {};

PipeWireLink::PipeWireLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<PipeWireLink> PipeWireLink::Open(const std::vector<PwDeviceSpec>&,
                                                 const std::vector<std::shared_ptr<JackFeed>>&,
                                                 std::function<void()>, std::string* error) {
  *error = kNoPipeWire;
  return nullptr;
}

PipeWireLink::~PipeWireLink() = default;

bool PipeWireLink::lost() const { return true; }

bool PipeWireLink::linked(size_t) const { return false; }

bool ListPipeWireNodes(std::vector<PwNode>* nodes, std::string* error) {
  nodes->clear();
  *error = kNoPipeWire;
  return false;
}

}  // namespace relay
