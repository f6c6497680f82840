#include "bench/e2e/impulse_player.h"

#include <pipewire/pipewire.h>
#include <spa/param/audio/format-utils.h>

#include <cmath>
#include <string>

#include "tests/e2e/plugin_rack.h"

struct ImpulsePlayer::Listener {
  spa_hook hook{};
  pw_stream_events events{};
};

bool ImpulsePlayer::Start(const std::string& sink, int quantum) {
  pw_init(nullptr, nullptr);
  loop_ = pw_thread_loop_new("impulse-player", nullptr);
  if (!loop_) return false;
  const std::string latency = std::to_string(quantum) + "/" + std::to_string(kRate);
  pw_properties* props = pw_properties_new(
      PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY, "Playback", PW_KEY_MEDIA_ROLE,
      "Production", PW_KEY_TARGET_OBJECT, sink.c_str(), PW_KEY_NODE_LATENCY, latency.c_str(),
      PW_KEY_NODE_DONT_RECONNECT, "true", nullptr);
  listener_ = new Listener;
  listener_->events.version = PW_VERSION_STREAM_EVENTS;
  listener_->events.process = &ImpulsePlayer::OnProcess;
  pw_thread_loop_lock(loop_);
  stream_ = pw_stream_new_simple(pw_thread_loop_get_loop(loop_), "impulse-player", props,
                                 &listener_->events, this);
  spa_audio_info_raw info{};
  info.format = SPA_AUDIO_FORMAT_F32;
  info.rate = kRate;
  info.channels = 2;
  info.position[0] = SPA_AUDIO_CHANNEL_FL;
  info.position[1] = SPA_AUDIO_CHANNEL_FR;
  uint8_t buffer[512];
  spa_pod_builder builder{};
  spa_pod_builder_init(&builder, buffer, sizeof buffer);
  const spa_pod* params[1] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &info)};
  const auto flags = static_cast<pw_stream_flags>(
      PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS | PW_STREAM_FLAG_RT_PROCESS);
  const bool ok =
      stream_ && pw_stream_connect(stream_, PW_DIRECTION_OUTPUT, PW_ID_ANY, flags, params, 1) == 0;
  pw_thread_loop_unlock(loop_);
  return ok && pw_thread_loop_start(loop_) == 0;
}

void ImpulsePlayer::Stop() {
  if (loop_) pw_thread_loop_stop(loop_);
  if (stream_) pw_stream_destroy(stream_);
  if (loop_) pw_thread_loop_destroy(loop_);
  stream_ = nullptr;
  loop_ = nullptr;
  delete listener_;
  listener_ = nullptr;
}

std::vector<double> ImpulsePlayer::Impulses() {
  std::lock_guard<std::mutex> lock(mutex_);
  return impulses_;
}

void ImpulsePlayer::OnProcess(void* data) { static_cast<ImpulsePlayer*>(data)->Process(); }

void ImpulsePlayer::Process() {
  const double now = MonotonicSeconds();
  pw_buffer* b = pw_stream_dequeue_buffer(stream_);
  if (!b) return;
  spa_data& d = b->buffer->datas[0];
  auto* out = static_cast<float*>(d.data);
  if (!out) return void(pw_stream_queue_buffer(stream_, b));
  uint32_t frames = d.maxsize / (2 * sizeof(float));
  if (b->requested > 0 && b->requested < frames) frames = uint32_t(b->requested);
  for (uint32_t i = 0; i < frames; ++i, ++frame_) {
    float v = kBedLevel * float(std::sin(2 * M_PI * 440.0 * double(frame_) / kRate));
    if (frame_ % kRate == 0) {
      v = 1.0f;
      std::lock_guard<std::mutex> lock(mutex_);
      impulses_.push_back(now + double(i) / kRate);
    }
    out[2 * i] = v;
    out[2 * i + 1] = v;
  }
  d.chunk->offset = 0;
  d.chunk->stride = 2 * sizeof(float);
  d.chunk->size = frames * 2 * sizeof(float);
  pw_stream_queue_buffer(stream_, b);
}
