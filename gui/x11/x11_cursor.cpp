#include "gui/x11/x11_cursor.h"

bool X11HideCursor(Display* pDisplay, Window window, int* pRootX, int* pRootY) {
  Window root, child;
  int windowX, windowY;
  unsigned mask;
  if (!XQueryPointer(pDisplay, DefaultRootWindow(pDisplay), &root, &child, pRootX, pRootY, &windowX,
                     &windowY, &mask)) {
    return false;
  }
  static const char kEmpty[1] = {0};
  const Pixmap blank = XCreateBitmapFromData(pDisplay, window, kEmpty, 1, 1);
  if (!blank) return false;
  XColor black = {};
  const Cursor invisible = XCreatePixmapCursor(pDisplay, blank, blank, &black, &black, 0, 0);
  XFreePixmap(pDisplay, blank);
  if (!invisible) return false;
  // The window keeps the cursor for as long as it uses it.
  XDefineCursor(pDisplay, window, invisible);
  XFreeCursor(pDisplay, invisible);
  return true;
}

void X11ShowCursor(Display* pDisplay, Window window, int rootX, int rootY) {
  XWarpPointer(pDisplay, None, DefaultRootWindow(pDisplay), 0, 0, 0, 0, rootX, rootY);
  XUndefineCursor(pDisplay, window);
}
