#include "tests/relay/recorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace relay_test {

using Clock = std::chrono::steady_clock;

Recorder::Recorder(int port, uint32_t device) {
  EXPECT_TRUE(client_.Connect(port));
  EXPECT_TRUE(client_.SendRequest(device, 0));
  thread_ = std::thread([this] {
    Record record;
    while (!stop_.load(std::memory_order_relaxed) && client_.ReadRecord(&record, 1000)) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (record.header == 0) control_.push_back(record.text());
      else samples_.insert(samples_.end(), record.samples.begin(), record.samples.end());
    }
  });
}

void Recorder::Finish() {
  stop_.store(true, std::memory_order_relaxed);
  if (thread_.joinable()) thread_.join();
}

std::vector<float> Recorder::samples() {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_;
}

size_t Recorder::frames() {
  std::lock_guard<std::mutex> lock(mutex_);
  return samples_.size() / 2;
}

std::vector<std::string> Recorder::control() {
  std::lock_guard<std::mutex> lock(mutex_);
  return control_;
}

bool Recorder::WaitFor(bool sound, std::chrono::milliseconds deadline) {
  for (const auto end = Clock::now() + deadline; Clock::now() < end;) {
    const size_t start = frames();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::vector<float> latest = samples();
    if (latest.size() / 2 < start + 4410) continue;
    latest.erase(latest.begin(), latest.end() - 2 * 4410);
    const float peak =
        std::fabs(*std::max_element(latest.begin(), latest.end(),
                                    [](float a, float b) { return std::fabs(a) < std::fabs(b); }));
    if (sound ? peak > 0.4f : peak == 0.0f) return true;
  }
  return false;
}

bool Recorder::WaitFrames(size_t more) {
  const size_t goal = frames() + more;
  for (const auto end = Clock::now() + kDeadline; Clock::now() < end;) {
    if (frames() >= goal) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

}  // namespace relay_test
