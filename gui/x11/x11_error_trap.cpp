#include "gui/x11/x11_error_trap.h"

#include <mutex>

namespace {

// Traps may nest on one thread (a menu opened while events are handled);
// traps of different threads take turns, because the handler is process-wide.
std::recursive_mutex s_trapMutex;
X11ErrorTrap* s_innermost = nullptr;

}  // namespace

X11ErrorTrap::X11ErrorTrap(Display* pDisplay) : mDisplay(pDisplay) {
  s_trapMutex.lock();
  mOuter = s_innermost;
  s_innermost = this;
  mPrevious = XSetErrorHandler(&X11ErrorTrap::Handler);
}

X11ErrorTrap::~X11ErrorTrap() {
  XSetErrorHandler(mPrevious);
  s_innermost = mOuter;
  s_trapMutex.unlock();
}

bool X11ErrorTrap::Sync() {
  if (mDisplay) XSync(mDisplay, False);
  return !Failed();
}

int X11ErrorTrap::Handler(Display* pDisplay, XErrorEvent* pEvent) {
  // Another thread's error may arrive while this handler is installed.
  std::lock_guard<std::recursive_mutex> lock(s_trapMutex);
  for (X11ErrorTrap* pTrap = s_innermost; pTrap; pTrap = pTrap->mOuter) {
    if (pTrap->mDisplay == pDisplay) {
      pTrap->mErrorCode = pEvent->error_code;
      pTrap->mBadResource = pEvent->resourceid;
      return 0;
    }
  }
  // Not one of ours: the handler that was installed before the outermost trap.
  X11ErrorTrap* pOutermost = s_innermost;
  while (pOutermost && pOutermost->mOuter) pOutermost = pOutermost->mOuter;
  if (pOutermost && pOutermost->mPrevious) return pOutermost->mPrevious(pDisplay, pEvent);
  return 0;
}
