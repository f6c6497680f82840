#include "relay/jack_host.h"

#include <cstdarg>

#include "relay/capture_source.h"

namespace relay {

JackHost::JackHost(const JackHostConfig& config, std::vector<JackDeviceSpec> devices)
    : config_(config), devices_(std::move(devices)), reportedMissing_(2 * devices_.size()) {
  for (size_t i = 0; i < devices_.size(); ++i) feeds_.push_back(std::make_shared<JackFeed>());
}

JackHost::~JackHost() = default;

std::unique_ptr<Source> JackHost::MakeSource(size_t device) {
  return std::make_unique<CaptureSource>(feeds_.at(device), config_.reserveSeconds);
}

void JackHost::Start() {
  loop_.Start([this] { Supervise(); }, [this] { link_.reset(); });
}

// One round of the loop: notices a lost server, links again, keeps what the
// link asked for.
void JackHost::Supervise() {
  if (link_ && link_->lost()) {
    link_.reset();
    Log("JACK: the server went away; JACK devices play silence, retrying every %g s",
        config_.retrySeconds);
    announcedAbsent_ = true;
  }
  if (!link_) TryLink();
  if (link_) KeepConnections();
}

void JackHost::TryLink() {
  std::string error;
  link_ = JackLink::Open(
      config_.clientName, devices_, feeds_, [this] { loop_.Wake(); }, &error);
  if (!link_) {
    if (!announcedAbsent_)
      Log("JACK: %s; JACK devices play silence, retrying every %g s", error.c_str(),
          config_.retrySeconds);
    announcedAbsent_ = true;
    return;
  }
  announcedAbsent_ = false;
  reportedMissing_.assign(reportedMissing_.size(), false);
  Log("JACK: connected as %s, %d Hz, %d frames per period", link_->clientName().c_str(),
      link_->sampleRate(), link_->period());
  links_.fetch_add(1, std::memory_order_release);
}

// Connections asked for on the command line are made, and made again when a
// source port comes back after its program restarted.
void JackHost::KeepConnections() {
  for (size_t d = 0; d < devices_.size(); ++d) {
    if (!devices_[d].connects()) continue;
    for (int side = 0; side < 2; ++side) {
      const std::string& source = devices_[d].sources[side];
      const auto result = link_->Connect(source, d, side);
      const size_t slot = 2 * d + static_cast<size_t>(side);
      if (result == JackLink::ConnectResult::kConnected) {
        if (reportedMissing_[slot])
          Log("JACK: port %s is there now; device %s hears it", source.c_str(),
              devices_[d].name.c_str());
        reportedMissing_[slot] = false;
      } else if (!reportedMissing_[slot]) {
        reportedMissing_[slot] = true;
        if (side == 1 && source == devices_[d].sources[0]) continue;  // mono: said once
        Log(result == JackLink::ConnectResult::kNoSuchPort
                ? "JACK: no port named %s; device %s stays silent on that side until it appears"
                : "JACK: cannot connect port %s; device %s stays silent on that side",
            source.c_str(), devices_[d].name.c_str());
      }
    }
  }
}

void JackHost::Log(const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogLine(config_.log, format, args);
  va_end(args);
}

}  // namespace relay
