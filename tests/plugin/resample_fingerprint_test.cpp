// Pins resample_stereo's samples: a fingerprint of every output bit over many
// random streams, ratios and block sizes. Any change in the arithmetic of the
// kernels, however small, changes the fingerprint.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "plugin/resampler.h"

namespace {

// FNV-1a over the raw bits of the values.
struct Fingerprint {
  uint64_t hash = 1469598103934665603ull;
  void add(const void* data, size_t bytes) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < bytes; ++i) hash = (hash ^ p[i]) * 1099511628211ull;
  }
};

// Streams of 40 random blocks (8 to 512 frames, with loud and quiet passages)
// for fixed host-rate ratios and random ones; every output sample, count and
// carried position goes into the fingerprint.
uint64_t streamFingerprint() {
  std::mt19937 rng(2025);
  std::vector<float> ratios = {44100.0f / 48000.0f,
                               48000.0f / 44100.0f,
                               44100.0f / 88200.0f,
                               44100.0f / 96000.0f,
                               44100.0f / 192000.0f,
                               44100.0f / 22050.0f,
                               1.0f,
                               0.5f,
                               3.3f};
  std::uniform_real_distribution<float> anyRatio(0.04f, 6.0f);
  for (int i = 0; i < 40; ++i) ratios.push_back(anyRatio(rng));
  std::uniform_int_distribution<int> size(8, 512);
  std::uniform_real_distribution<float> sample(-1, 1);
  std::uniform_real_distribution<float> level(0.0f, 40.0f);
  Fingerprint f;
  std::vector<float> in;
  for (float ratio : ratios) {
    Resampler r;
    EXPECT_EQ(resample_init(&r, 0x4000, ratio), 0);
    for (int block = 0; block < 40; ++block) {
      in.resize(2 * size(rng));
      const float gain = level(rng);
      for (float& s : in) s = gain * sample(rng);
      const int n = resample_stereo(&r, in.data(), static_cast<int>(in.size()));
      f.add(&n, sizeof n);
      f.add(r.output, sizeof(float) * n);
      f.add(&r.position, sizeof r.position);
    }
    resample_release(&r);
  }
  return f.hash;
}

TEST(ResampleFingerprint, StreamsGiveTheSamplesTheyAlwaysGave) {
  EXPECT_EQ(streamFingerprint(), 0x7f87441d51fb736cull) << std::hex << streamFingerprint();
}

}  // namespace
