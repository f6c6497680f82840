// ResampleFeed: passes a stream of interleaved stereo blocks of any length
// through a resampler, which takes 8 to 512 frames a call. Frames that do not
// yet make a piece of 8 wait for the next block, so every frame goes through,
// in order, whatever the sizes of the blocks it arrives in. No allocation.
#pragma once

#include "plugin/resampler.h"

class ResampleFeed {
 public:
  static constexpr int kMinFrames = 8;
  static constexpr int kMaxFrames = 512;
  // Receives one piece of output: count interleaved samples.
  using Sink = void (*)(void* context, const float* samples, int count);

  // Feeds frames of input. At ratio 1 the waiting frames, then the input, go
  // to the sink as they are; otherwise the resampler's output goes there, in
  // pieces of at most maxPiece input frames (kept within 8 to 512).
  void Feed(Resampler& resampler, const float* input, int frames, int maxPiece, Sink sink,
            void* context);
  // Forgets the waiting frames.
  void Forget() { mWaiting = 0; }
  // Forgets the waiting frames and starts the resampler afresh (position 1,
  // silent history), so nothing of the earlier stream reaches later output.
  void Restart(Resampler& resampler);
  int Waiting() const { return mWaiting; }

 private:
  float mHeld[2 * kMaxFrames];
  int mWaiting = 0;
};
