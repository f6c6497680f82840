#include "tests/e2e/audio_scan.h"

#include <cmath>

#include "host/sound_file.h"

namespace {

bool Silent(const std::vector<std::vector<double>>& channels, size_t i) {
  for (const auto& c : channels)
    if (c[i] != 0.0) return false;
  return true;
}

// Counts the silent stretches that are long enough to be dropouts.
void CountDropouts(const std::vector<std::vector<double>>& channels, size_t from, size_t frames,
                   AudioScan* scan) {
  const size_t started = from + size_t(AudioScan::kStartSeconds * scan->rate);
  long silentRun = 0;
  for (size_t i = from; i <= frames; ++i) {
    if (i < frames && Silent(channels, i)) {
      ++silentRun;
      continue;
    }
    if (silentRun >= AudioScan::kDropoutFrames && i - size_t(silentRun) < started) {
      ++scan->startDropouts;
    } else if (silentRun >= AudioScan::kDropoutFrames) {
      ++scan->dropouts;
      scan->dropoutFrames += silentRun;
    }
    silentRun = 0;
  }
}

}  // namespace

AudioScan ScanAudio(const std::vector<std::vector<double>>& channels, double rate) {
  AudioScan scan;
  scan.rate = rate;
  const size_t frames = channels.empty() ? 0 : channels[0].size();
  scan.frames = long(frames);
  size_t first = frames;
  for (size_t i = 0; i < frames && first == frames; ++i)
    if (!Silent(channels, i)) first = i;
  if (first == frames) return scan;
  scan.firstAudioFrame = long(first);
  double sum = 0.0;
  long counted = 0;
  for (const auto& c : channels) {
    for (size_t i = first; i < frames; ++i) {
      const double v = c[i];
      if (!std::isfinite(v)) {
        ++scan.nonFinite;
        continue;
      }
      if (std::fabs(v) > 1.0) ++scan.clipped;
      scan.peak = std::fmax(scan.peak, std::fabs(v));
      sum += v * v;
      ++counted;
    }
  }
  scan.rms = counted > 0 ? std::sqrt(sum / double(counted)) : 0.0;
  CountDropouts(channels, first, frames, &scan);
  return scan;
}

bool ReadSoundFile(const std::string& path, std::vector<std::vector<double>>* channels,
                   double* rate, std::string* error) {
  SoundReader reader;
  if (!reader.Open(path, error)) return false;
  const long frames = long(reader.frames());
  channels->assign(size_t(reader.channels()), std::vector<double>(size_t(frames)));
  reader.Read(channels, int(frames));
  *rate = reader.rate();
  return true;
}

bool ScanSoundFile(const std::string& path, AudioScan* scan, std::string* error) {
  std::vector<std::vector<double>> channels;
  double rate = 0.0;
  if (!ReadSoundFile(path, &channels, &rate, error)) return false;
  *scan = ScanAudio(channels, rate);
  return true;
}

bool WriteSoundFile(const std::string& path, const std::vector<std::vector<double>>& channels,
                    double rate, std::string* error) {
  SoundWriter writer;
  if (channels.empty() || !writer.Open(path, int(channels.size()), rate, error)) return false;
  const bool written = writer.Write(channels, int(channels[0].size()));
  if (!written) *error = path + ": write error";
  return writer.Close(error) && written;
}
