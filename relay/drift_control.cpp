#include "relay/drift_control.h"

#include <algorithm>

namespace relay {

namespace {

// The fill seen at each update swings by a period or two (the device's and the
// relay's blocks beat against each other); a two-second low-pass removes that.
constexpr double kFilterSeconds = 2.0;
// A critically damped loop with a natural frequency of 0.05 rad/s: it settles
// in about two minutes and moves the ring by a few milliseconds for 200 ppm.
constexpr double kNaturalFrequency = 0.05;
constexpr double kProportional = 2.0 * kNaturalFrequency;
constexpr double kIntegral = kNaturalFrequency * kNaturalFrequency;

}  // namespace

// Playback starts (or restarts) at the target fill, so the error starts at 0
// rather than at one noisy reading.
void DriftControl::Reset(bool keepDrift) {
  error_ = 0.0;
  if (!keepDrift) integral_ = 0.0;
  correction_ = integral_;
}

double DriftControl::Update(double fill, double target, double inputRate, double seconds) {
  const double error = (fill - target) / inputRate;
  error_ += (error - error_) * seconds / (kFilterSeconds + seconds);
  integral_ = std::clamp(integral_ + kIntegral * error_ * seconds, -kMaxCorrection, kMaxCorrection);
  correction_ = std::clamp(kProportional * error_ + integral_, -kMaxCorrection, kMaxCorrection);
  return correction_;
}

}  // namespace relay
