// What a recorded output holds: when audio first appeared, its level from
// then on, and whether it played cleanly once started (no dropouts, nothing
// non-finite or clipped).
#pragma once

#include <string>
#include <vector>

struct AudioScan {
  double rate = 0.0;
  long frames = 0;
  long firstAudioFrame = -1;  // first frame with a non-zero sample; -1: none
  double peak = 0.0;          // from the first audio on, over all channels
  double rms = 0.0;
  // Silent stretches of kDropoutFrames or more: while the stream starts (the
  // first kStartSeconds of audio, when the FIFO has no reserve yet) and after.
  long startDropouts = 0;
  long dropouts = 0;
  long dropoutFrames = 0;  // of those after the start
  long nonFinite = 0;
  long clipped = 0;  // samples beyond full scale

  static constexpr long kDropoutFrames = 64;
  static constexpr double kStartSeconds = 0.5;
  bool HasAudio() const { return firstAudioFrame >= 0; }
  bool Clean() const { return HasAudio() && dropouts == 0 && nonFinite == 0 && clipped == 0; }
};

// Scans deinterleaved channels recorded at rate.
AudioScan ScanAudio(const std::vector<std::vector<double>>& channels, double rate);

// Reads and scans a sound file; false with *error when it cannot be read.
bool ScanSoundFile(const std::string& path, AudioScan* scan, std::string* error);

// Reads a whole sound file into deinterleaved channels.
bool ReadSoundFile(const std::string& path, std::vector<std::vector<double>>* channels,
                   double* rate, std::string* error);

// Writes deinterleaved channels as a 32-bit float WAV file.
bool WriteSoundFile(const std::string& path, const std::vector<std::vector<double>>& channels,
                    double rate, std::string* error);
