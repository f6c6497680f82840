// Wire format of the link between the plug-in and the relay: constants and the
// encoders for what the relay sends. All integers are native-order int32.
#pragma once

#include <cstddef>
#include <cstdint>

namespace relay {

constexpr int kDefaultPort = 53669;
constexpr int kSampleRate = 44100;
constexpr int kMaxPacketFrames = 4096;
constexpr int kChannelsPerDevice = 4;
constexpr uint32_t kMaxDeviceId = 0xFFFFFF;

// Control message body: type, device ID, unused, channel, unused, then text.
constexpr size_t kControlBodySize = 280;
constexpr size_t kControlTextOffset = 20;
constexpr size_t kMaxTextLength = 259;
// Header word 0, the body size, then the body.
constexpr size_t kControlRecordSize = 8 + kControlBodySize;

enum ControlType : int32_t {
  kControlText = 0,
  kControlDevice = 1,
  kControlChannelName = 2,
};

// Writes one whole control record; text longer than 259 bytes is cut, the
// rest of the body is zero so the text is always terminated.
void EncodeControl(int32_t type, int32_t deviceId, int32_t channel, const char* text,
                   uint8_t out[kControlRecordSize]);

// Writes the frame count that starts an audio packet.
void EncodeAudioHeader(int32_t frames, uint8_t out[4]);

// Reads a native-order int32 from unaligned bytes.
int32_t ReadInt32(const uint8_t* bytes);

}  // namespace relay
