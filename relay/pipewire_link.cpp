#include "relay/pipewire_link.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

namespace relay {

namespace {

void InitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { pw_init(nullptr, nullptr); });
}

std::string Get(const spa_dict* props, const char* key) {
  const char* value = props ? spa_dict_lookup(props, key) : nullptr;
  return value ? value : "";
}

}  // namespace

struct PwStream {
  PipeWireLink::Impl* impl = nullptr;
  PwDeviceSpec spec;
  JackFeed* feed = nullptr;
  pw_stream* stream = nullptr;
  spa_hook listener{};
  std::map<std::pair<uint32_t, uint32_t>, pw_proxy*> links;  // (output, input) port ids
  std::atomic<bool> linked{false};
};

struct PipeWireLink::Impl {
  pw_thread_loop* loop = nullptr;
  pw_context* context = nullptr;
  pw_core* core = nullptr;
  pw_registry* registry = nullptr;
  spa_hook coreListener{};
  spa_hook registryListener{};
  std::vector<std::unique_ptr<PwStream>> streams;
  std::vector<std::shared_ptr<JackFeed>> owned;
  std::map<uint32_t, PwNode> nodes;  // the graph as the registry tells it (loop thread)
  std::map<uint32_t, PwPort> ports;
  std::function<void()> onLost;
  std::atomic<bool> lost{false};
  int syncSeq = -1;
  bool synced = false;
  bool closing = false;  // destroying a stream reports its state once more
};

