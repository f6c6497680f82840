#include "relay/session.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <utility>

namespace relay {

namespace {

constexpr size_t kQueueBytes = 128 * 1024;
constexpr size_t kReadChunk = 16384;
constexpr int kReadsPerCall = 4;
constexpr size_t kLoopbackFrames = 16384;
// Loopback audio buffered beyond this is late; it is trimmed to two blocks.
constexpr size_t kLoopbackMaxLag = 8192;

}  // namespace

Session::Session(int fd, int number, std::string peer, int64_t nowNs,
                 const std::vector<Device>* devices)
    : fd_(fd),
      number_(number),
      peer_(std::move(peer)),
      devices_(devices),
      inbound_(std::make_unique<InboundReader>()),
      queue_(kQueueBytes),
      connectedNs_(nowNs),
      lastProgressNs_(nowNs) {}

Session::~Session() { close(fd_); }

void Session::ReadInput() {
  uint8_t buffer[kReadChunk];
  for (int i = 0; i < kReadsPerCall && state_ != State::kClosed; ++i) {
    const ssize_t n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n > 0) {
      Consume(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n == 0) Close("peer closed");
    else if (errno == ECONNRESET) Close("peer reset");
    else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) Close("read error");
    return;
  }
}

void Session::Consume(const uint8_t* data, size_t size) {
  if (state_ == State::kAwaitingRequest) {
    const size_t used = requestReader_.Feed(data, size);
    data += used;
    size -= used;
    if (requestReader_.status() == RequestReader::Status::kMalformed)
      return Close("malformed request");
    if (requestReader_.status() == RequestReader::Status::kComplete) RequestDone();
  }
  if (size == 0 || state_ == State::kClosed) return;
  if (!inbound_->Feed(data, size, this))
    Close(inbound_->error() == InboundReader::Error::kOversized ? "oversized packet"
                                                                : "bad header");
}

// The device is known before any effects-loop audio that followed the request
// in the same read is parsed, so a loopback keeps all of it.
void Session::RequestDone() {
  deviceIndex_ = FindDevice(*devices_, request().deviceId);
  if (deviceIndex_ >= 0 && !(*devices_)[static_cast<size_t>(deviceIndex_)].source)
    loopback_ = std::make_unique<FrameRing>(kLoopbackFrames);
  state_ = State::kRequested;
}

void Session::StartStream() {
  if (state_ == State::kRequested) state_ = State::kStreaming;
}

bool Session::Queue(const uint8_t* data, size_t size) { return queue_.Push(data, size); }

void Session::Flush(int64_t nowNs) {
  while (queue_.size() > 0 && state_ != State::kClosed) {
    size_t size;
    const uint8_t* front = queue_.Front(&size);
    const ssize_t n = send(fd_, front, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      queue_.Pop(static_cast<size_t>(n));
      lastProgressNs_ = nowNs;
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
      return;
    } else {
      Close("write error");
    }
  }
  lastProgressNs_ = nowNs;
}

bool Session::Send(const uint8_t* data, size_t size, int64_t nowNs) {
  if (queue_.size() > 0 || state_ == State::kClosed) {
    const bool queued = Queue(data, size);
    Flush(nowNs);
    return queued;
  }
  const ssize_t n = send(fd_, data, size, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
    Close("write error");
    return true;
  }
  const size_t sent = n > 0 ? static_cast<size_t>(n) : 0;
  // The queue is empty, so the rest of one packet always fits.
  Queue(data + sent, size - sent);
  if (sent > 0) lastProgressNs_ = nowNs;
  return true;
}

void Session::Close(const char* reason) {
  if (state_ == State::kClosed) return;
  state_ = State::kClosed;
  closeReason_ = reason;
}

void Session::RenderLoopback(float* out, int frames) {
  const size_t want = static_cast<size_t>(frames);
  size_t got = 0;
  if (loopback_) {
    const size_t available = loopback_->Available();
    if (available > kLoopbackMaxLag) loopback_->Discard(available - 2 * want);
    if (loopback_->Available() >= want) got = loopback_->Read(out, want);
  }
  std::fill(out + 2 * got, out + 2 * want, 0.0f);
}

void Session::OnEffectsLoop(bool on) { effectsLoop_ = on; }

void Session::OnAudio(const float* samples, int frames) {
  framesReceived += static_cast<uint64_t>(frames);
  if (!loopback_) return;
  // Non-finite samples would reach the host's output: they come back as silence.
  float clean[2 * 256];
  for (int done = 0; done < frames;) {
    const int take = std::min(frames - done, 256);
    for (int i = 0; i < 2 * take; ++i) {
      const float s = samples[2 * done + i];
      clean[i] = std::isfinite(s) ? s : 0.0f;
    }
    loopback_->Write(clean, static_cast<size_t>(take));
    done += take;
  }
}

}  // namespace relay
