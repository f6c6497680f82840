// Ctrl-C (SIGINT) and SIGTERM during an audio run: the first one asks the run
// to stop after its current block, so that the output file is closed whole; a
// second one ends the program at once, as without a handler. A signal that
// was ignored when the program started is left ignored.
#pragma once

#include <atomic>

class StopSignals {
 public:
  // Installs the handlers; the destructor puts the previous ones back.
  StopSignals();
  ~StopSignals();
  StopSignals(const StopSignals&) = delete;
  StopSignals& operator=(const StopSignals&) = delete;

  // Holds the number of the first signal received, 0 before one arrives.
  static const std::atomic<int>& received();
};
