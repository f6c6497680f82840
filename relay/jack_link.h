// One client connection to a running JACK server (or PipeWire's JACK
// library): two input ports per device, whose audio the process callback
// copies into the device's feed. Never starts a server.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "relay/jack_feed.h"
#include "relay/jack_ports.h"

namespace relay {

class JackLink {
 public:
  enum class ConnectResult { kConnected, kNoSuchPort, kFailed };

  // Opens the client, registers the ports and starts processing: each feed
  // starts a stream at the server's rate. onLost is called (once, from a JACK
  // thread) when the server goes away; the feeds are stopped by then. Null
  // with a message when no server answers or the client cannot start.
  static std::unique_ptr<JackLink> Open(const std::string& clientName,
                                        const std::vector<JackDeviceSpec>& devices,
                                        const std::vector<std::shared_ptr<JackFeed>>& feeds,
                                        std::function<void()> onLost, std::string* error);
  // Stops the feeds and closes the client.
  ~JackLink();
  JackLink(const JackLink&) = delete;
  JackLink& operator=(const JackLink&) = delete;

  // Makes sure source feeds side (0 left, 1 right) of device.
  ConnectResult Connect(const std::string& source, size_t device, int side);
  bool lost() const;
  // The name the server gave the client, its rate and period.
  std::string clientName() const;
  int sampleRate() const;
  int period() const;

  struct Impl;

 private:
  explicit JackLink(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The output ports of the running server (what a device can connect to).
// False with a message when no server answers.
bool ListJackOutputs(std::vector<JackPortInfo>* ports, std::string* error);

}  // namespace relay
