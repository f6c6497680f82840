#include "plugin/stop_signal.h"

#include <chrono>

bool StopSignal::SleepFor(int ms) {
  std::unique_lock<std::mutex> lock(mMutex);
  mWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return mRaised.load(); });
  return !mRaised.load();
}

void StopSignal::Raise() {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mRaised.store(true);
  }
  mWake.notify_all();
}
