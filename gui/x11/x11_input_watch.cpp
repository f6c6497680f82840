#include "gui/x11/x11_input_watch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

X11InputWatch::X11InputWatch(int fd) : mFd(fd) {
  mWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (mWake < 0) return;
  try {
    mWatching.store(true, std::memory_order_relaxed);
    mThread = std::thread(&X11InputWatch::Run, this);
  } catch (const std::system_error&) {
    mWatching.store(false, std::memory_order_relaxed);
    close(mWake);
    mWake = -1;
  }
}

bool X11InputWatch::TakeReadable() {
  if (!mWatching.load(std::memory_order_relaxed)) return true;
  if (!mReadable.load(std::memory_order_relaxed)) return false;
  mReadable.store(false, std::memory_order_relaxed);
  const uint64_t one = 1;
  (void)!write(mWake, &one, sizeof one);
  return true;
}

void X11InputWatch::Stop() {
  if (!mThread.joinable()) return;
  mStop.store(true, std::memory_order_relaxed);
  const uint64_t one = 1;
  (void)!write(mWake, &one, sizeof one);
  mThread.join();
  close(mWake);
  mWake = -1;
}

void X11InputWatch::Run() {
  while (!mStop.load(std::memory_order_relaxed)) {
    pollfd fds[2] = {{mWake, POLLIN, 0}, {mFd, POLLIN, 0}};
    // While earlier data waits to be read, only a wake-up is awaited.
    const nfds_t count = mReadable.load(std::memory_order_relaxed) ? 1 : 2;
    if (poll(fds, count, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    uint64_t value;
    if (fds[0].revents) (void)!read(mWake, &value, sizeof value);
    // Readable, hung up or failed: the next idle call reads and finds out.
    if (count == 2 && fds[1].revents) mReadable.store(true, std::memory_order_relaxed);
  }
  mWatching.store(false, std::memory_order_relaxed);
}
