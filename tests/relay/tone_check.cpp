#include "tests/relay/tone_check.h"

#include <algorithm>
#include <cmath>

namespace relay_test {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kSoundThreshold = 1e-3;

// Rising zero crossings, interpolated between samples, in frames.
std::vector<double> RisingCrossings(const std::vector<float>& x, size_t from) {
  std::vector<double> times;
  for (size_t i = from + 1; i < x.size(); ++i)
    if (x[i - 1] < 0 && x[i] >= 0) times.push_back(i - 1 + x[i - 1] / (x[i - 1] - x[i]));
  return times;
}

// Slope of the least-squares line through (k, times[k]): frames per period.
double FittedPeriod(const std::vector<double>& times) {
  const double n = static_cast<double>(times.size());
  double sumK = 0, sumT = 0, sumKK = 0, sumKT = 0;
  for (size_t k = 0; k < times.size(); ++k) {
    sumK += k;
    sumT += times[k];
    sumKK += static_cast<double>(k) * k;
    sumKT += k * times[k];
  }
  return (n * sumKT - sumK * sumT) / (n * sumKK - sumK * sumK);
}

}  // namespace

ToneReport AnalyseTone(const std::vector<float>& stereo, int side, double rate, double hz,
                       double amplitude, size_t skip) {
  ToneReport report;
  std::vector<float> x;
  for (size_t i = static_cast<size_t>(side); i < stereo.size(); i += 2) x.push_back(stereo[i]);
  for (size_t i = 0; i < x.size() && report.firstSound < 0; ++i)
    if (std::fabs(x[i]) > kSoundThreshold) report.firstSound = static_cast<long>(i);
  if (report.firstSound < 0) return report;
  const size_t from = static_cast<size_t>(report.firstSound) + skip;
  const std::vector<double> times = RisingCrossings(x, from);
  if (times.size() < 3) return report;
  report.frequency = rate / FittedPeriod(times);
  double sum = 0;
  const size_t begin = static_cast<size_t>(std::ceil(times.front()));
  const size_t end = static_cast<size_t>(std::ceil(times.back()));
  for (size_t i = begin; i < end; ++i) sum += static_cast<double>(x[i]) * x[i];
  report.rms = std::sqrt(sum / static_cast<double>(end - begin));
  // The steepest a sine moves between samples, with room for conversion ripple.
  const double maxStep = 1.05 * 2 * kPi * hz / rate * amplitude + 1e-3;
  const size_t window = static_cast<size_t>(rate / hz) + 1;
  for (size_t i = from + 1; i < x.size(); ++i) {
    if (std::fabs(x[i] - x[i - 1]) > maxStep) ++report.breaks;
    if (i % window == 0 && i >= from + window) {
      const auto peak = std::max_element(
          x.begin() + static_cast<long>(i - window), x.begin() + static_cast<long>(i),
          [](float a, float b) { return std::fabs(a) < std::fabs(b); });
      if (std::fabs(*peak) < 0.9 * amplitude) ++report.breaks;
    }
  }
  return report;
}

}  // namespace relay_test
