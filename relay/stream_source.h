// A source fed with raw interleaved float32 stereo at 44100 Hz from a file
// descriptor (standard input). A reader thread fills a ring; rendering never
// waits for it.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "relay/frame_ring.h"
#include "relay/source.h"

namespace relay {

class StreamSource : public Source {
 public:
  // Starts reading fd at once; the descriptor stays owned by the caller. When
  // the input ends, one line naming the device goes to log (null: none).
  explicit StreamSource(int fd, std::string name = std::string(), FILE* log = nullptr);
  ~StreamSource() override;
  StreamSource(const StreamSource&) = delete;
  StreamSource& operator=(const StreamSource&) = delete;

  // Plays silence while fewer frames than asked are buffered (until the end
  // of the input, after which the rest plays out and silence follows).
  void Render(float* out, int frames) override;
  bool ended() const { return ended_.load(std::memory_order_acquire); }
  // Frames read and not played yet (the rendering thread's view).
  size_t buffered() const { return ring_.Available(); }

 private:
  void ReadLoop();
  bool WaitReadable();
  void Store(float* frames, size_t count);

  int fd_;
  std::string name_;
  FILE* log_;
  FrameRing ring_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  std::thread reader_;
};

}  // namespace relay
