#include "gui/x11/x11_error_trap.h"

#include <atomic>
#include <mutex>

namespace {

// Traps may nest on one thread (a menu opened while events are handled);
// traps of different threads take turns, because the handler is process-wide.
std::recursive_mutex s_trapMutex;
X11ErrorTrap* s_innermost = nullptr;
// The handler that was installed before the outermost trap: errors of other
// connections go there, even when they arrive as the trap ends.
std::atomic<XErrorHandler> s_hostHandler{nullptr};
std::atomic<XIOErrorHandler> s_hostIOHandler{nullptr};

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* pDisplay) : mDisplay(pDisplay) {
  s_trapMutex.lock();
  mOuter = s_innermost;
  s_innermost = this;
  mPrevious = XSetErrorHandler(&X11ErrorTrap::Handler);
  mPreviousIO = XSetIOErrorHandler(&X11ErrorTrap::IOHandler);
  if (!mOuter) {
    s_hostHandler.store(mPrevious);
    s_hostIOHandler.store(mPreviousIO);
  }
}

X11ErrorTrap::~X11ErrorTrap() {
  XSetIOErrorHandler(mPreviousIO);
  XSetErrorHandler(mPrevious);
  s_innermost = mOuter;
  s_trapMutex.unlock();
}

bool X11ErrorTrap::Sync() {
  if (mDisplay) XSync(mDisplay, False);
  return !Failed();
}

int X11ErrorTrap::Handler(Display* pDisplay, XErrorEvent* pEvent) {
  {
    // Another thread's error may arrive while this handler is installed.
    std::lock_guard<std::recursive_mutex> lock(s_trapMutex);
    for (X11ErrorTrap* pTrap = s_innermost; pTrap; pTrap = pTrap->mOuter) {
      if (pTrap->mDisplay == pDisplay) {
        pTrap->mErrorCode = pEvent->error_code;
        pTrap->mBadResource = pEvent->resourceid;
        return 0;
      }
    }
  }
  const XErrorHandler host = s_hostHandler.load();
  return host && host != &X11ErrorTrap::Handler ? host(pDisplay, pEvent) : 0;
}

bool X11ErrorTrap::IsTrapped(Display* pDisplay) {
  std::lock_guard<std::recursive_mutex> lock(s_trapMutex);
  for (X11ErrorTrap* pTrap = s_innermost; pTrap; pTrap = pTrap->mOuter) {
    if (pTrap->mDisplay == pDisplay) return true;
  }
  return false;
}

// Returning hands a trapped connection to its exit handler, which the owner
// of the connection sets so that the process goes on.
int X11ErrorTrap::IOHandler(Display* pDisplay) {
  if (IsTrapped(pDisplay)) return 0;
  const XIOErrorHandler host = s_hostIOHandler.load();
  return host && host != &X11ErrorTrap::IOHandler ? host(pDisplay) : 0;
}
