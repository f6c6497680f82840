#include "gui/x11/x11_idle_keeper.h"

#include <system_error>

constexpr std::chrono::milliseconds X11IdleKeeper::kSilence;
constexpr std::chrono::milliseconds X11IdleKeeper::kTick;

X11IdleKeeper::X11IdleKeeper(std::recursive_mutex* pDrive, std::function<void()> turn)
    : mDrive(pDrive),
      mTurn(std::move(turn)),
      mLastHostIdle(Clock::now().time_since_epoch().count()) {
  try {
    mThread = std::thread(&X11IdleKeeper::Run, this);
  } catch (const std::system_error&) {
    // Without the thread the editor still runs on the host's idle calls.
  }
}

X11IdleKeeper::~X11IdleKeeper() {
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStop = true;
  }
  mWake.notify_all();
  if (mThread.joinable()) mThread.join();
}

void X11IdleKeeper::NoteHostIdle() {
  mLastHostIdle.store(Clock::now().time_since_epoch().count(), std::memory_order_relaxed);
}

void X11IdleKeeper::Run() {
  std::unique_lock<std::mutex> lock(mMutex);
  while (!mStop) {
    const Clock::time_point last{Clock::duration(mLastHostIdle.load(std::memory_order_relaxed))};
    const Clock::time_point takeOver = last + kSilence;
    const Clock::time_point now = Clock::now();
    if (now < takeOver) {
      mWake.wait_until(lock, takeOver);
      continue;
    }
    lock.unlock();
    {
      std::unique_lock<std::recursive_mutex> drive(*mDrive, std::try_to_lock);
      if (drive.owns_lock()) mTurn();
    }
    lock.lock();
    if (!mStop) mWake.wait_for(lock, kTick);
  }
}
