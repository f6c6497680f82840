#include "relay/retry_loop.h"

#include <chrono>
#include <utility>

namespace relay {

RetryLoop::~RetryLoop() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void RetryLoop::Start(std::function<void()> round, std::function<void()> finish) {
  thread_ = std::thread([this, round = std::move(round), finish = std::move(finish)] {
    do round();
    while (Wait());
    finish();
  });
}

void RetryLoop::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

// Sleeps for the period; false once the loop is stopping.
bool RetryLoop::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait_for(lock, std::chrono::duration<double>(periodSeconds_),
                 [this] { return stop_ || woken_; });
  woken_ = false;
  return !stop_;
}

void LogLine(FILE* log, const char* format, va_list args) {
  if (!log) return;
  char line[1024];
  vsnprintf(line, sizeof line, format, args);
  fprintf(log, "%s\n", line);
  fflush(log);
}

}  // namespace relay
