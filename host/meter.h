// Peak and RMS per output channel over a window of frames, for the progress
// lines of a run.
#pragma once

#include <string>
#include <vector>

class Meter {
 public:
  explicit Meter(int channels) : peak_(size_t(channels)), sumSquares_(size_t(channels)) {}

  // Adds frames [first, first + frames) of each channel. Non-finite samples
  // are counted and left out of peak and RMS.
  void Add(const std::vector<std::vector<double>>& channels, int first, int frames);
  long frames() const { return frames_; }
  long nonFinite() const { return nonFinite_; }
  // The window's highest peak over all channels.
  double peak() const;
  // "time 1.000 s | out 1: peak -6.0 dBFS, RMS -9.0 dBFS | ..." for the window.
  std::string Line(double endSeconds) const;
  // Starts the next window.
  void Reset();

 private:
  std::vector<double> peak_;
  std::vector<double> sumSquares_;
  long frames_ = 0;
  long nonFinite_ = 0;
};

// Level in dBFS; "-inf" for silence.
std::string Decibels(double linear);
