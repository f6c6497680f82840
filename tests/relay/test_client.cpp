#include "tests/relay/test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace relay_test {

namespace {

int32_t Int32At(const std::vector<uint8_t>& raw, size_t offset) {
  int32_t value = 0;
  if (raw.size() >= offset + 4) std::memcpy(&value, &raw[offset], 4);
  return value;
}

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int32_t Record::type() const { return Int32At(raw, 8); }
int32_t Record::deviceId() const { return Int32At(raw, 12); }
int32_t Record::channel() const { return Int32At(raw, 20); }
std::string Record::text() const {
  if (raw.size() <= 28) return "";
  const char* start = reinterpret_cast<const char*>(&raw[28]);
  return std::string(start, strnlen(start, raw.size() - 28));
}

TestClient::~TestClient() {
  if (fd_ >= 0) close(fd_);
}

bool TestClient::Connect(int port, int receiveBuffer) {
  fd_ = socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) return false;
  if (receiveBuffer > 0)
    setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  return connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

bool TestClient::Send(const void* data, size_t size) {
  return send(fd_, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

bool TestClient::SendRequest(uint32_t deviceId, int channel) {
  char line[64];
  snprintf(line, sizeof line, "GET /.stream%x_%d\r\n", deviceId, channel);
  return SendText(line);
}

bool TestClient::SendInts(int32_t a, int32_t b) {
  const int32_t words[2] = {a, b};
  return Send(words, sizeof words);
}

bool TestClient::SendAudio(const std::vector<float>& interleaved) {
  const int32_t frames = static_cast<int32_t>(interleaved.size() / 2);
  return Send(&frames, 4) && Send(interleaved.data(), interleaved.size() * sizeof(float));
}

bool TestClient::ReadExact(void* out, size_t size, int timeoutMs) {
  auto* bytes = static_cast<uint8_t*>(out);
  const int64_t end = NowMs() + timeoutMs;
  size_t have = 0;
  while (have < size) {
    const int64_t left = end - NowMs();
    pollfd p = {fd_, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t n = recv(fd_, bytes + have, size - have, 0);
    if (n <= 0) return false;
    have += static_cast<size_t>(n);
  }
  return true;
}

bool TestClient::ReadRecord(Record* record, int timeoutMs) {
  *record = Record();
  record->raw.resize(4);
  if (!ReadExact(record->raw.data(), 4, timeoutMs)) return false;
  record->header = Int32At(record->raw, 0);
  if (record->header == 0) {
    record->raw.resize(8);
    if (!ReadExact(&record->raw[4], 4, timeoutMs)) return false;
    const int32_t size = Int32At(record->raw, 4);
    if (size < 0 || size > 4096) return false;
    record->raw.resize(8 + static_cast<size_t>(size));
    return ReadExact(&record->raw[8], static_cast<size_t>(size), timeoutMs);
  }
  if (record->header < 0 || record->header > 4096) return false;
  const size_t bytes = static_cast<size_t>(record->header) * 8;
  record->raw.resize(4 + bytes);
  if (!ReadExact(&record->raw[4], bytes, timeoutMs)) return false;
  record->samples.resize(bytes / 4);
  std::memcpy(record->samples.data(), &record->raw[4], bytes);
  return true;
}

bool TestClient::ReadFrames(size_t frames, std::vector<float>* samples, int timeoutMs) {
  samples->clear();
  Record record;
  while (samples->size() < frames * 2) {
    if (!ReadRecord(&record, timeoutMs)) return false;
    samples->insert(samples->end(), record.samples.begin(), record.samples.end());
  }
  return true;
}

bool TestClient::WaitClosed(int timeoutMs) {
  const int64_t end = NowMs() + timeoutMs;
  uint8_t sink[65536];
  for (;;) {
    const int64_t left = end - NowMs();
    pollfd p = {fd_, POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t n = recv(fd_, sink, sizeof sink, 0);
    if (n == 0 || (n < 0 && errno == ECONNRESET)) return true;
    if (n < 0) return false;
  }
}

}  // namespace relay_test
