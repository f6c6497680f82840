#include "relay/jack_host.h"

#include <chrono>
#include <cstdarg>

#include "relay/capture_source.h"

namespace relay {

JackHost::JackHost(const JackHostConfig& config, std::vector<JackDeviceSpec> devices)
    : config_(config), devices_(std::move(devices)), reportedMissing_(2 * devices_.size()) {
  for (size_t i = 0; i < devices_.size(); ++i) feeds_.push_back(std::make_shared<JackFeed>());
}

JackHost::~JackHost() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

std::unique_ptr<Source> JackHost::MakeSource(size_t device) {
  return std::make_unique<CaptureSource>(feeds_.at(device), config_.reserveSeconds);
}

void JackHost::Start() {
  thread_ = std::thread([this] { Supervise(); });
}

void JackHost::Supervise() {
  do {
    if (link_ && link_->lost()) {
      link_.reset();
      Log("JACK: the server went away; JACK devices play silence, retrying every %g s",
          config_.retrySeconds);
      announcedAbsent_ = true;
    }
    if (!link_) TryLink();
    if (link_) KeepConnections();
  } while (Wait());
  link_.reset();
}

// Sleeps for the retry period; false once the host is stopping. A lost server
// wakes it early.
bool JackHost::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait_for(lock, std::chrono::duration<double>(config_.retrySeconds),
                 [this] { return stop_ || lost_; });
  lost_ = false;
  return !stop_;
}

void JackHost::TryLink() {
  std::string error;
  link_ = JackLink::Open(
      config_.clientName, devices_, feeds_,
      [this] {
        {
          std::lock_guard<std::mutex> lock(mutex_);
          lost_ = true;
        }
        wake_.notify_all();
      },
      &error);
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

// One whole line per call, so lines from the relay's thread never interleave.
void JackHost::Log(const char* format, ...) {
  if (!config_.log) return;
  char line[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  fprintf(config_.log, "%s\n", line);
  fflush(config_.log);
}

}  // namespace relay
