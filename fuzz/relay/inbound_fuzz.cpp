// Feeds arbitrary client bytes through the relay's request and record parsers,
// in pieces whose sizes the input also chooses.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "relay/inbound.h"
#include "relay/request.h"

namespace {

struct CheckingSink : relay::InboundSink {
  void OnEffectsLoop(bool) override {}
  void OnAudio(const float* samples, int frames) override {
    if (frames < 1 || frames > relay::kMaxPacketFrames) __builtin_trap();
    float sum = 0.0f;
    for (int i = 0; i < 2 * frames; ++i) sum += std::fabs(samples[i]);
    (void)sum;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  relay::StreamRequest request;
  if (relay::ParseRequestLine(reinterpret_cast<const char*>(data), size, &request) &&
      request.channel > 3)
    __builtin_trap();
  if (size == 0) return 0;
  const size_t piece = data[0] % 64 + 1;
  ++data;
  --size;
  relay::RequestReader reader;
  relay::InboundReader inbound;
  CheckingSink sink;
  for (size_t at = 0; at < size; at += piece) {
    const size_t n = size - at < piece ? size - at : piece;
    size_t used = 0;
    if (reader.status() == relay::RequestReader::Status::kIncomplete)
      used = reader.Feed(data + at, n);
    if (reader.status() == relay::RequestReader::Status::kMalformed) break;
    if (reader.status() == relay::RequestReader::Status::kComplete && used < n &&
        !inbound.Feed(data + at + used, n - used, &sink))
      break;
  }
  return 0;
}