namespace {

using Impl = PipeWireLink::Impl;

// The real-time thread: copies the buffer's frames into the ring, nothing else.
void OnProcess(void* data) {
  auto* s = static_cast<PwStream*>(data);
  pw_buffer* b = pw_stream_dequeue_buffer(s->stream);
  if (!b) return;
  const spa_data& d = b->buffer->datas[0];
  if (d.data && d.chunk) {
    const uint32_t offset = std::min(d.chunk->offset, d.maxsize);
    const uint32_t size = std::min(d.chunk->size, d.maxsize - offset);
    const size_t frames = size / (2 * sizeof(float));
    if (frames) s->feed->Received(frames);
    s->feed->PushInterleaved(
        reinterpret_cast<const float*>(static_cast<const uint8_t*>(d.data) + offset), frames);
  }
  pw_stream_queue_buffer(s->stream, b);
}

// The negotiated format gives the graph's rate: a new stream for the feed.
void OnParamChanged(void* data, uint32_t id, const spa_pod* param) {
  auto* s = static_cast<PwStream*>(data);
  if (!param || id != SPA_PARAM_Format) return;
  spa_audio_info_raw info{};
  if (spa_format_audio_raw_parse(param, &info) < 0 || info.rate == 0) return;
  s->feed->Start(static_cast<int>(info.rate), s->feed->period());
}

void Relink(Impl* impl);

void OnStateChanged(void* data, pw_stream_state, pw_stream_state, const char*) {
  Relink(static_cast<PwStream*>(data)->impl);
}

const pw_stream_events& StreamEvents() {
  static const pw_stream_events events = [] {
    pw_stream_events e{};
    e.version = PW_VERSION_STREAM_EVENTS;
    e.state_changed = OnStateChanged;
    e.param_changed = OnParamChanged;
    e.process = OnProcess;
    return e;
  }();
  return events;
}

// A link owned by the relay's connection: it goes with the relay.
pw_proxy* CreateLink(Impl* impl, uint32_t outNode, uint32_t outPort, uint32_t inNode,
                     uint32_t inPort) {
  pw_properties* props = pw_properties_new(PW_KEY_OBJECT_LINGER, "false", nullptr);
  pw_properties_setf(props, PW_KEY_LINK_OUTPUT_NODE, "%u", outNode);
  pw_properties_setf(props, PW_KEY_LINK_OUTPUT_PORT, "%u", outPort);
  pw_properties_setf(props, PW_KEY_LINK_INPUT_NODE, "%u", inNode);
  pw_properties_setf(props, PW_KEY_LINK_INPUT_PORT, "%u", inPort);
  auto* proxy = static_cast<pw_proxy*>(pw_core_create_object(
      impl->core, "link-factory", PW_TYPE_INTERFACE_Link, PW_VERSION_LINK, &props->dict, 0));
  pw_properties_free(props);
  return proxy;
}

void LinkStream(Impl* impl, PwStream* s) {
  const uint32_t own = pw_stream_get_node_id(s->stream);
  std::vector<PwNode> nodes;
  for (const auto& n : impl->nodes) nodes.push_back(n.second);
  std::vector<PwPort> ports;
  for (const auto& p : impl->ports) ports.push_back(p.second);
  const PwNode* target = own == SPA_ID_INVALID ? nullptr : FindTarget(nodes, s->spec.target);
  std::vector<std::pair<uint32_t, uint32_t>> plan;
  if (target) plan = PlanLinks(*target, own, ports);
  // Links whose ports went, or that no longer fit, go.
  for (auto it = s->links.begin(); it != s->links.end();) {
    if (std::find(plan.begin(), plan.end(), it->first) != plan.end()) {
      ++it;
      continue;
    }
    pw_proxy_destroy(it->second);
    it = s->links.erase(it);
  }
  for (const auto& link : plan) {
    if (s->links.count(link)) continue;
    if (pw_proxy* proxy =
            CreateLink(impl, impl->ports[link.first].node, link.first, own, link.second))
      s->links.emplace(link, proxy);
  }
  s->linked.store(!plan.empty() && plan.size() == s->links.size(), std::memory_order_release);
}

// After any change to the graph: every device with a target is linked to it
// when it is there.
void Relink(Impl* impl) {
  if (!impl->core || impl->closing) return;
  for (auto& s : impl->streams)
    if (s->spec.mode == PwMode::kTarget && s->stream) LinkStream(impl, s.get());
}

void OnGlobal(void* data, uint32_t id, uint32_t, const char* type, uint32_t,
              const spa_dict* props) {
  auto* impl = static_cast<Impl*>(data);
  if (std::strcmp(type, PW_TYPE_INTERFACE_Node) == 0) {
    PwNode node;
    node.id = id;
    node.serial = std::strtoull(Get(props, PW_KEY_OBJECT_SERIAL).c_str(), nullptr, 10);
    node.name = Get(props, PW_KEY_NODE_NAME);
    node.description = Get(props, PW_KEY_NODE_DESCRIPTION);
    if (node.description.empty()) node.description = Get(props, PW_KEY_MEDIA_NAME);
    node.mediaClass = Get(props, PW_KEY_MEDIA_CLASS);
    impl->nodes[id] = node;
  } else if (std::strcmp(type, PW_TYPE_INTERFACE_Port) == 0) {
    PwPort port;
    port.id = id;
    port.node =
        static_cast<uint32_t>(std::strtoul(Get(props, PW_KEY_NODE_ID).c_str(), nullptr, 10));
    port.output = Get(props, PW_KEY_PORT_DIRECTION) == "out";
    port.monitor = Get(props, PW_KEY_PORT_MONITOR) == "true";
    port.channel = Get(props, PW_KEY_AUDIO_CHANNEL);
    impl->ports[id] = port;
  } else {
    return;
  }
  Relink(impl);
}

void OnGlobalRemove(void* data, uint32_t id) {
  auto* impl = static_cast<Impl*>(data);
  if (impl->nodes.erase(id) + impl->ports.erase(id)) Relink(impl);
}

const pw_registry_events& RegistryEvents() {
  static const pw_registry_events events = [] {
    pw_registry_events e{};
    e.version = PW_VERSION_REGISTRY_EVENTS;
    e.global = OnGlobal;
    e.global_remove = OnGlobalRemove;
    return e;
  }();
  return events;
}

void OnCoreDone(void* data, uint32_t id, int seq) {
  auto* impl = static_cast<Impl*>(data);
  if (id != PW_ID_CORE || seq != impl->syncSeq) return;
  impl->synced = true;
  pw_thread_loop_signal(impl->loop, false);
}

// A broken connection is the server gone: the devices play silence.
void OnCoreError(void* data, uint32_t id, int, int res, const char*) {
  auto* impl = static_cast<Impl*>(data);
  if (id != PW_ID_CORE || res != -EPIPE) return;
  for (auto& s : impl->streams) s->feed->Stop();
  if (!impl->lost.exchange(true, std::memory_order_acq_rel) && impl->onLost) impl->onLost();
  pw_thread_loop_signal(impl->loop, false);
}

const pw_core_events& CoreEvents() {
  static const pw_core_events events = [] {
    pw_core_events e{};
    e.version = PW_VERSION_CORE_EVENTS;
    e.done = OnCoreDone;
    e.error = OnCoreError;
    return e;
  }();
  return events;
}

// The loop thread, the context and the connection with its registry; the
// loop is locked on return when it succeeds.
bool Connect(Impl* impl, const char* name, std::string* error) {
  InitOnce();
  // Making a context and connecting read the user's name with getpwuid, whose
  // buffer is the process's: one at a time (the relay's and a listing's).
  static std::mutex connecting;
  std::lock_guard<std::mutex> lock(connecting);
  impl->loop = pw_thread_loop_new(name, nullptr);
  // The real-time configuration gives the process thread a real-time
  // priority where the system allows it: a late wake-up loses a period.
  if (impl->loop)
    impl->context =
        pw_context_new(pw_thread_loop_get_loop(impl->loop),
                       pw_properties_new(PW_KEY_CONFIG_NAME, "client-rt.conf", nullptr), 0);
  if (!impl->context || pw_thread_loop_start(impl->loop) < 0) {
    *error = "PipeWire could not start";
    return false;
  }
  pw_thread_loop_lock(impl->loop);
  pw_properties* props = pw_properties_new(PW_KEY_APP_NAME, "skylane-relay", nullptr);
  impl->core = pw_context_connect(impl->context, props, 0);
  if (!impl->core) {
    pw_thread_loop_unlock(impl->loop);
    *error = "no PipeWire server is running";
    return false;
  }
  pw_core_add_listener(impl->core, &impl->coreListener, &CoreEvents(), impl);
  impl->registry = pw_core_get_registry(impl->core, PW_VERSION_REGISTRY, 0);
  pw_registry_add_listener(impl->registry, &impl->registryListener, &RegistryEvents(), impl);
  return true;
}

pw_properties* StreamProperties(const PwDeviceSpec& spec) {
  pw_properties* props = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Capture", PW_KEY_MEDIA_ROLE, "Production",
      PW_KEY_APP_NAME, "skylane-relay", PW_KEY_NODE_NAME, spec.name.c_str(),
      PW_KEY_NODE_DESCRIPTION, spec.name.c_str(), PW_KEY_MEDIA_NAME, spec.name.c_str(), nullptr);
  // The relay links a device with a target itself: the session manager must
  // neither link it elsewhere nor move it when the desktop's default changes.
  if (spec.mode == PwMode::kTarget) pw_properties_set(props, PW_KEY_NODE_DONT_RECONNECT, "true");
  if (spec.mode == PwMode::kDefaultOutput)
    pw_properties_set(props, PW_KEY_STREAM_CAPTURE_SINK, "true");
  return props;
}

