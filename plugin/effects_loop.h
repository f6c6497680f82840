// EffectsLoopSender: sends the host's input to the relay as audio packets
// (int32 frames, then interleaved float32 stereo at 44100 Hz). Runs on the audio
// thread: fixed storage, no allocation, no blocking. Blocks are cut into pieces
// that fit the working storage and the resampler's window, each a whole packet;
// while resampling, frames too few for the resampler wait for the next block.
#pragma once

#include <atomic>

#include "plugin/relay_link.h"
#include "plugin/resample_feed.h"
#include "plugin/resampler.h"

class EffectsLoopSender {
 public:
  static constexpr int kMaxPieceFrames = 1024;  // without resampling
  static constexpr int kMaxResampledPieceFrames = 512;

  // Sends frames of left and right through resampler (skipped when its ratio is 1).
  void Send(RelayLink& link, Resampler& resampler, const double* left, const double* right,
            int frames);
  // Forgets frames waiting for the resampler (the loop is off or the link gone).
  void Forget() { mFeed.Forget(); }
  // Packets dropped so far: the relay did not keep up, or an effects-loop
  // setting was going out at that instant (the audio thread never waits for it).
  int Dropped() const { return mDropped.load(std::memory_order_relaxed); }

 private:
  static void SendPiece(void* context, const float* samples, int count);
  void SendPacket(RelayLink& link, const float* interleaved, int frames);
  void Interleave(const double* left, const double* right, int frames);

  float mInterleaved[2 * kMaxPieceFrames];
  ResampleFeed mFeed;
  RelayLink* mLink = nullptr;  // the link of the Send in progress
  std::atomic<int> mDropped{0};
};

// Input frames per piece when resampling at ratio (input per output frame):
// at most 512, and few enough that a piece's output stays a valid packet.
int EffectsLoopPieceFrames(float ratio);
