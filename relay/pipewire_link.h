// One connection to a running PipeWire server: a stereo capture stream per
// device, whose audio the process callback copies into the device's feed. A
// device with a target is linked to it by the relay itself, again whenever the
// target (re)appears; the desktop devices are left to the session manager,
// which links them to the defaults and moves them when the defaults change.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "relay/jack_feed.h"
#include "relay/pipewire_targets.h"

namespace relay {

class PipeWireLink {
 public:
  // Connects and starts a stream per device; each feed starts a stream at the
  // graph's rate once the format is known. onLost is called (once, from
  // PipeWire's thread) when the server goes away; the feeds are stopped by
  // then. Null with a message when no server answers.
  static std::unique_ptr<PipeWireLink> Open(const std::vector<PwDeviceSpec>& devices,
                                            const std::vector<std::shared_ptr<JackFeed>>& feeds,
                                            std::function<void()> onLost, std::string* error);
  // Stops the feeds, the streams and the connection.
  ~PipeWireLink();
  PipeWireLink(const PipeWireLink&) = delete;
  PipeWireLink& operator=(const PipeWireLink&) = delete;

  bool lost() const;
  // Whether device d is linked to its target now (kTarget devices only).
  bool linked(size_t d) const;

  struct Impl;

 private:
  explicit PipeWireLink(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The nodes of the running server a device can capture. False with a message
// when no server answers.
bool ListPipeWireNodes(std::vector<PwNode>* nodes, std::string* error);

}  // namespace relay
