#include "tests/e2e/index_signal.h"

#include <cassert>
#include <cmath>

std::vector<std::vector<double>> MakeIndexSignal(long frames) {
  assert(frames >= 0 && frames <= kMaxIndexFrames);
  std::vector<std::vector<double>> channels(2, std::vector<double>(size_t(frames)));
  for (long i = 0; i < frames; ++i) {
    channels[0][size_t(i)] = double(i + 1) * kIndexStep;
    channels[1][size_t(i)] = -double(i + 1) * kIndexStep;
  }
  return channels;
}

long IndexOf(double left, double right) {
  const double steps = left / kIndexStep;
  if (!(steps >= 1.0 && steps <= double(kMaxIndexFrames)) || steps != std::floor(steps)) return -1;
  if (right != -left) return -1;
  return long(steps) - 1;
}

long IndexAnalysis::AudioFrames() const {
  long total = 0;
  for (const IndexRun& run : runs) total += run.length;
  return total;
}

IndexAnalysis AnalyseIndexStream(const std::vector<double>& left, const std::vector<double>& right,
                                 long period) {
  IndexAnalysis result;
  IndexRun* current = nullptr;
  long expected = -1;
  const size_t frames = left.size() < right.size() ? left.size() : right.size();
  for (size_t i = 0; i < frames; ++i) {
    const long index = IndexOf(left[i], right[i]);
    if (index < 0) {
      if (left[i] == 0.0 && right[i] == 0.0) ++result.silentFrames;
      else ++result.foreignFrames;
      current = nullptr;
      continue;
    }
    if (!current || index != expected) {
      result.runs.push_back(IndexRun{long(i), index, 0});
      current = &result.runs.back();
    }
    ++current->length;
    expected = period > 0 ? (index + 1) % period : index + 1;
  }
  return result;
}
