#include "relay/rate_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "relay/protocol.h"

namespace relay {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Kaiser window's shape: about 80 dB of stop band for 64 taps.
constexpr double kBeta = 8.0;
constexpr long kBufferFrames = 4096;

typedef float Vec4 __attribute__((vector_size(16)));

Vec4 Load(const float* p) {
  Vec4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// The modified Bessel function of order 0, by its series.
double BesselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 40 && term > 1e-12 * sum; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
  }
  return sum;
}

double Sinc(double x) { return x == 0 ? 1.0 : std::sin(kPi * x) / (kPi * x); }

}  // namespace

RateConverter::RateConverter(PullFn pull, void* user)
    : pull_(pull),
      user_(user),
      table_((kPhases + 1) * kTaps),
      left_(kBufferFrames),
      right_(kBufferFrames) {
  SetInputRate(kSampleRate);
}

// Row j holds the taps for an output frame j / kPhases of an input frame past
// the input frame before it; each row sums to 1, so a constant passes as it is.
void RateConverter::SetInputRate(int inputRate) {
  if (inputRate != inputRate_ && inputRate > 0) {
    inputRate_ = inputRate;
    // Cutoff in cycles per input frame: the output's Nyquist frequency, or
    // the input's when that is lower.
    const double cutoff = std::min(0.5, 0.5 * kSampleRate / inputRate);
    const double norm = BesselI0(kBeta);
    for (int j = 0; j <= kPhases; ++j) {
      float* row = &table_[static_cast<size_t>(j * kTaps)];
      const double phase = static_cast<double>(j) / kPhases;
      double sum = 0;
      for (int k = 0; k < kTaps; ++k) {
        const double t = k - (kHalf - 1) - phase;
        const double x = t / kHalf;
        const double window = BesselI0(kBeta * std::sqrt(std::max(0.0, 1 - x * x))) / norm;
        const double h = Sinc(2 * cutoff * t) * window;
        row[k] = static_cast<float>(h);
        sum += h;
      }
      for (int k = 0; k < kTaps; ++k) row[k] = static_cast<float>(row[k] / sum);
    }
  }
  Reset();
}

// Silence before the first input frame, so that the first output frame is the
// first input frame's own.
void RateConverter::Reset() {
  std::fill(left_.begin(), left_.begin() + kHalf, 0.0f);
  std::fill(right_.begin(), right_.begin() + kHalf, 0.0f);
  end_ = kHalf - 1;
  next_ = kHalf - 1;
}

long RateConverter::Read(double ratio, long frames, float* out) {
  if (!(ratio > 0)) return 0;
  const double step = 1.0 / ratio;
  for (long n = 0; n < frames; ++n) {
    while (static_cast<long>(next_) + kHalf >= end_)
      if (!Pull()) return n;
    const long base = static_cast<long>(next_);
    const double phase = (next_ - static_cast<double>(base)) * kPhases;
    const int row = std::min(static_cast<int>(phase), kPhases - 1);
    const float weight = static_cast<float>(phase - row);
    const float* row0 = &table_[static_cast<size_t>(row * kTaps)];
    const long first = base - (kHalf - 1);
    out[2 * n] = Tap(row0, row0 + kTaps, weight, &left_[static_cast<size_t>(first)]);
    out[2 * n + 1] = Tap(row0, row0 + kTaps, weight, &right_[static_cast<size_t>(first)]);
    next_ += step;
  }
  return frames;
}

float RateConverter::Tap(const float* row0, const float* row1, float weight,
                         const float* input) const {
  Vec4 sum = {0, 0, 0, 0};
  for (int k = 0; k < kTaps; k += 4) {
    const Vec4 a = Load(row0 + k);
    sum += (a + (Load(row1 + k) - a) * weight) * Load(input + k);
  }
  return (sum[0] + sum[1]) + (sum[2] + sum[3]);
}

// Moves the frames still needed to the front when the rest would not fit,
// then appends what the pull gives, one side per buffer.
bool RateConverter::Pull() {
  if (end_ + kMaxPull > kBufferFrames) {
    const long keep = static_cast<long>(next_) - (kHalf - 1);
    std::memmove(left_.data(), left_.data() + keep,
                 sizeof(float) * static_cast<size_t>(end_ - keep));
    std::memmove(right_.data(), right_.data() + keep,
                 sizeof(float) * static_cast<size_t>(end_ - keep));
    end_ -= keep;
    next_ -= static_cast<double>(keep);
  }
  float* frames = nullptr;
  const long got = std::min(pull_(user_, &frames), kMaxPull);
  if (got <= 0 || !frames) return false;
  for (long i = 0; i < got; ++i) {
    left_[static_cast<size_t>(end_ + i)] = frames[2 * i];
    right_[static_cast<size_t>(end_ + i)] = frames[2 * i + 1];
  }
  end_ += got;
  return true;
}

}  // namespace relay
