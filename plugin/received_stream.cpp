#include "plugin/received_stream.h"

#include <cstring>

namespace {

constexpr int kMaxResampledFrames = 512;
constexpr int kRelayMessageSize = 256;  // 255 characters are kept

}  // namespace

void ReceivedStream::OnAudio(const float* interleaved, int frames) {
  if (mResampler.ratio.load(std::memory_order_relaxed) == 1.0f) {
    cbf_insert(&mFifo, 2 * frames, interleaved);
    return;
  }
  // Nearly equal pieces: a packet just above 512 frames loses nothing to a
  // remainder too short for the resampler.
  const int pieces = (frames + kMaxResampledFrames - 1) / kMaxResampledFrames;
  for (int i = 0, done = 0; i < pieces; ++i) {
    const int size = frames / pieces + (i < frames % pieces ? 1 : 0);
    const int produced = resample_stereo(&mResampler, interleaved + 2 * done, 2 * size);
    if (produced > 0) cbf_insert(&mFifo, produced, resample_buffer(&mResampler));
    done += size;
  }
}

void ReceivedStream::OnControl(const ControlMessage& message) {
  switch (message.type) {
    case 0: {
      char text[kRelayMessageSize];
      std::memcpy(text, message.text, sizeof text - 1);
      text[sizeof text - 1] = '\0';
      mRelayMessage.Set(text);
      break;
    }
    case 1: mDevices.Announce(message.deviceId, message.text); break;
    case 2: mDevices.NameChannel(message.deviceId, message.channel, message.text); break;
    default: break;
  }
}
