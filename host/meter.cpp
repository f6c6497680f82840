#include "host/meter.h"

#include <cmath>
#include <cstdio>

void Meter::Add(const std::vector<std::vector<double>>& channels, int first, int frames) {
  for (size_t c = 0; c < peak_.size() && c < channels.size(); ++c) {
    for (int i = first; i < first + frames; ++i) {
      double v = channels[c][size_t(i)];
      if (!std::isfinite(v)) {
        ++nonFinite_;
        continue;
      }
      peak_[c] = std::fmax(peak_[c], std::fabs(v));
      sumSquares_[c] += v * v;
    }
  }
  frames_ += frames;
}

double Meter::peak() const {
  double all = 0.0;
  for (double p : peak_) all = std::fmax(all, p);
  return all;
}

std::string Meter::Line(double endSeconds) const {
  char text[96];
  std::snprintf(text, sizeof text, "time %.3f s", endSeconds);
  std::string line = text;
  for (size_t c = 0; c < peak_.size(); ++c) {
    double rms = frames_ > 0 ? std::sqrt(sumSquares_[c] / double(frames_)) : 0.0;
    line += " | out " + std::to_string(c + 1) + ": peak " + Decibels(peak_[c]) + " dBFS, RMS " +
            Decibels(rms) + " dBFS";
  }
  if (nonFinite_ > 0) line += " | " + std::to_string(nonFinite_) + " non-finite samples";
  return line;
}

void Meter::Reset() {
  for (double& p : peak_) p = 0.0;
  for (double& s : sumSquares_) s = 0.0;
  frames_ = 0;
  nonFinite_ = 0;
}

std::string Decibels(double linear) {
  if (!(linear > 0.0)) return "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", 20.0 * std::log10(linear));
  return text;
}
