#include "tests/plugin/scripted_relay.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

ScriptedRelay::ScriptedRelay() {
  mListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (bind(mListener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      listen(mListener, 16) == 0 &&
      getsockname(mListener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
    mPort = ntohs(address.sin_port);
}

ScriptedRelay::~ScriptedRelay() {
  if (mListener >= 0) close(mListener);
}

int ScriptedRelay::Accept(int timeoutMs) {
  pollfd entry = {mListener, POLLIN, 0};
  if (poll(&entry, 1, timeoutMs) != 1) return -1;
  return accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC);
}

bool ReadExactly(int fd, void* dest, size_t n, int timeoutMs) {
  char* bytes = static_cast<char*>(dest);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (n > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd entry = {fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) != 1) return false;
    const ssize_t got = recv(fd, bytes, n, 0);
    if (got <= 0) return false;
    bytes += got;
    n -= static_cast<size_t>(got);
  }
  return true;
}

std::string ReadRequest(int fd, int32_t* loopFlag, int timeoutMs) {
  std::string line;
  char c;
  while (line.size() < 300 && ReadExactly(fd, &c, 1, timeoutMs)) {
    line += c;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) break;
  }
  int32_t loop[2] = {-1, -1};
  if (!ReadExactly(fd, loop, sizeof loop, timeoutMs) || loop[0] != 0)
    return "no loop setting after " + line;
  if (loopFlag) *loopFlag = loop[1];
  return line;
}

bool WriteAll(int fd, const void* data, size_t n) {
  const char* bytes = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t sent = send(fd, bytes, n, MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes += sent;
    n -= static_cast<size_t>(sent);
  }
  return true;
}

bool SendWord(int fd, int32_t word) { return WriteAll(fd, &word, sizeof word); }

bool SendControl(int fd, int32_t type, int32_t deviceId, int32_t channel, const std::string& text,
                 int32_t size) {
  if (size == 0) size = 280;
  std::vector<char> body(static_cast<size_t>(size > 280 ? size : 280), 0);
  std::memcpy(body.data(), &type, 4);
  std::memcpy(body.data() + 4, &deviceId, 4);
  std::memcpy(body.data() + 12, &channel, 4);
  std::memcpy(body.data() + 20, text.data(),
              text.size() < body.size() - 20 ? text.size() : body.size() - 20);
  return SendWord(fd, 0) && SendWord(fd, size) &&
         WriteAll(fd, body.data(), static_cast<size_t>(size));
}

bool SendAudio(int fd, int32_t frames, float value) {
  std::vector<float> samples(2 * static_cast<size_t>(frames), value);
  return SendWord(fd, frames) && WriteAll(fd, samples.data(), samples.size() * sizeof(float));
}

bool PeerClosed(int fd, int timeoutMs) {
  char scratch[4096];
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    pollfd entry = {fd, POLLIN, 0};
    if (poll(&entry, 1, 10) != 1) continue;
    const ssize_t got = recv(fd, scratch, sizeof scratch, MSG_DONTWAIT);
    if (got == 0 || (got < 0 && errno != EAGAIN)) return true;
  }
  return false;
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

int OpenDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (!dir) return -1;
  int count = 0;
  while (readdir(dir)) ++count;
  closedir(dir);
  return count;
}

void UseTestRelay(int port, int tickMs, int stallMs) {
  setenv("SKYLANE_RELAY_PORT", std::to_string(port).c_str(), 1);
  setenv("SKYLANE_TICK_MS", std::to_string(tickMs).c_str(), 1);
  if (stallMs > 0) setenv("SKYLANE_STALL_MS", std::to_string(stallMs).c_str(), 1);
  else unsetenv("SKYLANE_STALL_MS");
}
