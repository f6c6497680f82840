// EffectsLoopSender: sends the host's input to the relay as audio packets
// (int32 frames, then interleaved float32 stereo at 44100 Hz). Runs on the audio
// thread: fixed storage, no allocation, no blocking. Blocks are cut into pieces
// that fit the working storage and the resampler's window, each a whole packet.
#pragma once

#include <atomic>

#include "plugin/relay_link.h"
#include "plugin/resampler.h"

class EffectsLoopSender {
 public:
  static constexpr int kMaxPieceFrames = 1024;  // without resampling
  static constexpr int kMaxResampledPieceFrames = 512;

  // Sends frames of left and right through resampler (skipped when its ratio is 1).
  void Send(RelayLink& link, Resampler& resampler, const double* left, const double* right,
            int frames);
  // Packets dropped so far: the relay did not keep up, or an effects-loop
  // setting was going out at that instant (the audio thread never waits for it).
  int Dropped() const { return mDropped.load(std::memory_order_relaxed); }

 private:
  void SendPacket(RelayLink& link, const float* interleaved, int frames);
  void Interleave(const double* left, const double* right, int frames);

  float mInterleaved[2 * kMaxPieceFrames];
  std::atomic<int> mDropped{0};
};

// Input frames per piece when resampling at ratio (input per output frame):
// at most 512, and few enough that a piece's output stays a valid packet.
int EffectsLoopPieceFrames(float ratio);
