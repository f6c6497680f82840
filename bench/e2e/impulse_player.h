// A PipeWire playback stream into one sink: a steady quiet sine with one
// full-scale sample every second on top, stereo at 48000 Hz. Notes when each
// impulse entered the graph: the time of the cycle that took its buffer plus
// its position in the buffer.
#pragma once

#include <mutex>
#include <string>
#include <vector>

struct pw_thread_loop;
struct pw_stream;

class ImpulsePlayer {
 public:
  ImpulsePlayer() = default;
  ~ImpulsePlayer() { Stop(); }
  ImpulsePlayer(const ImpulsePlayer&) = delete;
  ImpulsePlayer& operator=(const ImpulsePlayer&) = delete;

  // Plays into the node named sink with the given quantum; false when
  // PipeWire refuses the stream.
  bool Start(const std::string& sink, int quantum);
  void Stop();
  // Monotonic times (seconds) of the impulses played so far.
  std::vector<double> Impulses();

  static constexpr int kRate = 48000;
  static constexpr float kBedLevel = 0.1f;

 private:
  static void OnProcess(void* data);
  void Process();

  pw_thread_loop* loop_ = nullptr;
  pw_stream* stream_ = nullptr;
  long frame_ = 0;  // loop thread only
  std::mutex mutex_;
  std::vector<double> impulses_;
  struct Listener;
  Listener* listener_ = nullptr;
};
