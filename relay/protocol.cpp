#include "relay/protocol.h"

#include <cstring>

namespace relay {

namespace {

void WriteInt32(int32_t value, uint8_t* out) { std::memcpy(out, &value, sizeof value); }

}  // namespace

void EncodeControl(int32_t type, int32_t deviceId, int32_t channel, const char* text,
                   uint8_t out[kControlRecordSize]) {
  std::memset(out, 0, kControlRecordSize);
  WriteInt32(0, out);
  WriteInt32(static_cast<int32_t>(kControlBodySize), out + 4);
  uint8_t* body = out + 8;
  WriteInt32(type, body);
  WriteInt32(deviceId, body + 4);
  WriteInt32(channel, body + 12);
  if (text) std::memcpy(body + kControlTextOffset, text, strnlen(text, kMaxTextLength));
}

void EncodeAudioHeader(int32_t frames, uint8_t out[4]) { WriteInt32(frames, out); }

int32_t ReadInt32(const uint8_t* bytes) {
  int32_t value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

}  // namespace relay
