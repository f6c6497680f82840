#include "plugin/received_stream.h"

#include <cstring>

namespace {

constexpr int kRelayMessageSize = 256;  // 255 characters are kept

void queue(void* queue, const float* samples, int count) {
  static_cast<PlayQueue*>(queue)->Insert(samples, count);
}

}  // namespace

void ReceivedStream::OnAudio(const float* interleaved, int frames) {
  // Read before the stream is confirmed current: an emptying requested when
  // this stream was dropped is then never acknowledged by it.
  const uint32_t requests = mQueue.Requests();
  if (!KeepReading()) return;
  if (mQueue.Acknowledge(requests)) mFeed.Restart(mResampler);
  mFeed.Feed(mResampler, interleaved, frames, ResampleFeed::kMaxFrames, queue, &mQueue);
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
