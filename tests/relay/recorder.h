// Reads one client's stream on a thread of its own, so it never stalls while
// the test does something else; tests wait on what it received.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/relay/test_client.h"

namespace relay_test {

class Recorder {
 public:
  static constexpr auto kDeadline = std::chrono::seconds(20);

  Recorder(int port, uint32_t device);
  ~Recorder() { Finish(); }
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  void Finish();
  std::vector<float> samples();
  size_t frames();
  std::vector<std::string> control();
  // Waits until the latest frames (a tenth of a second) are all sound or all
  // silence, as asked; false after the deadline.
  bool WaitFor(bool sound, std::chrono::milliseconds deadline = kDeadline);
  // Waits until frames more have arrived.
  bool WaitFrames(size_t more);

 private:
  TestClient client_;
  std::mutex mutex_;
  std::vector<float> samples_;
  std::vector<std::string> control_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace relay_test