bool StartStream(Impl* impl, PwStream* s) {
  s->stream = pw_stream_new(impl->core, s->spec.name.c_str(), StreamProperties(s->spec));
  if (!s->stream) return false;
  pw_stream_add_listener(s->stream, &s->listener, &StreamEvents(), s);
  // Interleaved stereo float at the graph's own rate: the relay converts,
  // with the ratio its drift control adjusts.
  spa_audio_info_raw info{};
  info.format = SPA_AUDIO_FORMAT_F32;
  info.channels = 2;
  info.position[0] = SPA_AUDIO_CHANNEL_FL;
  info.position[1] = SPA_AUDIO_CHANNEL_FR;
  uint8_t buffer[512];
  spa_pod_builder builder{};
  spa_pod_builder_init(&builder, buffer, sizeof buffer);
  const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
  const bool follows =
      s->spec.mode == PwMode::kDefaultInput || s->spec.mode == PwMode::kDefaultOutput;
  const auto flags =
      static_cast<pw_stream_flags>(PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS |
                                   (follows ? PW_STREAM_FLAG_AUTOCONNECT : PW_STREAM_FLAG_NONE));
  return pw_stream_connect(s->stream, PW_DIRECTION_INPUT, PW_ID_ANY, flags, params, 1) == 0;
}

