#include <cmath>
#include <cstring>

#include "plugin/resample_kernels_p.h"
#include "plugin/resampler.h"

namespace {

constexpr int kHistory = 10;
constexpr int kMinFrames = 8;
constexpr int kMaxFrames = 512;
// Output position 0 reads around history frame 5: the resampler delays by five frames.
constexpr int kOrigin = 5;
// Frames of history plus the first new frames, enough for every position whose
// four taps reach into the history; later positions read the input in place.
constexpr int kHeadFrames = kHistory + 3;
constexpr int kFirstInputTap = kHistory - kOrigin + 1;

// Number of output frames of a block, or -1 when it would exceed the output storage.
int outputFrames(int frames, float position, float ratio) {
  const float span = static_cast<float>(frames) - position;
  if (span < 0) return 0;  // the next position lies beyond this block
  const float steps = span / ratio;
  if (!(steps < kResamplerMaxOutputFrames)) return -1;
  return static_cast<int>(steps) + 1;
}

// Frames whose taps reach into the history come from a small head array of
// history and first input frames; all others read the input in place.
void interpolate(const Resampler* r, const float* input, int m, float ratio, float* out) {
  float head[2 * kHeadFrames];
  for (int j = 0; j < kHistory; ++j) {
    head[2 * j] = r->historyLeft[j];
    head[2 * j + 1] = r->historyRight[j];
  }
  std::memcpy(head + 2 * kHistory, input, sizeof(float) * 2 * (kHeadFrames - kHistory));
  const float position = r->position;
  int i = 0;
  while (i < m && static_cast<int>(position + static_cast<float>(i) * ratio) < kFirstInputTap) ++i;
  // The head array holds the frames from history frame 0 on, so its taps for
  // position t start at frame trunc(t) - 6 counted from its first input frame.
  const skylane::InterpolateFn loop = skylane::bestInterpolate();
  loop(head + 2 * kHistory, position, ratio, 0, i, out);
  loop(input, position, ratio, i, m, out);
}

float nextPosition(float position, int m, int frames, float ratio) {
  if (m == 0) return position - static_cast<float>(frames);
  const float last = position + static_cast<float>(m - 1) * ratio;
  const float next = last - static_cast<float>(frames) + ratio;
  return next < 0 ? 0 : next;
}

// Keeps the last ten frames of history followed by input; blocks shorter than
// ten frames keep part of the old history.
void keepHistory(Resampler* r, const float* input, int frames) {
  float left[kHistory], right[kHistory];
  for (int j = 0; j < kHistory; ++j) {
    const int source = frames + j;  // working frame
    left[j] = source < kHistory ? r->historyLeft[source] : input[2 * (source - kHistory)];
    right[j] = source < kHistory ? r->historyRight[source] : input[2 * (source - kHistory) + 1];
  }
  std::memcpy(r->historyLeft, left, sizeof left);
  std::memcpy(r->historyRight, right, sizeof right);
}

}  // namespace

extern "C" int resample_stereo(Resampler* r, const float* input, int n) {
  if (!r || !r->output || !input || n < 2 * kMinFrames || n > 2 * kMaxFrames) return 0;
  const float ratio = r->ratio.load(std::memory_order_relaxed);
  const float position = r->position;
  if (!(ratio > 0) || !std::isfinite(ratio) || !(position >= 0) || !std::isfinite(position))
    return 0;
  const int frames = n / 2;
  const int m = outputFrames(frames, position, ratio);
  if (m < 0) return 0;
  interpolate(r, input, m, ratio, r->output);
  r->position = nextPosition(position, m, frames, ratio);
  keepHistory(r, input, frames);
  return 2 * m;
}
