// Runs audio through a loaded plug-in: blocks of silence or of an input file,
// paced in real time or rendered as fast as possible, with one progress line
// per second of audio and the outputs optionally written to a sound file.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "host/host_callback.h"
#include "host/loader.h"
#include "host/sound_file.h"

struct RunSettings {
  double seconds = 0.0;
  double rate = 44100.0;
  int block = 512;
  bool fast = false;       // offline rendering, no pacing
  bool useDouble = false;  // processDoubleReplacing
  bool quiet = false;      // no progress lines
  std::string output;      // empty: outputs are measured only
  // When set and holding a signal number, the run ends after its current block.
  const std::atomic<int>* stop = nullptr;
  // When set, called after the last block while the plug-in is still on; a
  // false return fails the run with its message.
  std::function<bool(std::string* error)> atEnd;
};

struct RunResult {
  long frames = 0;     // frames processed (and written)
  int stopSignal = 0;  // the signal that ended the run early, or 0
};

// The plug-in must already have the rate and block size. Turns it on, runs,
// turns it off, closes the output and prints the summary. False with *error
// when the plug-in cannot process as asked or the output cannot be written.
bool RunAudio(const Plugin& plugin, HostState* state, const RunSettings& settings,
              SoundReader* input, RunResult* result, std::string* error);
