// Keeps the relay's PipeWire devices connected from a thread of its own, so
// the relay's thread never waits on PipeWire: connects at start, and while no
// server answers (none yet, or it went away) tries again every second. Every
// change is one line on the log.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "relay/jack_feed.h"
#include "relay/pipewire_link.h"
#include "relay/retry_loop.h"
#include "relay/source.h"

namespace relay {

struct PipeWireHostConfig {
  double retrySeconds = 1.0;
  double reserveSeconds = 0.030;  // see CaptureSource
  FILE* log = stdout;             // null for none
};

class PipeWireHost {
 public:
  PipeWireHost(const PipeWireHostConfig& config, std::vector<PwDeviceSpec> devices);
  // Stops the thread and closes the connection.
  ~PipeWireHost();
  PipeWireHost(const PipeWireHost&) = delete;
  PipeWireHost& operator=(const PipeWireHost&) = delete;

  // The source that plays device (in the order given); it may outlive the host.
  std::unique_ptr<Source> MakeSource(size_t device);
  // Starts the thread, which connects at once.
  void Start();

  // Connections made to a server so far; a test waits on this.
  uint32_t links() const { return links_.load(std::memory_order_acquire); }

 private:
  void Supervise();
  void TryLink();
  void ReportTargets();
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

  PipeWireHostConfig config_;
  std::vector<PwDeviceSpec> devices_;
  std::vector<std::shared_ptr<JackFeed>> feeds_;
  std::unique_ptr<PipeWireLink> link_;  // supervisor thread only
  bool announcedAbsent_ = false;        // supervisor thread only
  std::vector<int> reported_;           // per device: -1 not yet, 0 silent, 1 linked
  std::atomic<uint32_t> links_{0};
  RetryLoop loop_{config_.retrySeconds};  // last: stops before the rest goes
};

}  // namespace relay
