#include "plugin/resampler.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

static_assert(sizeof(std::atomic<float>) == 4 && std::atomic<float>::is_always_lock_free,
              "the ratio must be a plain lock-free 32-bit float");
static_assert(offsetof(Resampler, position) == 0, "position offset");
static_assert(offsetof(Resampler, ratio) == 4, "ratio offset");
static_assert(offsetof(Resampler, output) == 8, "output offset");
static_assert(offsetof(Resampler, historyLeft) == 8 + sizeof(float*), "historyLeft offset");
static_assert(offsetof(Resampler, historyRight) == 8 + sizeof(float*) + 40, "historyRight offset");
static_assert(sizeof(Resampler) == (8 + sizeof(float*) + 80 + alignof(float*) - 1) /
                                       alignof(float*) * alignof(float*),
              "Resampler size");

constexpr int kMonoMaxInput = 1023;
constexpr int kMonoMaxOutput = 2 * kResamplerMaxOutputFrames;

}  // namespace

extern "C" {

int resample_init(Resampler* r, int capacity, float ratio) {
  if (!r) return -1;
  const size_t frames = capacity > kResamplerMaxOutputFrames
                            ? static_cast<size_t>(capacity)
                            : static_cast<size_t>(kResamplerMaxOutputFrames);
  r->position = 1.0f;
  r->ratio.store(ratio);
  r->output = static_cast<float*>(std::calloc(2 * frames, sizeof(float)));
  std::memset(r->historyLeft, 0, sizeof r->historyLeft);
  std::memset(r->historyRight, 0, sizeof r->historyRight);
  return r->output ? 0 : -1;
}

int resample_release(Resampler* r) {
  if (!r) return -1;
  std::free(r->output);
  r->output = nullptr;
  return 0;
}

float* resample_buffer(Resampler* r) { return r ? r->output : nullptr; }

// Linear interpolation; the last sample of the previous block (kept as the
// newest left history sample) precedes the block so that blocks join.
int resample_mono(Resampler* r, const float* input, int n) {
  if (!r || !r->output || !input || n < 1) return 0;
  const float ratio = r->ratio.load(std::memory_order_relaxed);
  const float position = r->position;
  if (!(ratio > 0) || !std::isfinite(ratio) || !(position >= 0) || !std::isfinite(position))
    return 0;
  const int count = n < kMonoMaxInput ? n : kMonoMaxInput;
  const float span = static_cast<float>(count) - position;
  if (span > 0 && !(span / ratio < kMonoMaxOutput - 2)) return 0;
  float work[kMonoMaxInput + 1];
  work[0] = r->historyLeft[9];
  std::memcpy(work + 1, input, sizeof(float) * static_cast<size_t>(count));
  int m = 0;
  float t = position;
  for (; m < kMonoMaxOutput && t < static_cast<float>(count);
       t = position + static_cast<float>(++m) * ratio) {
    const int k = static_cast<int>(t);
    const float x = t - static_cast<float>(k);
    r->output[m] = work[k] + (work[k + 1] - work[k]) * x;
  }
  r->position = t - static_cast<float>(count);
  std::memmove(r->historyLeft, r->historyLeft + 1, sizeof(float) * 9);
  r->historyLeft[9] = work[count];
  return m;
}

}  // extern "C"
