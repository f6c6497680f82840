// X11Tooltip: a small override-redirect window showing one line of text
// near the mouse, drawn with the raster library.
#pragma once

#include <X11/Xlib.h>

class Graphics;

class X11Tooltip {
 public:
  // Shows text with its top-left corner at (rootX, rootY) of the screen;
  // null when the window cannot be made. Call inside an error trap.
  static X11Tooltip* Show(Graphics* pGraphics, Display* pDisplay, const char* text, int rootX,
                          int rootY, int scale);
  ~X11Tooltip();
  X11Tooltip(const X11Tooltip&) = delete;
  X11Tooltip& operator=(const X11Tooltip&) = delete;

  Window GetWindow() const { return mWindow; }
  // Paints again (after an expose).
  void Paint();

 private:
  X11Tooltip(Graphics* pGraphics, Display* pDisplay, const char* text, int scale);

  Graphics* mGraphics;
  Display* mDisplay;
  Window mWindow = 0;
  int mScale;
  char mText[256];
  int mW = 0, mH = 0;
};
