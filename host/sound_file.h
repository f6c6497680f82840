// Sound file input and output through libsndfile, as blocks of
// deinterleaved channels.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

class SoundReader {
 public:
  ~SoundReader();
  bool Open(const std::string& path, std::string* error);
  int channels() const { return info_.channels; }
  double rate() const { return info_.samplerate; }
  sf_count_t frames() const { return info_.frames; }
  // Fills `frames` frames of each of `out.size()` channels; channel c takes
  // file channel c modulo the file's channels; silence after the end.
  void Read(std::vector<std::vector<double>>* out, int frames);

 private:
  SNDFILE* file_ = nullptr;
  SF_INFO info_{};
  std::vector<double> interleaved_;
};

class SoundWriter {
 public:
  ~SoundWriter();
  // The format follows the extension: .wav (32-bit float), .flac (24-bit),
  // .aif/.aiff (32-bit float).
  bool Open(const std::string& path, int channels, double rate, std::string* error);
  // Writes the first `frames` frames of each channel; false on a write error.
  bool Write(const std::vector<std::vector<double>>& in, int frames);
  bool Close(std::string* error);

 private:
  SNDFILE* file_ = nullptr;
  int channels_ = 0;
  std::vector<float> interleaved_;
};
