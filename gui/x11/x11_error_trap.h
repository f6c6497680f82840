// X11ErrorTrap: catches X protocol errors of one connection while it lives.
// The editor runs all of its X calls inside a trap, so a failed request (a
// parent window the host already destroyed, a refused shared-memory segment)
// becomes a result instead of Xlib's default handler ending the process.
// A lost connection (the server went away) is likewise left to the
// connection's own exit handler instead of ending the process. The
// process-wide handlers are swapped in only for the trap's lifetime and the
// previous ones are restored; other connections' errors go to those.
#pragma once

#include <X11/Xlib.h>

class X11ErrorTrap {
 public:
  explicit X11ErrorTrap(Display* pDisplay);
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has handled every request sent so far; true when
  // none of them failed since the trap started (or since the last Clear).
  bool Sync();
  // True when an error arrived.
  bool Failed() const { return mErrorCode != 0; }
  int ErrorCode() const { return mErrorCode; }
  // The resource named by the last error (a window id for BadWindow).
  XID BadResource() const { return mBadResource; }
  void Clear() { mErrorCode = 0; }

 private:
  static int Handler(Display* pDisplay, XErrorEvent* pEvent);
  static int IOHandler(Display* pDisplay);
  static bool IsTrapped(Display* pDisplay);

  Display* mDisplay;
  X11ErrorTrap* mOuter;
  XErrorHandler mPrevious;
  XIOErrorHandler mPreviousIO;
  int mErrorCode = 0;
  XID mBadResource = 0;
};
