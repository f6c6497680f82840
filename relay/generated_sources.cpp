#include <cmath>

#include "relay/protocol.h"
#include "relay/source.h"

namespace relay {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kLevel = 0.25;

class ToneSource : public Source {
 public:
  void Render(float* out, int frames) override {
    for (int i = 0; i < frames; ++i) {
      out[2 * i] = static_cast<float>(kLevel * std::sin(left_));
      out[2 * i + 1] = static_cast<float>(kLevel * std::sin(right_));
      left_ = Advance(left_, 440.0);
      right_ = Advance(right_, 660.0);
    }
  }

 private:
  static double Advance(double phase, double hz) {
    phase += kTwoPi * hz / kSampleRate;
    return phase >= kTwoPi ? phase - kTwoPi : phase;
  }

  double left_ = 0.0;
  double right_ = 0.0;
};

class ImpulseSource : public Source {
 public:
  void Render(float* out, int frames) override {
    for (int i = 0; i < frames; ++i) {
      const float value = position_ == 0 ? 1.0f : 0.0f;
      out[2 * i] = value;
      out[2 * i + 1] = value;
      position_ = (position_ + 1) % kSampleRate;
    }
  }

 private:
  int position_ = 0;
};

}  // namespace

std::unique_ptr<Source> MakeToneSource() { return std::make_unique<ToneSource>(); }

std::unique_ptr<Source> MakeImpulseSource() { return std::make_unique<ImpulseSource>(); }

}  // namespace relay
