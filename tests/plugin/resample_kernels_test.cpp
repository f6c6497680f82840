// Every interpolation loop the processor runs gives the two-frame SSE2 loop's
// samples bit for bit, for any ratio, start and run length, reading only the
// taps of its frames (the input is sized exactly, for AddressSanitizer).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "plugin/resample_kernels_p.h"

namespace {

struct Kernel {
  const char* name;
  skylane::InterpolateFn fn;
  bool usable;
};

// Output frames [begin, end) whose taps (frames trunc(t) - 6 .. trunc(t) - 3)
// lie in an input of `frames` frames.
int lastUsableFrame(float position, float ratio, int frames) {
  int end = 0;
  while (static_cast<int>(position + static_cast<float>(end) * ratio) - 3 < frames) ++end;
  return end;
}

const Kernel kernels[] = {
    {"avx", skylane::interpolateAvx, __builtin_cpu_supports("avx") != 0},
    {"avx quad", skylane::interpolateAvxQuad, __builtin_cpu_supports("avx") != 0},
    {"avx512", skylane::interpolateAvx512, __builtin_cpu_supports("avx512f") != 0}};

TEST(ResampleKernels, EveryLoopGivesTheSamplesOfTheTwoFrameLoop) {
  std::mt19937 rng(31);
  std::uniform_real_distribution<float> sample(-1, 1), fraction(0, 1);
  const float fixedRatios[] = {
      1.0f,   0.99999994f, 1.0000001f,  44100.0f / 48000.0f, 48000.0f / 44100.0f,
      0.125f, 2.0f,        7.0f / 8.0f, 8.0f / 7.0f};
  int compared = 0;
  for (int round = 0; round < 3000; ++round) {
    const int frames = 8 + static_cast<int>(rng() % 505);
    std::vector<float> in(2 * frames);
    for (float& s : in) s = sample(rng);
    const float ratio = round % 3 == 0 ? fixedRatios[rng() % 9] : 0.03f + 6.0f * fraction(rng);
    const float position = 6.0f + fraction(rng);
    const int end = lastUsableFrame(position, ratio, frames);
    const int begin = end > 0 ? static_cast<int>(rng() % (end < 12 ? end : 12)) : 0;
    std::vector<float> expected(2 * end + 2), out(2 * end + 2);
    skylane::interpolateSse2(in.data(), position, ratio, begin, end, expected.data());
    for (const Kernel& k : kernels) {
      if (!k.usable) continue;
      std::fill(out.begin(), out.end(), -7.0f);
      k.fn(in.data(), position, ratio, begin, end, out.data());
      ASSERT_EQ(std::memcmp(out.data() + 2 * begin, expected.data() + 2 * begin,
                            sizeof(float) * 2 * (end - begin)),
                0)
          << k.name << " round " << round << " ratio " << ratio << " frames " << frames;
      ASSERT_EQ(out[2 * end], -7.0f) << k.name << " wrote past the last frame";
      if (begin > 0) {
        ASSERT_EQ(out[2 * begin - 1], -7.0f) << k.name << " wrote before the first";
      }
      ++compared;
    }
  }
  if (compared == 0) GTEST_SKIP() << "no vector loop on this processor";
}

float bits(uint32_t word) {
  float f;
  std::memcpy(&f, &word, sizeof f);
  return f;
}

// Bitwise equal, or both NaN: which input NaN's payload reaches the output
// depends on the instruction order, as it always has between these loops.
bool sameSample(float a, float b) {
  return std::memcmp(&a, &b, sizeof a) == 0 || (a != a && b != b);
}

// Subnormal, zero, huge, infinite and NaN samples mixed with ordinary ones:
// the same bits from every loop (any NaN where the two-frame loop has one).
TEST(ResampleKernels, UnusualSamplesGiveTheSameSamplesInEveryLoop) {
  const float unusual[] = {bits(0x00000001),
                           bits(0x00000003),
                           bits(0x80000005),
                           bits(0x007FFFFF),
                           bits(0x00800001),
                           bits(0x80800000),
                           0.0f,
                           -0.0f,
                           std::numeric_limits<float>::max(),
                           -std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           bits(0x7FC01234),
                           bits(0xFF812345),
                           bits(0x7F800001),
                           1e-30f,
                           3e38f,
                           0.5f};
  std::mt19937 rng(37);
  std::uniform_real_distribution<float> sample(-1, 1), fraction(0, 1);
  for (int round = 0; round < 400; ++round) {
    const int frames = 8 + static_cast<int>(rng() % 120);
    std::vector<float> in(2 * frames);
    for (float& s : in) s = rng() % 3 ? unusual[rng() % 18] : sample(rng);
    const float ratio = 0.1f + 2.0f * fraction(rng), position = 6.0f + fraction(rng);
    const int end = lastUsableFrame(position, ratio, frames);
    std::vector<float> expected(2 * end), out(2 * end);
    skylane::interpolateSse2(in.data(), position, ratio, 0, end, expected.data());
    for (const Kernel& k : kernels) {
      if (!k.usable) continue;
      k.fn(in.data(), position, ratio, 0, end, out.data());
      for (int i = 0; i < 2 * end; ++i)
        ASSERT_TRUE(sameSample(out[i], expected[i]))
            << k.name << " round " << round << " sample " << i << ": " << out[i] << " for "
            << expected[i];
    }
  }
}

}  // namespace
