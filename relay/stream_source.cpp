#include "relay/stream_source.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace relay {

namespace {

constexpr size_t kRingFrames = 16384;  // about 370 ms
constexpr size_t kChunkFrames = 1024;
constexpr int kPollMs = 50;
constexpr long kFullWaitNs = 5000000;  // 5 ms

}  // namespace

StreamSource::StreamSource(int fd, std::string name, FILE* log)
    : fd_(fd), name_(std::move(name)), log_(log), ring_(kRingFrames) {
  reader_ = std::thread([this] { ReadLoop(); });
}

StreamSource::~StreamSource() {
  stop_.store(true, std::memory_order_release);
  reader_.join();
}

void StreamSource::Render(float* out, int frames) {
  const size_t want = static_cast<size_t>(frames);
  size_t got = 0;
  if (ring_.Available() >= want || ended()) got = ring_.Read(out, want);
  std::fill(out + 2 * got, out + 2 * want, 0.0f);
}

bool StreamSource::WaitReadable() {
  while (!stop_.load(std::memory_order_acquire)) {
    pollfd p = {fd_, POLLIN, 0};
    const int r = poll(&p, 1, kPollMs);
    if (r > 0) return true;
    if (r < 0 && errno != EINTR) return false;
  }
  return false;
}

void StreamSource::ReadLoop() {
  // Raw bytes; a frame split across reads is kept until its rest arrives.
  uint8_t bytes[kChunkFrames * 2 * sizeof(float)];
  size_t have = 0;
  int failure = 0;
  while (WaitReadable()) {
    const ssize_t n = read(fd_, bytes + have, sizeof bytes - have);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n < 0) failure = errno;
    if (n <= 0) break;
    have += static_cast<size_t>(n);
    const size_t whole = have / (2 * sizeof(float));
    float frames[kChunkFrames * 2];
    std::memcpy(frames, bytes, whole * 2 * sizeof(float));
    Store(frames, whole);
    have -= whole * 2 * sizeof(float);
    std::memmove(bytes, bytes + whole * 2 * sizeof(float), have);
  }
  ended_.store(true, std::memory_order_release);
  if (!log_ || stop_.load(std::memory_order_acquire)) return;
  std::fprintf(log_, "device \"%s\": standard input %s%s; the device plays silence from now on\n",
               name_.c_str(), failure ? "failed: " : "ended",
               failure ? std::strerror(failure) : "");
  std::fflush(log_);
}

// Non-finite samples become silence; a full ring holds the writer back, which
// paces a faster producer at the playback rate.
void StreamSource::Store(float* frames, size_t count) {
  for (size_t i = 0; i < 2 * count; ++i)
    if (!std::isfinite(frames[i])) frames[i] = 0.0f;
  size_t done = 0;
  while (done < count && !stop_.load(std::memory_order_acquire)) {
    done += ring_.Write(frames + 2 * done, count - done);
    if (done < count) {
      const timespec wait = {0, kFullWaitNs};
      nanosleep(&wait, nullptr);
    }
  }
}

}  // namespace relay
