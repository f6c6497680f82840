// Lines the relay's serving thread logs, written to their file by a thread of
// their own, so that an output nobody reads (a paused pager, a full pipe, a
// stopped terminal) never holds up the audio. Lines beyond a bounded backlog
// are dropped and counted; the count is written once the output takes lines
// again.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace relay {

class LogQueue {
 public:
  // file: where lines go, or null for nowhere (then no thread runs).
  explicit LogQueue(FILE* file);
  // Writes what is queued, giving up after kCloseSeconds of an output that
  // takes nothing.
  ~LogQueue();
  LogQueue(const LogQueue&) = delete;
  LogQueue& operator=(const LogQueue&) = delete;

  // Queues one line (without its newline); never waits on the output.
  void Post(std::string line);
  // Waits until every queued line is written, at most timeoutMs; whether it was.
  bool Flush(int timeoutMs);

  static constexpr size_t kMaxLines = 1000;
  static constexpr double kCloseSeconds = 1.0;

 private:
  void Run();
  bool Write(const std::string& line);
  bool WaitWritable(int timeoutMs);

  FILE* file_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable drained_;
  std::deque<std::string> lines_;
  uint64_t dropped_ = 0;
  bool writing_ = false;
  bool closing_ = false;
  std::thread thread_;
};

}  // namespace relay
