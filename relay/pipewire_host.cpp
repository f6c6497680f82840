#include "relay/pipewire_host.h"

#include <cstdarg>

#include "relay/capture_source.h"

namespace relay {

PipeWireHost::PipeWireHost(const PipeWireHostConfig& config, std::vector<PwDeviceSpec> devices)
    : config_(config), devices_(std::move(devices)), reported_(devices_.size(), -1) {
  for (size_t i = 0; i < devices_.size(); ++i) feeds_.push_back(std::make_shared<JackFeed>());
}

PipeWireHost::~PipeWireHost() = default;

std::unique_ptr<Source> PipeWireHost::MakeSource(size_t device) {
  return std::make_unique<CaptureSource>(feeds_.at(device), config_.reserveSeconds);
}

void PipeWireHost::Start() {
  loop_.Start([this] { Supervise(); }, [this] { link_.reset(); });
}

// One round of the loop: notices a lost server, links again, keeps what the
// link asked for.
void PipeWireHost::Supervise() {
  if (link_ && link_->lost()) {
    link_.reset();
    Log("PipeWire: the server went away; PipeWire devices play silence, retrying every %g s",
        config_.retrySeconds);
    announcedAbsent_ = true;
  }
  // A fresh connection gets a moment to learn the graph before it reports.
  if (!link_) TryLink();
  else ReportTargets();
}

void PipeWireHost::TryLink() {
  std::string error;
  link_ = PipeWireLink::Open(
      devices_, feeds_, [this] { loop_.Wake(); }, &error);
  if (!link_) {
    if (!announcedAbsent_)
      Log("PipeWire: %s; PipeWire devices play silence, retrying every %g s", error.c_str(),
          config_.retrySeconds);
    announcedAbsent_ = true;
    return;
  }
  announcedAbsent_ = false;
  Log("PipeWire: connected");
  links_.fetch_add(1, std::memory_order_release);
}

// A target that comes or goes is one line each time.
void PipeWireHost::ReportTargets() {
  for (size_t d = 0; d < devices_.size(); ++d) {
    if (devices_[d].mode != PwMode::kTarget) continue;
    const int now = link_->linked(d) ? 1 : 0;
    if (now == reported_[d]) continue;
    reported_[d] = now;
    Log(now ? "PipeWire: device %s hears %s"
            : "PipeWire: no node %s to capture; device %s stays silent until it appears",
        (now ? devices_[d].name : devices_[d].target).c_str(),
        (now ? devices_[d].target : devices_[d].name).c_str());
  }
}

void PipeWireHost::Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogLine(config_.log, format, args);
  va_end(args);
}

}  // namespace relay
