// What one capture device (JACK or PipeWire) shares between the audio
// server's process thread (which copies the audio in), its supervisor (which
// says when a server is there and at what rate) and the relay's thread (which
// converts and plays it).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "relay/frame_ring.h"

namespace relay {

class JackFeed {
 public:
  explicit JackFeed(size_t ringFrames = kDefaultRingFrames);

  // JACK process thread: interleaves two port buffers into the ring. No
  // allocation, lock or system call; frames that do not fit are counted.
  void Push(const float* left, const float* right, size_t frames);
  // The same for interleaved stereo frames.
  void PushInterleaved(const float* frames, size_t count);
  // Process thread: the frames one callback received, so that the reserve
  // follows the period actually delivered, whatever the server reported.
  void Received(size_t frames) {
    const int period = static_cast<int>(frames);
    if (period_.load(std::memory_order_relaxed) != period)
      period_.store(period, std::memory_order_relaxed);
  }

  // Supervisor: a new stream starts at this rate and period; the relay's thread
  // drops what is left of the previous one.
  void Start(int sampleRate, int periodFrames);
  // Supervisor: the period changed while streaming.
  void SetPeriod(int periodFrames) { period_.store(periodFrames, std::memory_order_relaxed); }
  // Supervisor: no server; the device plays silence.
  void Stop() { live_.store(false, std::memory_order_release); }

  // Relay's thread.
  FrameRing& ring() { return ring_; }
  bool live() const { return live_.load(std::memory_order_acquire); }
  uint32_t generation() const { return generation_.load(std::memory_order_acquire); }
  int sampleRate() const { return rate_.load(std::memory_order_relaxed); }
  int period() const { return period_.load(std::memory_order_relaxed); }
  uint64_t overruns() const { return overruns_.load(std::memory_order_relaxed); }

  static constexpr size_t kDefaultRingFrames = 32768;  // 680 ms at 48 kHz

 private:
  FrameRing ring_;
  std::atomic<bool> live_{false};
  std::atomic<uint32_t> generation_{0};
  std::atomic<int> rate_{0};
  std::atomic<int> period_{0};
  std::atomic<uint64_t> overruns_{0};
};

}  // namespace relay
