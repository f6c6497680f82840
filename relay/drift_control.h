// Keeps a capture ring near its target fill when the device's clock and the
// relay's clock differ: a slow proportional-integral loop on the low-passed
// fill that returns how much faster (or slower) than nominal to consume input.
// Corrections stay within kMaxCorrection and change by a few parts per million
// per update at most, far below an audible pitch step.
#pragma once

namespace relay {

class DriftControl {
 public:
  // Largest correction, as a fraction (400 parts per million).
  static constexpr double kMaxCorrection = 400e-6;

  // Forgets the measured fill; keepDrift keeps what was learnt about the clocks.
  void Reset(bool keepDrift);

  // One update after seconds of playback with fill and target in input frames
  // at inputRate. Returns the correction c: consume input at (1 + c) x nominal.
  double Update(double fill, double target, double inputRate, double seconds);

  double correction() const { return correction_; }

 private:
  double error_ = 0.0;     // low-passed fill error, in seconds of input
  double integral_ = 0.0;  // the learnt clock difference
  double correction_ = 0.0;
};

}  // namespace relay
