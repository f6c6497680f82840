#include "relay/audio_packets.h"

#include <cstring>

#include "relay/device.h"
#include "relay/protocol.h"

namespace relay {

AudioPackets::AudioPackets(size_t sources, int frames)
    : frames_(frames),
      packetSize_(4 + static_cast<size_t>(frames) * 2 * sizeof(float)),
      blocks_(sources * static_cast<size_t>(frames) * 2, 0.0f),
      packets_(sources * kChannelsPerDevice * packetSize_),
      ready_(sources * kChannelsPerDevice, false),
      scratch_(packetSize_),
      mapped_(static_cast<size_t>(frames) * 2) {}

void AudioPackets::Clear() { ready_.assign(ready_.size(), false); }

float* AudioPackets::Block(size_t source) {
  return &blocks_[source * static_cast<size_t>(frames_) * 2];
}

const uint8_t* AudioPackets::Get(size_t source, int channel) {
  const size_t slot = source * kChannelsPerDevice + static_cast<size_t>(channel);
  uint8_t* packet = &packets_[slot * packetSize_];
  if (!ready_[slot]) {
    Encode(Block(source), channel, packet);
    ready_[slot] = true;
  }
  return packet;
}

const uint8_t* AudioPackets::EncodeOnce(const float* block, int channel) {
  Encode(block, channel, scratch_.data());
  return scratch_.data();
}

void AudioPackets::Encode(const float* block, int channel, uint8_t* out) {
  EncodeAudioHeader(frames_, out);
  if (channel == 0) {
    std::memcpy(out + 4, block, packetSize_ - 4);
    return;
  }
  MapChannel(channel, block, mapped_.data(), frames_);
  std::memcpy(out + 4, mapped_.data(), packetSize_ - 4);
}

}  // namespace relay