// No callback runs on the loop thread once it stopped; destroying a stream
// takes it off the real-time thread.
void Teardown(Impl* impl) {
  if (impl->loop) pw_thread_loop_stop(impl->loop);
  impl->closing = true;
  for (auto& s : impl->streams) {
    s->feed->Stop();
    for (auto& link : s->links) pw_proxy_destroy(link.second);
    s->links.clear();
    if (s->stream) pw_stream_destroy(s->stream);
  }
  if (impl->registry) pw_proxy_destroy(reinterpret_cast<pw_proxy*>(impl->registry));
  if (impl->core) pw_core_disconnect(impl->core);
  if (impl->context) pw_context_destroy(impl->context);
  if (impl->loop) pw_thread_loop_destroy(impl->loop);
}

}  // namespace

PipeWireLink::PipeWireLink(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

std::unique_ptr<PipeWireLink> PipeWireLink::Open(
    const std::vector<PwDeviceSpec>& devices, const std::vector<std::shared_ptr<JackFeed>>& feeds,
    std::function<void()> onLost, std::string* error) {
  std::unique_ptr<PipeWireLink> link(new PipeWireLink(std::make_unique<Impl>()));
  Impl* impl = link->impl_.get();
  impl->owned = feeds;
  impl->onLost = std::move(onLost);
  if (!Connect(impl, "skylane-pipewire", error)) return nullptr;
  bool started = true;
  for (size_t d = 0; d < devices.size(); ++d) {
    auto s = std::make_unique<PwStream>();
    s->impl = impl;
    s->spec = devices[d];
    s->feed = feeds[d].get();
    impl->streams.push_back(std::move(s));
    started = started && StartStream(impl, impl->streams.back().get());
  }
  pw_thread_loop_unlock(impl->loop);
  if (!started) *error = "cannot start a PipeWire stream";
  return started ? std::move(link) : nullptr;
}

PipeWireLink::~PipeWireLink() { Teardown(impl_.get()); }

bool PipeWireLink::lost() const { return impl_->lost.load(std::memory_order_acquire); }

bool PipeWireLink::linked(size_t d) const {
  return impl_->streams.at(d)->linked.load(std::memory_order_acquire);
}

bool ListPipeWireNodes(std::vector<PwNode>* nodes, std::string* error) {
  nodes->clear();
  Impl impl;
  if (!Connect(&impl, "skylane-pipewire-list", error)) {
    Teardown(&impl);
    return false;
  }
  impl.syncSeq = pw_core_sync(impl.core, PW_ID_CORE, 0);
  while (!impl.synced && !impl.lost.load())
    if (pw_thread_loop_timed_wait(impl.loop, 5) != 0) break;
  for (const auto& n : impl.nodes)
    if (CapturableKind(n.second.mediaClass)) nodes->push_back(n.second);
  const bool ok = impl.synced;
  pw_thread_loop_unlock(impl.loop);
  Teardown(&impl);
  if (!ok) *error = "PipeWire did not answer";
  return ok;
}

}  // namespace relay
