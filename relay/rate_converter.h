// Converts interleaved stereo float audio from a capture device's rate to
// 44100 Hz at a ratio that may change at every call (the drift control nudges
// it): a windowed-sinc filter of 64 taps read from a table of 256 phases,
// interpolated between neighbouring phases. It holds 32 input frames (0.7 ms
// at 48000 Hz), passes up to 20 kHz flat, keeps what lies above 25 kHz about
// 85 dB down (22-24 kHz folds back above 20 kHz only), at a fraction of a
// general-purpose converter's cost. Input comes from a pull function, as the
// device's ring delivers it; nothing allocates after construction.
#pragma once

#include <vector>

namespace relay {

class RateConverter {
 public:
  // Fills *frames with up to kMaxPull interleaved stereo frames and returns
  // how many; 0 when there is no more input for now.
  using PullFn = long (*)(void* user, float** frames);

  RateConverter(PullFn pull, void* user);

  // Shapes the filter for input at inputRate and starts afresh. Builds the
  // table in place: a few hundred microseconds, once a stream.
  void SetInputRate(int inputRate);
  // Forgets the input held; the next output starts at the next input frame.
  void Reset();
  // Writes up to frames output frames, each step 1 / ratio input frames on
  // (ratio: output frames per input frame). Fewer when the input runs dry;
  // none for a ratio that is not positive.
  long Read(double ratio, long frames, float* out);

  static constexpr int kTaps = 64;
  static constexpr int kHalf = kTaps / 2;
  static constexpr int kPhases = 256;
  static constexpr long kMaxPull = 1024;

 private:
  bool Pull();
  float Tap(const float* row0, const float* row1, float weight, const float* input) const;

  PullFn pull_;
  void* user_;
  int inputRate_ = 0;
  std::vector<float> table_;  // (kPhases + 1) rows of kTaps
  std::vector<float> left_, right_;
  long end_ = 0;     // input frames in left_ and right_
  double next_ = 0;  // input position of the next output frame
};

}  // namespace relay
