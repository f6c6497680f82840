#include "relay/jack_feed.h"

#include <algorithm>
#include <cmath>

namespace relay {

namespace {

constexpr size_t kChunkFrames = 128;

// A program that sends NaN or infinity must not reach a host's output.
float Finite(float sample) { return std::isfinite(sample) ? sample : 0.0f; }

}  // namespace

JackFeed::JackFeed(size_t ringFrames) : ring_(ringFrames) {}

void JackFeed::Push(const float* left, const float* right, size_t frames) {
  float chunk[2 * kChunkFrames];
  size_t lost = 0;
  for (size_t done = 0; done < frames;) {
    const size_t take = std::min(frames - done, kChunkFrames);
    for (size_t i = 0; i < take; ++i) {
      chunk[2 * i] = Finite(left[done + i]);
      chunk[2 * i + 1] = Finite(right[done + i]);
    }
    lost += take - ring_.Write(chunk, take);
    done += take;
  }
  if (lost) overruns_.fetch_add(lost, std::memory_order_relaxed);
}

void JackFeed::PushInterleaved(const float* frames, size_t count) {
  float chunk[2 * kChunkFrames];
  size_t lost = 0;
  for (size_t done = 0; done < count;) {
    const size_t take = std::min(count - done, kChunkFrames);
    for (size_t i = 0; i < 2 * take; ++i) chunk[i] = Finite(frames[2 * done + i]);
    lost += take - ring_.Write(chunk, take);
    done += take;
  }
  if (lost) overruns_.fetch_add(lost, std::memory_order_relaxed);
}

// Rate and period are published before the generation, and the generation
// before the stream is live, so the relay's thread never pairs a new stream
// with the old rate.
void JackFeed::Start(int sampleRate, int periodFrames) {
  rate_.store(sampleRate, std::memory_order_relaxed);
  period_.store(periodFrames, std::memory_order_relaxed);
  generation_.fetch_add(1, std::memory_order_release);
  live_.store(true, std::memory_order_release);
}

}  // namespace relay
