// GraphicsX11: mouse, wheel and key events become the editor's input calls,
// in editor pixels (window pixels divided by the scale).
#include <X11/Xlib.h>

#include "gui/x11/graphics_x11.h"
#include "gui/x11/x11_cursor.h"
#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_keys.h"
#include "gui/x11/x11_text_field.h"
#include "gui/x11/x11_window.h"

namespace {

// Two left presses this close in time and place make a double click.
constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickSlop = 4;

}  // namespace

void GraphicsX11::RouteInput(XEvent* pEvent) {
  switch (pEvent->type) {
    case ButtonPress:
    case ButtonRelease: RouteButton(pEvent); break;
    case MotionNotify: {
      // Only the latest position of a burst of motion counts.
      while (XCheckTypedWindowEvent(mWindow->GetDisplay(), mWindow->GetWindow(), MotionNotify,
                                    pEvent)) {
      }
      const XMotionEvent& e = pEvent->xmotion;
      IMouseMod mod = X11MotionMod(e.state);
      if ((e.state & (Button1Mask | Button3Mask)) && !mTextField) {
        OnMouseDrag(e.x / mScale, e.y / mScale, &mod);
      } else {
        OnMouseOver(e.x / mScale, e.y / mScale, &mod);
        TrackTooltip(e.x / mScale, e.y / mScale, e.x_root, e.y_root);
      }
      break;
    }
    case KeyPress:
    case KeyRelease: RouteKey(pEvent); break;
    case LeaveNotify:
      UpdateTooltips();
      OnMouseOut();
      break;
    default: break;
  }
}

void GraphicsX11::RouteButton(XEvent* pEvent) {
  const XButtonEvent& e = pEvent->xbutton;
  UpdateTooltips();
  const int x = e.x / mScale, y = e.y / mScale;
  const bool wheel = e.button == Button4 || e.button == Button5;
  IMouseMod mod = X11MouseMod(e.button, e.state);
  if (pEvent->type == ButtonPress && mTextField) {
    // A click elsewhere commits the field; the wheel cancels it.
    EndTextEntry(!wheel);
  }
  if (wheel) {
    if (pEvent->type == ButtonPress) OnMouseWheel(x, y, &mod, e.button == Button4 ? 1 : -1);
    return;
  }
  if (e.button != Button1 && e.button != Button3) return;
  if (pEvent->type == ButtonRelease) {
    OnMouseUp(x, y, &mod);
    return;
  }
  const bool again = e.button == Button1 && e.time - mLastClickTime < kDoubleClickMs &&
                     abs(x - mLastClickX) <= kDoubleClickSlop &&
                     abs(y - mLastClickY) <= kDoubleClickSlop;
  if (again) {
    // A third press starts over.
    mLastClickTime = 0;
    OnMouseDblClick(x, y, &mod);
    return;
  }
  if (e.button == Button1) {
    mLastClickTime = e.time;
    mLastClickX = x;
    mLastClickY = y;
  }
  OnMouseDown(x, y, &mod);
}

void GraphicsX11::RouteKey(XEvent* pEvent) {
  XKeyEvent& e = pEvent->xkey;
  bool taken = false;
  if (pEvent->type == KeyPress) {
    const int key = X11EditorKey(XLookupKeysym(&e, 0));
    if (key >= 0) taken = OnKeyDown(e.x / mScale, e.y / mScale, key);
  }
  if (taken) return;
  // The host gets every key the editor did not take, on its own window.
  e.window = mWindow->GetParent();
  e.subwindow = None;
  XSendEvent(mWindow->GetDisplay(), e.window, True,
             pEvent->type == KeyPress ? KeyPressMask : KeyReleaseMask, pEvent);
}

void GraphicsX11::HideMouseCursor() {
  DriveLock lock(mDrive);
  if (mCursorHidden || !mWindow || mWindow->IsGone()) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  int x = 0, y = 0;
  if (X11HideCursor(mWindow->GetDisplay(), mWindow->GetWindow(), &x, &y) && trap.Sync()) {
    mCursorHidden = true;
    mHiddenMousePointX = x;
    mHiddenMousePointY = y;
  }
}

void GraphicsX11::ShowMouseCursor() {
  DriveLock lock(mDrive);
  if (!mCursorHidden) return;
  // A window that is gone took its cursor with it.
  if (!mWindow || mWindow->IsGone()) {
    mCursorHidden = false;
    return;
  }
  X11ErrorTrap trap(mWindow->GetDisplay());
  X11ShowCursor(mWindow->GetDisplay(), mWindow->GetWindow(), mHiddenMousePointX,
                mHiddenMousePointY);
  if (trap.Sync()) mCursorHidden = false;
}
