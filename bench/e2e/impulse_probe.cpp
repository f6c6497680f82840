#include "bench/e2e/impulse_probe.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

#include "tests/e2e/plugin_rack.h"

namespace {

constexpr double kRelayRate = 44100.0;
constexpr int32_t kMaxFrames = 4096;

bool ReadAll(int fd, void* out, size_t size) {
  return recv(fd, out, size, MSG_WAITALL) == ssize_t(size);
}

}  // namespace

bool ImpulseProbe::Start(int port) {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(uint16_t(port));
  if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
    return false;
  const char request[] = "GET /.stream0_0\r\n";
  const int32_t loopOff[2] = {0, 0};
  if (send(fd_, request, sizeof request - 1, MSG_NOSIGNAL) < 0 ||
      send(fd_, loopOff, sizeof loopOff, MSG_NOSIGNAL) < 0)
    return false;
  thread_ = std::thread(&ImpulseProbe::Read, this);
  return true;
}

void ImpulseProbe::Stop() {
  stop_ = true;
  if (fd_ >= 0) shutdown(fd_, SHUT_RDWR);
  if (thread_.joinable()) thread_.join();
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

std::vector<double> ImpulseProbe::Impulses() {
  std::lock_guard<std::mutex> lock(mutex_);
  return impulses_;
}

void ImpulseProbe::Read() {
  std::vector<float> samples(2 * kMaxFrames);
  std::vector<uint8_t> body;
  while (!stop_) {
    int32_t n = 0;
    if (!ReadAll(fd_, &n, sizeof n)) return;
    if (n == 0) {
      int32_t size = 0;
      if (!ReadAll(fd_, &size, sizeof size) || size < 0 || size > 4096) return;
      body.resize(size_t(size));
      if (size > 0 && !ReadAll(fd_, body.data(), body.size())) return;
      continue;
    }
    if (n < 0 || n > kMaxFrames || !ReadAll(fd_, samples.data(), size_t(n) * 8)) return;
    const double arrived = MonotonicSeconds();
    for (int32_t i = 0; i < n; ++i) {
      if (samples[size_t(2 * i)] < 0.5f) continue;
      std::lock_guard<std::mutex> lock(mutex_);
      impulses_.push_back(arrived + double(i) / kRelayRate);
    }
  }
}
