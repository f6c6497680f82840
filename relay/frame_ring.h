// A fixed ring of interleaved stereo float frames for one producer thread and
// one consumer thread. Never allocates after construction.
#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

namespace relay {

class FrameRing {
 public:
  // Capacity is rounded up to a power of two frames.
  explicit FrameRing(size_t capacityFrames);

  // Producer: stores up to count frames; returns how many fit.
  size_t Write(const float* frames, size_t count);
  // Consumer: takes up to count frames; returns how many it took.
  size_t Read(float* frames, size_t count);
  // Consumer: drops up to count frames; returns how many it dropped.
  size_t Discard(size_t count);

  size_t Available() const;
  size_t capacity() const { return mask_ + 1; }

 private:
  void CopyOut(size_t from, float* frames, size_t count) const;

  std::vector<float> data_;
  size_t mask_;
  std::atomic<size_t> head_{0};  // frames written, modulo 2^N (producer)
  std::atomic<size_t> tail_{0};  // frames read (consumer)
};

}  // namespace relay
