// The thread that keeps a sound server's devices linked: runs one round at
// once and then once per period, or sooner when woken (a lost server wakes it
// from the server's own thread), until the loop is destroyed. Declared as the
// last member of its owner, it stops before the state its rounds use goes.
#pragma once

#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

namespace relay {

class RetryLoop {
 public:
  explicit RetryLoop(double periodSeconds) : periodSeconds_(periodSeconds) {}
  // Stops the thread and waits for its last round and for finish.
  ~RetryLoop();
  RetryLoop(const RetryLoop&) = delete;
  RetryLoop& operator=(const RetryLoop&) = delete;

  // Starts the thread; finish runs on it once the loop stops.
  void Start(std::function<void()> round, std::function<void()> finish);
  // Ends the current wait early; safe from any thread.
  void Wake();
  double periodSeconds() const { return periodSeconds_; }

 private:
  bool Wait();

  const double periodSeconds_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;   // guarded by mutex_
  bool woken_ = false;  // guarded by mutex_
  std::thread thread_;
};

// One whole line per call, so lines from different threads never interleave;
// a null log prints nothing.
void LogLine(FILE* log, const char* format, va_list args);

}  // namespace relay
