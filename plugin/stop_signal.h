// StopSignal: a stop flag with sleeps that end as soon as it is raised, so a
// thread that waits a tick between its rounds can be stopped at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

class StopSignal {
 public:
  // Sleeps up to ms milliseconds; false when the signal is (or gets) raised.
  bool SleepFor(int ms);
  // Raises the signal and wakes every sleeper.
  void Raise();
  bool Raised() const { return mRaised.load(); }

 private:
  std::mutex mMutex;
  std::condition_variable mWake;
  std::atomic<bool> mRaised{false};
};
