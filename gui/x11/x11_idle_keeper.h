// X11IdleKeeper: stands in for a host that stops calling the editor's idle.
// While the host calls, the keeper only watches; once the host has been
// silent for kSilence, the keeper's thread runs the editor's turns itself,
// every kTick, until the host calls again. A turn runs only with the drive
// lock held, so exactly one thread drives the editor's display connection at
// any time; a turn that finds the lock taken is skipped. The thread ends
// with the keeper.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class X11IdleKeeper {
 public:
  static constexpr std::chrono::milliseconds kSilence{40};
  static constexpr std::chrono::milliseconds kTick{5};

  // Starts the thread; the host counts as having called just now.
  X11IdleKeeper(std::recursive_mutex* pDrive, std::function<void()> turn);
  // Stops the thread and waits for it (a turn under way ends first).
  ~X11IdleKeeper();
  X11IdleKeeper(const X11IdleKeeper&) = delete;
  X11IdleKeeper& operator=(const X11IdleKeeper&) = delete;

  // The host called idle: the keeper leaves the driving to it.
  void NoteHostIdle();
  // Whether the caller runs on the keeper's thread (inside one of its turns).
  bool OnItsThread() const { return std::this_thread::get_id() == mThread.get_id(); }

 private:
  using Clock = std::chrono::steady_clock;
  void Run();

  std::recursive_mutex* mDrive;
  std::function<void()> mTurn;
  std::atomic<Clock::rep> mLastHostIdle;
  std::mutex mMutex;
  std::condition_variable mWake;
  bool mStop = false;
  std::thread mThread;
};
