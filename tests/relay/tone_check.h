// Measures a sine tone in received audio: its frequency, level, and every
// place where it breaks (a dropout, a jump), from its first sound on.
#pragma once

#include <cstddef>
#include <vector>

namespace relay_test {

struct ToneReport {
  long firstSound = -1;  // frame of the first sample above a small threshold
  double frequency = 0;  // Hz, from a line fitted through the rising zero crossings
  double rms = 0;        // over whole periods from the first sound on
  size_t breaks = 0;     // samples that jump more than the sine can move, plus quiet stretches
};

// side 0 or 1 of interleaved stereo at rate; amplitude and hz are what the tone
// should have. Frames from skip on are analysed (skip: after the first sound).
ToneReport AnalyseTone(const std::vector<float>& stereo, int side, double rate, double hz,
                       double amplitude, size_t skip = 0);

}  // namespace relay_test
