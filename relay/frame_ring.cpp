#include "relay/frame_ring.h"

#include <algorithm>
#include <cstring>

namespace relay {

namespace {

size_t RoundUpToPowerOfTwo(size_t n) {
  size_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

}  // namespace

FrameRing::FrameRing(size_t capacityFrames)
    : data_(2 * RoundUpToPowerOfTwo(std::max<size_t>(capacityFrames, 1))),
      mask_(data_.size() / 2 - 1) {}

size_t FrameRing::Write(const float* frames, size_t count) {
  const size_t head = head_.load(std::memory_order_relaxed);
  const size_t tail = tail_.load(std::memory_order_acquire);
  count = std::min(count, capacity() - (head - tail));
  const size_t start = head & mask_;
  const size_t first = std::min(count, capacity() - start);
  std::memcpy(&data_[2 * start], frames, first * 2 * sizeof(float));
  std::memcpy(&data_[0], frames + 2 * first, (count - first) * 2 * sizeof(float));
  head_.store(head + count, std::memory_order_release);
  return count;
}

size_t FrameRing::Read(float* frames, size_t count) {
  const size_t tail = tail_.load(std::memory_order_relaxed);
  count = std::min(count, head_.load(std::memory_order_acquire) - tail);
  CopyOut(tail & mask_, frames, count);
  tail_.store(tail + count, std::memory_order_release);
  return count;
}

size_t FrameRing::Discard(size_t count) {
  const size_t tail = tail_.load(std::memory_order_relaxed);
  count = std::min(count, head_.load(std::memory_order_acquire) - tail);
  tail_.store(tail + count, std::memory_order_release);
  return count;
}

size_t FrameRing::Available() const {
  return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire);
}

void FrameRing::CopyOut(size_t start, float* frames, size_t count) const {
  const size_t first = std::min(count, capacity() - start);
  std::memcpy(frames, &data_[2 * start], first * 2 * sizeof(float));
  std::memcpy(frames + 2 * first, &data_[0], (count - first) * 2 * sizeof(float));
}

}  // namespace relay
