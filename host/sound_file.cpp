#include "host/sound_file.h"

#include <strings.h>

#include <algorithm>

namespace {

// Format from the file name's extension, or 0 when it has none we write.
int FormatFor(const std::string& path) {
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return 0;
  const char* ext = path.c_str() + dot + 1;
  if (strcasecmp(ext, "wav") == 0) return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  if (strcasecmp(ext, "flac") == 0) return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  if (strcasecmp(ext, "aif") == 0 || strcasecmp(ext, "aiff") == 0) {
    return SF_FORMAT_AIFF | SF_FORMAT_FLOAT;
  }
  return 0;
}

}  // namespace

SoundReader::~SoundReader() {
  if (file_) sf_close(file_);
}

bool SoundReader::Open(const std::string& path, std::string* error) {
  file_ = sf_open(path.c_str(), SFM_READ, &info_);
  if (!file_) {
    *error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (info_.channels < 1 || info_.samplerate < 1) {
    *error = path + ": no audio channels";
    return false;
  }
  return true;
}

void SoundReader::Read(std::vector<std::vector<double>>* out, int frames) {
  const int fileChannels = info_.channels;
  interleaved_.assign(size_t(frames) * size_t(fileChannels), 0.0);
  sf_count_t got = file_ ? sf_readf_double(file_, interleaved_.data(), frames) : 0;
  for (size_t c = 0; c < out->size(); ++c) {
    std::vector<double>& channel = (*out)[c];
    const size_t source = c % size_t(fileChannels);
    for (int i = 0; i < frames; ++i) {
      channel[size_t(i)] = i < got ? interleaved_[size_t(i) * size_t(fileChannels) + source] : 0.0;
    }
  }
}

SoundWriter::~SoundWriter() {
  if (file_) sf_close(file_);
}

bool SoundWriter::Open(const std::string& path, int channels, double rate, std::string* error) {
  SF_INFO info{};
  info.channels = channels;
  info.samplerate = int(rate + 0.5);
  info.format = FormatFor(path);
  if (info.format == 0) {
    *error = path + ": unknown output format (use .wav, .flac or .aiff)";
    return false;
  }
  if (channels < 1) {
    *error = path + ": the plug-in has no outputs to write";
    return false;
  }
  file_ = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file_) {
    *error = path + ": " + sf_strerror(nullptr);
    return false;
  }
  channels_ = channels;
  return true;
}

bool SoundWriter::Write(const std::vector<std::vector<double>>& in, int frames) {
  interleaved_.resize(size_t(frames) * size_t(channels_));
  for (int c = 0; c < channels_; ++c) {
    for (int i = 0; i < frames; ++i) {
      interleaved_[size_t(i) * size_t(channels_) + size_t(c)] = float(in[size_t(c)][size_t(i)]);
    }
  }
  return sf_writef_float(file_, interleaved_.data(), frames) == frames;
}

bool SoundWriter::Close(std::string* error) {
  if (!file_) return true;
  int rc = sf_close(file_);
  file_ = nullptr;
  if (rc != 0) *error = std::string("closing the output: ") + sf_error_number(rc);
  return rc == 0;
}
