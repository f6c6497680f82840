// Audio sources behind the relay's devices. Each renders interleaved stereo
// float frames at 44100 Hz, once per tick, on the server thread.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace relay {

class Source {
 public:
  virtual ~Source() = default;
  // Writes the next frames (frames x 2 floats). Must not block or allocate.
  virtual void Render(float* out, int frames) = 0;
  // A line for the once-a-second statistics, empty when there is nothing to
  // say; called on the same thread as Render.
  virtual std::string StatsLine() { return std::string(); }
};

// A steady test tone: 440 Hz on the left, 660 Hz on the right, at -12 dBFS.
std::unique_ptr<Source> MakeToneSource();

// One full-scale sample (1.0 on both sides) at the start of every second,
// silence between: a marker for measuring latency end to end.
std::unique_ptr<Source> MakeImpulseSource();

// Plays interleaved stereo frames in a loop; an empty buffer plays silence.
std::unique_ptr<Source> MakeLoopSource(std::vector<float> stereo);

}  // namespace relay
