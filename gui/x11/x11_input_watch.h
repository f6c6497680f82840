// X11InputWatch: a thread that waits for the editor's display connection to
// become readable, so that an idle call with nothing to read makes no system
// call. The thread only polls the socket; Xlib alone reads it.
#pragma once

#include <atomic>
#include <thread>

class X11InputWatch {
 public:
  // Watches descriptor fd; when no thread can be started, every
  // TakeReadable() answers true and the caller reads as if unwatched.
  explicit X11InputWatch(int fd);
  ~X11InputWatch() { Stop(); }
  X11InputWatch(const X11InputWatch&) = delete;
  X11InputWatch& operator=(const X11InputWatch&) = delete;

  // True when the connection became readable since the last true answer;
  // the watch then waits for the next data.
  bool TakeReadable();
  // Ends and joins the thread; call before the descriptor is closed.
  void Stop();

 private:
  void Run();

  int mFd;
  int mWake = -1;  // eventfd that ends a wait early
  // Only says "read the socket"; it guards no memory, so relaxed suffices.
  std::atomic<bool> mReadable{true};
  std::atomic<bool> mWatching{false};  // false: answer true, as if unwatched
  std::atomic<bool> mStop{false};
  std::thread mThread;
};
