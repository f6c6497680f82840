#include "host/progress.h"

#include <cstdio>

void Progress::Add(const std::vector<std::vector<double>>& out, int frames) {
  for (int first = 0; first < frames;) {
    const int part = int(std::min<long>(frames - first, window_ - meter_.frames()));
    meter_.Add(out, first, part);
    first += part;
    frames_ += part;
    if (meter_.frames() == window_) EndWindow();
  }
}

void Progress::Finish() {
  if (meter_.frames() > 0) EndWindow();
}

void Progress::EndWindow() {
  if (!quiet_) {
    std::printf("%s\n", meter_.Line(double(frames_) / rate_).c_str());
    std::fflush(stdout);
  }
  nonFinite_ += meter_.nonFinite();
  peak_ = std::max(peak_, meter_.peak());
  meter_.Reset();
}
