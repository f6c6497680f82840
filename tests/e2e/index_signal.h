// Test signals in which every frame names its own position, so that audio
// that went through the relay and the plug-in can be checked sample for
// sample: frame i is left = (i + 1) * kIndexStep, right = -left. Both are
// exact in 32-bit float for every frame below kMaxIndexFrames.
#pragma once

#include <vector>

constexpr double kIndexStep = 1.0 / 262144.0;
constexpr long kMaxIndexFrames = 262143;

// Frames 0 .. frames - 1 as deinterleaved channels (frames <= kMaxIndexFrames).
std::vector<std::vector<double>> MakeIndexSignal(long frames);

// Position named by a frame, or -1 when the frame is not one of an index signal.
long IndexOf(double left, double right);

// A stretch of output in which every frame follows the one before it.
struct IndexRun {
  long outputFrame = 0;  // where the stretch starts in the output
  long firstIndex = 0;   // the source position of its first frame
  long length = 0;
};

struct IndexAnalysis {
  std::vector<IndexRun> runs;
  long silentFrames = 0;   // both sides exactly zero
  long foreignFrames = 0;  // neither silent nor an index frame
  long AudioFrames() const;
};

// Splits the output into runs. With period > 0 the source loops, so position
// period - 1 is followed by position 0.
IndexAnalysis AnalyseIndexStream(const std::vector<double>& left, const std::vector<double>& right,
                                 long period);
