// Loads a sound file (any format libsndfile reads) as interleaved stereo float
// frames at 44100 Hz, converting the rate with libsamplerate when needed.
#pragma once

#include <string>
#include <vector>

namespace relay {

// Longest file accepted, in frames at 44100 Hz (20 minutes).
constexpr long long kMaxFileFrames = 44100LL * 60 * 20;

// Mono plays on both sides; of more channels the first two are kept; non-finite
// samples become 0. On failure returns false and a message naming the file.
bool LoadSoundFile(const std::string& path, std::vector<float>* stereo, std::string* error);

}  // namespace relay
