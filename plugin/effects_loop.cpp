#include "plugin/effects_loop.h"

#include <cstdint>

#include "plugin/relay_stream.h"

namespace {

// Keeps a margin below the packet limit for the resampler's carried position.
constexpr int kOutputFramesAim = kMaxPacketFrames - 16;
constexpr int kMinResampledFrames = 8;

}  // namespace

int EffectsLoopPieceFrames(float ratio) {
  const double fit = static_cast<double>(kOutputFramesAim) * ratio;
  if (!(fit < EffectsLoopSender::kMaxResampledPieceFrames))
    return EffectsLoopSender::kMaxResampledPieceFrames;
  return fit < kMinResampledFrames ? kMinResampledFrames : static_cast<int>(fit);
}

void EffectsLoopSender::Interleave(const double* left, const double* right, int frames) {
  for (int i = 0; i < frames; ++i) {
    mInterleaved[2 * i] = static_cast<float>(left[i]);
    mInterleaved[2 * i + 1] = static_cast<float>(right[i]);
  }
}

void EffectsLoopSender::SendPacket(RelayLink& link, const float* interleaved, int frames) {
  if (frames < 1 || frames > kMaxPacketFrames) return;
  const int32_t count = frames;
  const RelayLink::SendResult result =
      link.Send(&count, sizeof count, interleaved, sizeof(float) * 2 * static_cast<size_t>(frames));
  if (result == RelayLink::SendResult::kDropped) mDropped.fetch_add(1, std::memory_order_relaxed);
}

void EffectsLoopSender::SendPiece(void* context, const float* samples, int count) {
  auto* sender = static_cast<EffectsLoopSender*>(context);
  sender->SendPacket(*sender->mLink, samples, count / 2);
}

void EffectsLoopSender::Send(RelayLink& link, Resampler& resampler, const double* left,
                             const double* right, int frames) {
  const float ratio = resampler.ratio.load(std::memory_order_relaxed);
  const int most = ratio != 1.0f ? EffectsLoopPieceFrames(ratio) : kMaxPieceFrames;
  mLink = &link;
  for (int done = 0; done < frames;) {
    const int size = frames - done < kMaxPieceFrames ? frames - done : kMaxPieceFrames;
    Interleave(left + done, right + done, size);
    mFeed.Feed(resampler, mInterleaved, size, most, SendPiece, this);
    done += size;
  }
}
