#include "plugin/received_stream.h"

#include <cstring>

namespace {

constexpr int kRelayMessageSize = 256;  // 255 characters are kept

void queue(void* fifo, const float* samples, int count) {
  cbf_insert(static_cast<SampleFifo*>(fifo), count, samples);
}

}  // namespace

void ReceivedStream::OnAudio(const float* interleaved, int frames) {
  mFeed.Feed(mResampler, interleaved, frames, ResampleFeed::kMaxFrames, queue, &mFifo);
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
