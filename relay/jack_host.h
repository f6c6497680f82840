// Keeps the relay's JACK devices connected to a JACK server from a thread of
// its own, so the relay's thread never waits on JACK: connects at start, and
// while no server answers (none yet, or it went away) tries again every few
// seconds; makes and keeps the port connections asked for. Every change is
// one line on the log.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "relay/jack_feed.h"
#include "relay/jack_link.h"
#include "relay/jack_ports.h"
#include "relay/retry_loop.h"
#include "relay/source.h"

namespace relay {

struct JackHostConfig {
  std::string clientName = "skylane-relay";
  double retrySeconds = 2.0;
  double reserveSeconds = 0.030;  // see CaptureSource
  FILE* log = stdout;             // null for none
};

class JackHost {
 public:
  JackHost(const JackHostConfig& config, std::vector<JackDeviceSpec> devices);
  // Stops the thread and closes the client.
  ~JackHost();
  JackHost(const JackHost&) = delete;
  JackHost& operator=(const JackHost&) = delete;

  // The source that plays device (in the order given); it may outlive the host.
  std::unique_ptr<Source> MakeSource(size_t device);
  // Starts the thread, which connects at once.
  void Start();

  // Links made to a server so far; a test waits on this.
  uint32_t links() const { return links_.load(std::memory_order_acquire); }

 private:
  void Supervise();
  void TryLink();
  void KeepConnections();
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

  JackHostConfig config_;
  std::vector<JackDeviceSpec> devices_;
  std::vector<std::shared_ptr<JackFeed>> feeds_;
  std::unique_ptr<JackLink> link_;  // supervisor thread only
  bool announcedAbsent_ = false;    // supervisor thread only
  std::vector<bool> reportedMissing_;
  std::atomic<uint32_t> links_{0};
  RetryLoop loop_{config_.retrySeconds};  // last: stops before the rest goes
};

}  // namespace relay
