// What a client sends after its request: effects-loop settings (int32 0, int32
// flag) and audio packets (int32 frames 1-4096, then frames x 2 float32).
#pragma once

#include <cstddef>
#include <cstdint>

#include "relay/protocol.h"

namespace relay {

// Receives the records an InboundReader completes.
class InboundSink {
 public:
  virtual ~InboundSink() = default;
  virtual void OnEffectsLoop(bool on) = 0;
  // samples: frames x 2 interleaved floats, valid only during the call.
  virtual void OnAudio(const float* samples, int frames) = 0;
};

// Splits a byte stream arriving in pieces into records, without allocating.
class InboundReader {
 public:
  enum class Error { kNone, kBadHeader, kOversized };

  // Parses all of data, handing complete records to sink. Returns false (and
  // stops for good) at a negative header or one above 4096 frames.
  bool Feed(const uint8_t* data, size_t size, InboundSink* sink);
  Error error() const { return error_; }
  int32_t badHeader() const { return header_; }

 private:
  bool HeaderDone();
  void RecordDone(InboundSink* sink);

  int32_t header_ = 0;
  size_t need_ = 4;  // bytes still missing from the current part
  size_t have_ = 0;  // bytes of the current part collected
  bool inHeader_ = true;
  Error error_ = Error::kNone;
  uint8_t bytes_[4];
  float samples_[2 * kMaxPacketFrames];
};

}  // namespace relay
