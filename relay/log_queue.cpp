#include "relay/log_queue.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace relay {

LogQueue::LogQueue(FILE* file) : file_(file) {
  if (file_) thread_ = std::thread([this] { Run(); });
}

LogQueue::~LogQueue() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closing_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void LogQueue::Post(std::string line) {
  if (!file_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (lines_.size() >= kMaxLines) {
      ++dropped_;
      return;
    }
    lines_.push_back(std::move(line));
  }
  wake_.notify_one();
}

bool LogQueue::Flush(int timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return drained_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [this] { return lines_.empty() && !writing_; });
}

// Takes one line at a time; the lock is never held while writing. Once
// closing, an output that stays blocked ends the thread with lines unwritten.
void LogQueue::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return closing_ || !lines_.empty() || dropped_; });
    std::string line;
    if (dropped_ && lines_.size() < kMaxLines) {
      line = "log: " + std::to_string(dropped_) + " lines lost while the output took none";
      dropped_ = 0;
    } else if (!lines_.empty()) {
      line = std::move(lines_.front());
      lines_.pop_front();
    } else {
      drained_.notify_all();
      if (closing_) return;
      continue;
    }
    writing_ = true;
    lock.unlock();
    const bool written = Write(line);
    lock.lock();
    writing_ = false;
    if (lines_.empty() && !dropped_) drained_.notify_all();
    if (!written) return;
  }
}

// Waits for room before writing, so that a closing relay is never stuck in
// a write; a line shorter than a pipe's atomic size then goes in whole.
bool LogQueue::Write(const std::string& line) {
  int waited = 0;
  while (!WaitWritable(100)) {
    waited += 100;
    std::lock_guard<std::mutex> lock(mutex_);
    if (closing_ && waited >= kCloseSeconds * 1000) return false;
  }
  flockfile(file_);
  fputs(line.c_str(), file_);
  fputc('\n', file_);
  fflush(file_);
  funlockfile(file_);
  return true;
}

bool LogQueue::WaitWritable(int timeoutMs) {
  pollfd p{fileno(file_), POLLOUT, 0};
  const int ready = poll(&p, 1, timeoutMs);
  return ready != 0 || (ready < 0 && errno != EINTR);
}

}  // namespace relay
