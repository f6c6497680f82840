#include "relay/jack_link.h"

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <utility>

namespace relay {

struct JackLink::Impl {
  jack_client_t* client = nullptr;
  std::vector<jack_port_t*> ports;  // left and right of each device
  std::vector<JackFeed*> feeds;     // fixed while the client is active
  std::vector<std::shared_ptr<JackFeed>> owned;
  std::function<void()> onLost;
  std::atomic<bool> lost{false};
  std::atomic<int> rate{0};
  std::atomic<int> period{0};
};

namespace {

using Impl = JackLink::Impl;

// libjack prints its own diagnostics (every failed attempt while no server
// runs); the relay prints one line of its own instead.
void Quiet(const char*) {}

void SilenceJackOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
  });
}

jack_client_t* OpenClient(const std::string& name, std::string* error) {
  SilenceJackOnce();
  jack_status_t status = jack_status_t();
  jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
  if (client) return client;
  *error = (status & JackServerFailed) ? "no JACK server is running"
                                       : "the JACK client could not start (status " +
                                             std::to_string(static_cast<int>(status)) + ")";
  return nullptr;
}

// The process thread: copies, nothing else.
int Process(jack_nframes_t frames, void* arg) {
  auto* impl = static_cast<Impl*>(arg);
  for (size_t d = 0; d < impl->feeds.size(); ++d) {
    const auto* left = static_cast<const float*>(jack_port_get_buffer(impl->ports[2 * d], frames));
    const auto* right =
        static_cast<const float*>(jack_port_get_buffer(impl->ports[2 * d + 1], frames));
    impl->feeds[d]->Received(frames);
    impl->feeds[d]->Push(left, right, frames);
  }
  return 0;
}

int OnBufferSize(jack_nframes_t frames, void* arg) {
  auto* impl = static_cast<Impl*>(arg);
  impl->period.store(static_cast<int>(frames), std::memory_order_relaxed);
  for (JackFeed* feed : impl->feeds) feed->SetPeriod(static_cast<int>(frames));
  return 0;
}

// A new rate makes a new stream; the call JACK makes at start with the same
// rate changes nothing.
int OnSampleRate(jack_nframes_t rate, void* arg) {
  auto* impl = static_cast<Impl*>(arg);
  if (impl->rate.exchange(static_cast<int>(rate), std::memory_order_relaxed) ==
      static_cast<int>(rate))
    return 0;
  for (JackFeed* feed : impl->feeds)
    feed->Start(static_cast<int>(rate), impl->period.load(std::memory_order_relaxed));
  return 0;
}

// Some JACK libraries (PipeWire's) call only the plain shutdown callback, others
// only the one with a reason; both are registered and the first one counts.
void OnShutdown(void* arg) {
  auto* impl = static_cast<Impl*>(arg);
  for (JackFeed* feed : impl->feeds) feed->Stop();
  if (!impl->lost.exchange(true, std::memory_order_acq_rel) && impl->onLost) impl->onLost();
}

void OnInfoShutdown(jack_status_t, const char*, void* arg) { OnShutdown(arg); }

bool RegisterPorts(Impl* impl, const std::vector<JackDeviceSpec>& devices, std::string* error) {
  for (const JackDeviceSpec& device : devices) {
    for (int side = 0; side < 2; ++side) {
      const std::string name = InputPortName(device.name, side);
      jack_port_t* port = jack_port_register(impl->client, name.c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                             JackPortIsInput | JackPortIsTerminal, 0);
      if (!port) {
        *error = "cannot register the JACK port " + name;
        return false;
      }
      impl->ports.push_back(port);
    }
  }
  return true;
}

}  // namespace

JackLink::JackLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<JackLink> JackLink::Open(const std::string& clientName,
                                         const std::vector<JackDeviceSpec>& devices,
                                         const std::vector<std::shared_ptr<JackFeed>>& feeds,
                                         std::function<void()> onLost, std::string* error) {
  auto impl = std::make_unique<Impl>();
  impl->client = OpenClient(clientName, error);
  if (!impl->client) return nullptr;
  impl->owned = feeds;
  for (const auto& feed : feeds) impl->feeds.push_back(feed.get());
  impl->onLost = std::move(onLost);
  std::unique_ptr<JackLink> link(new JackLink(std::move(impl)));
  Impl* p = link->impl_.get();
  if (!RegisterPorts(p, devices, error)) return nullptr;
  p->rate.store(static_cast<int>(jack_get_sample_rate(p->client)), std::memory_order_relaxed);
  p->period.store(static_cast<int>(jack_get_buffer_size(p->client)), std::memory_order_relaxed);
  jack_set_process_callback(p->client, Process, p);
  jack_set_buffer_size_callback(p->client, OnBufferSize, p);
  jack_set_sample_rate_callback(p->client, OnSampleRate, p);
  jack_on_shutdown(p->client, OnShutdown, p);
  jack_on_info_shutdown(p->client, OnInfoShutdown, p);
  for (JackFeed* feed : p->feeds) feed->Start(p->rate.load(), p->period.load());
  if (jack_activate(p->client) != 0) {
    *error = "cannot activate the JACK client";
    return nullptr;
  }
  return link;
}

JackLink::~JackLink() {
  for (JackFeed* feed : impl_->feeds) feed->Stop();
  if (impl_->client) jack_client_close(impl_->client);
}

JackLink::ConnectResult JackLink::Connect(const std::string& source, size_t device, int side) {
  jack_port_t* input = impl_->ports[2 * device + static_cast<size_t>(side)];
  if (!jack_port_by_name(impl_->client, source.c_str())) return ConnectResult::kNoSuchPort;
  if (jack_port_connected_to(input, source.c_str())) return ConnectResult::kConnected;
  const int rc = jack_connect(impl_->client, source.c_str(), jack_port_name(input));
  return rc == 0 || rc == EEXIST ? ConnectResult::kConnected : ConnectResult::kFailed;
}

bool JackLink::lost() const { return impl_->lost.load(std::memory_order_acquire); }

std::string JackLink::clientName() const { return jack_get_client_name(impl_->client); }

int JackLink::sampleRate() const { return impl_->rate.load(std::memory_order_relaxed); }

int JackLink::period() const { return impl_->period.load(std::memory_order_relaxed); }

bool ListJackOutputs(std::vector<JackPortInfo>* ports, std::string* error) {
  ports->clear();
  jack_client_t* client = OpenClient("skylane-relay-list", error);
  if (!client) return false;
  const char** names = jack_get_ports(client, nullptr, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
  for (size_t i = 0; names && names[i]; ++i) {
    JackPortInfo info;
    info.name = names[i];
    jack_port_t* port = jack_port_by_name(client, names[i]);
    if (port) {
      info.physical = (jack_port_flags(port) & JackPortIsPhysical) != 0;
      std::vector<char> a(static_cast<size_t>(jack_port_name_size())),
          b(static_cast<size_t>(jack_port_name_size()));
      char* aliases[2] = {a.data(), b.data()};
      const int count = jack_port_get_aliases(port, aliases);
      for (int k = 0; k < count && k < 2; ++k) info.aliases.push_back(aliases[k]);
    }
    ports->push_back(info);
  }
  jack_free(names);
  jack_client_close(client);
  return true;
}

}  // namespace relay
