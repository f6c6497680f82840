#include "plugin/relay_stream.h"

#include <cstring>

namespace {

constexpr int32_t kHeaderPreset = 8675;

int32_t wordAt(const unsigned char* body, int offset) {
  int32_t value;
  std::memcpy(&value, body + offset, sizeof value);
  return value;
}

// Skips n bytes; false when the stream ends first.
bool skip(ByteSource& source, int64_t n) {
  unsigned char scratch[1024];
  while (n > 0) {
    const size_t chunk =
        n < static_cast<int64_t>(sizeof scratch) ? static_cast<size_t>(n) : sizeof scratch;
    if (source.Read(scratch, chunk) != static_cast<long>(chunk)) return false;
    n -= static_cast<int64_t>(chunk);
  }
  return true;
}

void decode(const unsigned char* body, ControlMessage* message) {
  message->type = wordAt(body, 0);
  message->deviceId = wordAt(body, 4);
  message->channel = wordAt(body, 12);
  std::memcpy(message->text, body + kControlTextOffset, kControlTextSize - 1);
  message->text[kControlTextSize - 1] = '\0';
}

}  // namespace

ControlRead ReadControlMessage(ByteSource& source, ControlMessage* message, int32_t* size) {
  *size = 0;
  if (source.Read(size, sizeof *size) != static_cast<long>(sizeof *size))
    return ControlRead::kEnded;
  if (*size < 0) return ControlRead::kBadSize;
  unsigned char body[kControlBodySize] = {};
  const int kept = *size < kControlBodySize ? *size : kControlBodySize;
  if (kept > 0 && source.Read(body, static_cast<size_t>(kept)) != kept)
    return ControlRead::kShortBody;
  if (!skip(source, static_cast<int64_t>(*size) - kept)) return ControlRead::kShortBody;
  decode(body, message);
  return ControlRead::kMessage;
}

StreamEnd ReadRelayStream(ByteSource& source, StreamHandler& handler, float* packet) {
  for (;;) {
    int32_t header = kHeaderPreset;
    const long got = source.Read(&header, sizeof header);
    if (got != static_cast<long>(sizeof header)) return {StreamEnd::kClosed, got, header};
    if (!handler.KeepReading()) return {StreamEnd::kStopped, got, header};
    if (header == 0) {
      ControlMessage message;
      int32_t size;
      const ControlRead read = ReadControlMessage(source, &message, &size);
      if (read == ControlRead::kEnded) return {StreamEnd::kClosed, 0, header};
      if (read != ControlRead::kMessage) return {StreamEnd::kBadControl, size, header};
      if (!handler.KeepReading()) return {StreamEnd::kStopped, got, header};
      handler.OnControl(message);
      continue;
    }
    if (static_cast<uint32_t>(header) > static_cast<uint32_t>(kMaxPacketFrames))
      return {StreamEnd::kBadHeader, got, header};
    const long bytes = 8L * header;
    const long payload = source.Read(packet, static_cast<size_t>(bytes));
    if (payload != bytes) return {StreamEnd::kShortPayload, payload, header};
    if (!handler.KeepReading()) return {StreamEnd::kStopped, payload, header};
    handler.OnAudio(packet, header);
  }
}
