// Progress lines on whole seconds of audio during a run (peak and RMS per
// output), and what the whole run held: non-finite samples, any sound at all.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/meter.h"

class Progress {
 public:
  Progress(int channels, double rate, bool quiet)
      : meter_(channels), window_(std::max(1L, std::lround(rate))), rate_(rate), quiet_(quiet) {}

  // Adds `frames` frames of each output channel; prints a line for each
  // second they complete.
  void Add(const std::vector<std::vector<double>>& out, int frames);
  // Ends a window cut short by the end of the run.
  void Finish();
  long nonFinite() const { return nonFinite_; }
  // No sample of the run so far was anything but zero.
  bool silent() const { return peak_ == 0.0 && nonFinite_ == 0; }

 private:
  void EndWindow();

  Meter meter_;
  const long window_;
  const double rate_;
  const bool quiet_;
  long frames_ = 0;
  long nonFinite_ = 0;
  double peak_ = 0.0;
};
