#include "relay/inbound.h"

#include <algorithm>
#include <cstring>

namespace relay {

bool InboundReader::Feed(const uint8_t* data, size_t size, InboundSink* sink) {
  if (error_ != Error::kNone) return false;
  while (size > 0) {
    uint8_t* target = inHeader_ || header_ == 0 ? bytes_ : reinterpret_cast<uint8_t*>(samples_);
    const size_t take = std::min(size, need_ - have_);
    std::memcpy(target + have_, data, take);
    have_ += take;
    data += take;
    size -= take;
    if (have_ < need_) break;
    have_ = 0;
    if (inHeader_) {
      if (!HeaderDone()) return false;
    } else {
      RecordDone(sink);
    }
  }
  return true;
}

bool InboundReader::HeaderDone() {
  header_ = ReadInt32(bytes_);
  if (header_ < 0 || header_ > kMaxPacketFrames) {
    error_ = header_ < 0 ? Error::kBadHeader : Error::kOversized;
    return false;
  }
  inHeader_ = false;
  need_ = header_ == 0 ? 4 : static_cast<size_t>(header_) * 2 * sizeof(float);
  return true;
}

void InboundReader::RecordDone(InboundSink* sink) {
  if (header_ == 0) sink->OnEffectsLoop(ReadInt32(bytes_) != 0);
  else sink->OnAudio(samples_, header_);
  inHeader_ = true;
  need_ = 4;
}

}  // namespace relay
