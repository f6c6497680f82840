// A raw socket client for driving the relay in tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace relay_test {

struct Record {
  int32_t header = -1;         // 0: control, else frames
  std::vector<uint8_t> raw;    // the whole record as received
  std::vector<float> samples;  // audio only
  int32_t type() const;        // control only: body fields
  int32_t deviceId() const;
  int32_t channel() const;
  std::string text() const;
};

class TestClient {
 public:
  TestClient() = default;
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  // receiveBuffer > 0 shrinks the socket's receive buffer before connecting.
  bool Connect(int port, int receiveBuffer = 0);
  bool Send(const void* data, size_t size);
  bool SendText(const std::string& text) { return Send(text.data(), text.size()); }
  bool SendRequest(uint32_t deviceId, int channel);
  bool SendInts(int32_t a, int32_t b);
  bool SendAudio(const std::vector<float>& interleaved);
  // Reads exactly size bytes within timeoutMs.
  bool ReadExact(void* out, size_t size, int timeoutMs);
  bool ReadRecord(Record* record, int timeoutMs = 2000);
  // Reads audio records until frames have arrived; control records are skipped.
  bool ReadFrames(size_t frames, std::vector<float>* samples, int timeoutMs = 3000);
  // True when the relay closes the connection within timeoutMs.
  bool WaitClosed(int timeoutMs = 2000);
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

}  // namespace relay_test
