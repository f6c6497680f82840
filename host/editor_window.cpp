#include "host/editor_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/loader.h"

namespace {

constexpr auto kIdlePeriod = std::chrono::microseconds(1000000 / 30);

}  // namespace

bool HostEditorWindow::Open(const Plugin& plugin, std::string* error) {
  Close();
  ERect* pRect = nullptr;
  if (!(plugin.effect()->flags & effFlagsHasEditor) ||
      !plugin.Dispatch(effEditGetRect, 0, 0, &pRect) || !pRect) {
    *error = "the plug-in has no editor";
    return false;
  }
  const int w = pRect->right - pRect->left, h = pRect->bottom - pRect->top;
  if (w <= 0 || h <= 0) {
    *error = "the plug-in's editor has no size";
    return false;
  }
  Display* pDisplay = XOpenDisplay(nullptr);
  if (!pDisplay) {
    *error = "--editor needs an X display (DISPLAY is not usable)";
    return false;
  }
  Window window = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, (unsigned)w,
                                      (unsigned)h, 0, 0, 0);
  XStoreName(pDisplay, window, "Skylane host");
  // A fixed size, and the close button of a window manager if there is one.
  XSizeHints* pHints = XAllocSizeHints();
  if (pHints) {
    pHints->flags = PMinSize | PMaxSize;
    pHints->min_width = pHints->max_width = w;
    pHints->min_height = pHints->max_height = h;
    XSetWMNormalHints(pDisplay, window, pHints);
    XFree(pHints);
  }
  Atom deleteAtom = XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(pDisplay, window, &deleteAtom, 1);
  XMapWindow(pDisplay, window);
  XSync(pDisplay, False);
  mDisplay = pDisplay;
  mWindow = window;
  mDeleteAtom = deleteAtom;
  mPlugin = &plugin;
  mClosed = false;
  if (!plugin.Dispatch(effEditOpen, 0, 0, (void*)(uintptr_t)window)) {
    *error = "the plug-in could not open its editor";
    Close();
    return false;
  }
  return true;
}

void HostEditorWindow::Idle() {
  if (!mDisplay) return;
  Display* pDisplay = (Display*)mDisplay;
  while (XPending(pDisplay)) {
    XEvent event;
    XNextEvent(pDisplay, &event);
    if (event.type == ClientMessage && (Atom)event.xclient.data.l[0] == mDeleteAtom) {
      mClosed = true;
    }
  }
  mPlugin->Dispatch(effEditIdle);
}

void HostEditorWindow::Close() {
  if (!mDisplay) return;
  if (mPlugin) mPlugin->Dispatch(effEditClose);
  Display* pDisplay = (Display*)mDisplay;
  XDestroyWindow(pDisplay, mWindow);
  XCloseDisplay(pDisplay);
  mDisplay = nullptr;
  mWindow = 0;
  mPlugin = nullptr;
}

bool IdleEditorWhile(HostEditorWindow* pWindow, const std::function<bool()>& work) {
  std::atomic<bool> done{false};
  bool result = true;
  std::thread worker;
  if (work) {
    worker = std::thread([&] {
      result = work();
      done.store(true, std::memory_order_release);
    });
  }
  auto next = std::chrono::steady_clock::now();
  auto running = [&] { return work ? !done.load(std::memory_order_acquire) : !pWindow->Closed(); };
  while (running()) {
    pWindow->Idle();
    next += kIdlePeriod;
    std::this_thread::sleep_until(next);
  }
  if (worker.joinable()) worker.join();
  return result;
}
