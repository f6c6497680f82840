// X11Window: the editor's child window on a display connection of its own,
// with its graphics context and client-side image. Callers run every call
// inside an X11ErrorTrap of GetDisplay(); the constructor and destructor set
// up their own traps.
#pragma once

#include <X11/Xlib.h>

#include <chrono>

#include "gui/irect.h"
#include "gui/x11/x11_surface.h"

class X11Window {
 public:
  // A window of w x h pixels inside parent on the display named by DISPLAY;
  // null when there is no display, the parent does not exist or the window
  // cannot be made. Nothing stays open after a failure.
  static X11Window* Open(Window parent, int w, int h);
  // Destroys the window (unless the server already did) and its image and
  // closes the connection.
  ~X11Window();
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  Display* GetDisplay() const { return mDisplay; }
  Window GetWindow() const { return mWindow; }
  Window GetParent() const { return mParent; }
  // The window no longer exists (its parent was destroyed or the connection
  // to the server was lost).
  bool IsGone() const { return mGone; }
  // Notes an error of a trap around this window's calls.
  void NoteError(XID badResource);

  // Takes the next event that concerns the caller; the image's completion
  // and the window's own destruction are handled here. False when none is
  // pending. Reading the connection costs a system call, so a caller that
  // asks again within 2 ms finds only events already queued, unless requests
  // went out since the last read (their replies may bring events along).
  bool NextEvent(XEvent* pEvent);
  // Handles the image's completion and the window's destruction; true when
  // the event was one of them.
  bool Consume(const XEvent* pEvent);
  // New size, new image; the contents are put again by the caller.
  bool Resize(int w, int h);
  // Copies region r (editor pixels) at the scale; false when the previous
  // copy is still being read (try again later) or the window is gone.
  bool Put(PX_IBitmap* pBitmap, const IRECT& r, int scale);
  bool PutPending() const { return mSurface.IsBusy(); }

 private:
  X11Window(Display* pDisplay, Window parent) : mDisplay(pDisplay), mParent(parent) {}
  bool Create(int w, int h);
  bool MayHaveEvents();
  static void OnConnectionLost(Display* pDisplay, void* pWindow);

  Display* mDisplay;
  Window mParent;
  Window mWindow = 0;
  GC mGC = nullptr;
  Visual* mVisual = nullptr;
  int mDepth = 0;
  bool mGone = false;
  X11Surface mSurface;
  bool mDraining = false;          // reading until nothing is pending
  unsigned long mReadRequest = 0;  // the next request's number after the last full read
  std::chrono::steady_clock::time_point mLastRead;
};
