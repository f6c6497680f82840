#include "relay/sound_file.h"

#include <samplerate.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "relay/protocol.h"

namespace relay {

namespace {

constexpr sf_count_t kChunkFrames = 4096;

// Reads every frame, keeping two channels.
bool ReadStereo(SNDFILE* file, const SF_INFO& info, std::vector<float>* stereo) {
  std::vector<float> chunk(static_cast<size_t>(kChunkFrames) * info.channels);
  stereo->reserve(static_cast<size_t>(info.frames) * 2);
  for (;;) {
    const sf_count_t got = sf_readf_float(file, chunk.data(), kChunkFrames);
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i) {
      const float* frame = &chunk[static_cast<size_t>(i) * info.channels];
      stereo->push_back(frame[0]);
      stereo->push_back(info.channels > 1 ? frame[1] : frame[0]);
    }
  }
  return sf_error(file) == SF_ERR_NO_ERROR;
}

bool ConvertRate(int rate, std::vector<float>* stereo, std::string* error) {
  const double ratio = static_cast<double>(kSampleRate) / rate;
  const long inFrames = static_cast<long>(stereo->size() / 2);
  std::vector<float> out(static_cast<size_t>(std::ceil(inFrames * ratio) + 16) * 2);
  SRC_DATA data = {};
  data.data_in = stereo->data();
  data.data_out = out.data();
  data.input_frames = inFrames;
  data.output_frames = static_cast<long>(out.size() / 2);
  data.src_ratio = ratio;
  const int rc = src_simple(&data, SRC_SINC_MEDIUM_QUALITY, 2);
  if (rc != 0) {
    *error = std::string("rate conversion failed: ") + src_strerror(rc);
    return false;
  }
  out.resize(static_cast<size_t>(data.output_frames_gen) * 2);
  stereo->swap(out);
  return true;
}

}  // namespace

bool LoadSoundFile(const std::string& path, std::vector<float>* stereo, std::string* error) {
  if (access(path.c_str(), R_OK) != 0) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    *error = "cannot open " + path + " as a sound file: " + sf_strerror(nullptr);
    return false;
  }
  stereo->clear();
  bool ok = false;
  if (info.channels < 1 || info.samplerate < 1 ||
      !src_is_valid_ratio(double(kSampleRate) / info.samplerate))
    *error = path + ": unsupported channel count or sample rate";
  else if (info.frames < 1) *error = path + ": holds no audio";
  else if (static_cast<double>(info.frames) * kSampleRate / info.samplerate > kMaxFileFrames)
    *error = path + ": longer than 20 minutes";
  else if (!ReadStereo(file, info, stereo)) *error = path + ": read error: " + sf_strerror(file);
  else ok = info.samplerate == kSampleRate || ConvertRate(info.samplerate, stereo, error);
  sf_close(file);
  if (!ok) return false;
  for (float& sample : *stereo)
    if (!std::isfinite(sample)) sample = 0.0f;
  if (stereo->empty()) *error = path + ": holds no audio";
  return !stereo->empty();
}

}  // namespace relay
