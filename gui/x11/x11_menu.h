// The editor's popup menu: override-redirect windows of our own (one per
// open submenu level), drawn with the raster library, run as a modal loop
// with the pointer and keyboard grabbed. The loop ends on a choice, a click
// outside the menu, Escape, or when the owner says the editor is closing.
#pragma once

#include <X11/Xlib.h>

class Graphics;
class IPopupMenu;

class X11MenuOwner {
 public:
  virtual ~X11MenuOwner() {}
  // Polled on every turn: true ends the menu without a choice.
  virtual bool MenuShouldClose() = 0;
  // An event for a window that is not part of the menu (never input).
  virtual void MenuPassEvent(XEvent* pEvent) = 0;
};

// Shows pMenu with its top-left corner at (x, y) of the window (window
// pixels) and returns the menu holding the chosen item, its chosen index
// set; null when dismissed. Call inside an error trap of the display.
IPopupMenu* X11RunPopupMenu(Graphics* pGraphics, Display* pDisplay, Window window, int x, int y,
                            int scale, IPopupMenu* pMenu, X11MenuOwner* pOwner);
