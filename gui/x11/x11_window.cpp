#include "gui/x11/x11_window.h"

#include "gui/x11/x11_error_trap.h"

namespace {

constexpr auto kReadInterval = std::chrono::milliseconds(2);

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            KeyPressMask | KeyReleaseMask | EnterWindowMask | LeaveWindowMask |
                            FocusChangeMask | StructureNotifyMask;

}  // namespace

X11Window* X11Window::Open(Window parent, int w, int h) {
  if (!parent || w <= 0 || h <= 0) return nullptr;
  Display* pDisplay = XOpenDisplay(nullptr);
  if (!pDisplay) return nullptr;
  X11Window* pWindow = new X11Window(pDisplay, parent);
  XSetIOErrorExitHandler(pDisplay, &X11Window::OnConnectionLost, pWindow);
  bool ok;
  {
    X11ErrorTrap trap(pDisplay);
    ok = pWindow->Create(w, h) && trap.Sync();
  }
  if (!ok) {
    delete pWindow;
    return nullptr;
  }
  return pWindow;
}

bool X11Window::Create(int w, int h) {
  XWindowAttributes parent;
  if (!XGetWindowAttributes(mDisplay, mParent, &parent)) return false;
  // The image is made for the parent's visual; colour maps are not handled.
  if (!parent.visual || (parent.visual->c_class != TrueColor)) return false;
  mVisual = parent.visual;
  mDepth = parent.depth;
  XSetWindowAttributes a = {};
  a.event_mask = kEventMask;
  a.colormap = parent.colormap;
  a.background_pixmap = None;
  a.border_pixel = 0;
  mWindow = XCreateWindow(mDisplay, mParent, 0, 0, (unsigned)w, (unsigned)h, 0, mDepth, InputOutput,
                          mVisual, CWEventMask | CWColormap | CWBackPixmap | CWBorderPixel, &a);
  if (!mWindow) return false;
  mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
  if (!mGC || !mSurface.Create(mDisplay, mVisual, mDepth, w, h, true)) return false;
  XMapWindow(mDisplay, mWindow);
  return true;
}

X11Window::~X11Window() {
  X11ErrorTrap trap(mDisplay);
  mSurface.Destroy();
  if (mGC) XFreeGC(mDisplay, mGC);
  if (mWindow && !mGone) XDestroyWindow(mDisplay, mWindow);
  XCloseDisplay(mDisplay);
}

// The server went away: the window is gone and every later call on the
// connection returns at once; the process goes on.
void X11Window::OnConnectionLost(Display*, void* pWindow) {
  static_cast<X11Window*>(pWindow)->mGone = true;
}

void X11Window::NoteError(XID badResource) {
  if (badResource == mWindow || badResource == mParent) mGone = true;
}

bool X11Window::MayHaveEvents() {
  return mDraining || XEventsQueued(mDisplay, QueuedAlready) > 0 ||
         NextRequest(mDisplay) != mReadRequest ||
         std::chrono::steady_clock::now() - mLastRead >= kReadInterval;
}

bool X11Window::NextEvent(XEvent* pEvent) {
  if (!MayHaveEvents()) return false;
  mDraining = true;
  while (XPending(mDisplay)) {
    XNextEvent(mDisplay, pEvent);
    if (!Consume(pEvent)) return true;
  }
  mDraining = false;
  mReadRequest = NextRequest(mDisplay);
  mLastRead = std::chrono::steady_clock::now();
  return false;
}

bool X11Window::Consume(const XEvent* pEvent) {
  if (mSurface.IsShared() && pEvent->type == mSurface.CompletionType()) {
    mSurface.OnCompletion();
    return true;
  }
  if (pEvent->type == DestroyNotify && pEvent->xdestroywindow.window == mWindow) {
    mGone = true;
    return true;
  }
  return false;
}

bool X11Window::Resize(int w, int h) {
  if (mGone) return false;
  XResizeWindow(mDisplay, mWindow, (unsigned)w, (unsigned)h);
  return mSurface.Create(mDisplay, mVisual, mDepth, w, h, true);
}

bool X11Window::Put(PX_IBitmap* pBitmap, const IRECT& r, int scale) {
  if (mGone) return false;
  if (!mSurface.Put(mWindow, mGC, pBitmap, r, scale)) return false;
  XFlush(mDisplay);
  return true;
}
