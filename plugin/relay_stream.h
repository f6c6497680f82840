// The relay-to-plug-in stream: records that start with an int32 n. n = 0 is a
// control message (int32 size, then a body of at most 280 bytes); 1 to 4096 is
// that many stereo frames of float audio; anything else is a protocol error.
// Every byte comes from another process and is treated as untrusted.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int kMaxPacketFrames = 4096;
constexpr int kControlBodySize = 280;
constexpr int kControlTextOffset = 20;
constexpr int kControlTextSize = kControlBodySize - kControlTextOffset;  // 259 characters + NUL

// Where the stream's bytes come from.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to n bytes, waiting for all of them: n, fewer when the stream
  // ended, 0 when it was already at its end, negative on an error.
  virtual long Read(void* dest, size_t n) = 0;
};

struct ControlMessage {
  int32_t type;
  int32_t deviceId;
  int32_t channel;
  char text[kControlTextSize];  // always terminated
};

// What the stream delivers.
class StreamHandler {
 public:
  virtual ~StreamHandler() = default;
  virtual void OnAudio(const float* interleaved, int frames) = 0;
  virtual void OnControl(const ControlMessage& message) = 0;
  // Asked after every read; false ends the stream at once.
  virtual bool KeepReading() = 0;
};

struct StreamEnd {
  enum Reason {
    kClosed,        // a header read found the end or an error
    kBadHeader,     // n above 4096 or negative
    kShortPayload,  // audio cut short
    kBadControl,    // control size negative or its body cut short
    kStopped,       // the handler asked to stop
  };
  Reason reason;
  long readResult;  // result of the last read
  int32_t header;   // last header word (preset 8675 before each read)
};

// Reads records until the stream ends. `packet` holds kMaxPacketFrames stereo frames.
StreamEnd ReadRelayStream(ByteSource& source, StreamHandler& handler, float* packet);

// Reads one control message after a zero header. A body above 280 bytes keeps
// its first 280 and the rest is skipped; missing fields read as zero.
enum class ControlRead { kMessage, kEnded, kBadSize, kShortBody };
ControlRead ReadControlMessage(ByteSource& source, ControlMessage* message, int32_t* size);
