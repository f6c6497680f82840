// Block resampler for interleaved stereo float audio: a 4-point cubic B-spline
// with a fractional read position and ten frames of history carried between
// blocks, so consecutive blocks join without a seam.
#pragma once

#include <atomic>

#include "plugin/exported.h"

// Exported layout, fields in this order. `ratio` is an atomic float because the
// audio callback retunes it while another thread may be resampling.
struct Resampler {
  float position;            // input position of the next output frame
  std::atomic<float> ratio;  // input frames per output frame
  float* output;             // interleaved output of the last call
  float historyLeft[10];     // last ten input frames of the previous block
  float historyRight[10];
};

// Largest number of output frames one call produces; `output` always holds at least this many.
constexpr int kResamplerMaxOutputFrames = 16384;

extern "C" {
// Sets position 1.0, the ratio, zero history, and allocates output storage of
// max(capacity, kResamplerMaxOutputFrames) stereo frames. Returns 0, or -1 when
// the storage cannot be allocated.
SKYLANE_EXPORT int resample_init(Resampler* resampler, int capacity, float ratio);
// Resamples n interleaved samples (8 to 512 frames) into `output`. Returns the
// number of output samples (twice the frames), or 0 when the block is refused.
SKYLANE_EXPORT int resample_stereo(Resampler* resampler, const float* input, int n);
// Mono variant with linear interpolation over at most 1023 input samples.
// Returns the number of output samples.
SKYLANE_EXPORT int resample_mono(Resampler* resampler, const float* input, int n);
// The output storage of the record.
SKYLANE_EXPORT float* resample_buffer(Resampler* resampler);
// Cubic B-spline through y[-1], y[0], y[1], y[2], evaluated at 0 <= x < 1.
SKYLANE_EXPORT float bspline(float x, const float* y);

// Frees the output storage (the record then refuses every block).
int resample_release(Resampler* resampler);
}
