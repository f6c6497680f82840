#include "plugin/resample_feed.h"

#include <cstring>

namespace {

void copyFrames(float* dest, const float* source, int frames) {
  std::memcpy(dest, source, sizeof(float) * 2 * static_cast<size_t>(frames));
}

void resampleInto(Resampler& resampler, const float* input, int frames, ResampleFeed::Sink sink,
                  void* context) {
  const int produced = resample_stereo(&resampler, input, 2 * frames);
  if (produced > 0) sink(context, resample_buffer(&resampler), produced);
}

}  // namespace

void ResampleFeed::Feed(Resampler& resampler, const float* input, int frames, int maxPiece,
                        Sink sink, void* context) {
  if (frames < 1) return;
  if (resampler.ratio.load(std::memory_order_relaxed) == 1.0f) {
    if (mWaiting > 0) sink(context, mHeld, 2 * mWaiting);
    mWaiting = 0;
    sink(context, input, 2 * frames);
    return;
  }
  const int most = maxPiece < kMinFrames   ? kMinFrames
                   : maxPiece > kMaxFrames ? kMaxFrames
                                           : maxPiece;
  if (mWaiting > 0) {
    const int take = frames < most - mWaiting ? frames : most - mWaiting;
    copyFrames(mHeld + 2 * mWaiting, input, take);
    mWaiting += take;
    input += 2 * take;
    frames -= take;
    if (mWaiting < kMinFrames) return;
    resampleInto(resampler, mHeld, mWaiting, sink, context);
    mWaiting = 0;
  }
  for (; frames >= kMinFrames;) {
    const int piece = frames < most ? frames : most;
    resampleInto(resampler, input, piece, sink, context);
    input += 2 * piece;
    frames -= piece;
  }
  copyFrames(mHeld, input, frames);
  mWaiting = frames;
}

void ResampleFeed::Restart(Resampler& resampler) {
  mWaiting = 0;
  resampler.position = 1.0f;
  std::memset(resampler.historyLeft, 0, sizeof resampler.historyLeft);
  std::memset(resampler.historyRight, 0, sizeof resampler.historyRight);
}
