// skylane-wavscan: tells when audio first appears in a recorded output, its
// level from then on, and whether it played cleanly.
//
// Exit status: 0 audio arrived and played cleanly, 1 no audio at all,
// 2 bad usage or unreadable file, 4 audio arrived with dropouts, non-finite
// or clipped samples.
#include <cmath>
#include <cstdio>
#include <string>

#include "tests/e2e/audio_scan.h"

namespace {

std::string Decibels(double linear) {
  if (!(linear > 0.0)) return "-inf";
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", 20.0 * std::log10(linear));
  return text;
}

void Print(const AudioScan& s) {
  std::printf("length: %.3f s (%ld frames at %.0f Hz)\n", double(s.frames) / s.rate, s.frames,
              s.rate);
  if (!s.HasAudio()) {
    std::printf("first audio: none (the output is silent)\n");
    return;
  }
  std::printf("first audio: %.3f s (frame %ld)\n", double(s.firstAudioFrame) / s.rate,
              s.firstAudioFrame);
  std::printf("level from then on: peak %s dBFS, RMS %s dBFS\n", Decibels(s.peak).c_str(),
              Decibels(s.rms).c_str());
  std::printf("dropouts while the stream started (first %.1f s): %ld\n", AudioScan::kStartSeconds,
              s.startDropouts);
  std::printf("dropouts after that: %ld (%.3f s of silence)\n", s.dropouts,
              double(s.dropoutFrames) / s.rate);
  std::printf("non-finite samples: %ld, clipped samples: %ld\n", s.nonFinite, s.clipped);
  std::printf("clean: %s\n", s.Clean() ? "yes" : "no");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: skylane-wavscan FILE\n");
    return 2;
  }
  AudioScan scan;
  std::string error;
  if (!ScanSoundFile(argv[1], &scan, &error) || scan.rate <= 0.0) {
    std::fprintf(stderr, "skylane-wavscan: %s\n", error.c_str());
    return 2;
  }
  Print(scan);
  return !scan.HasAudio() ? 1 : scan.Clean() ? 0 : 4;
}
