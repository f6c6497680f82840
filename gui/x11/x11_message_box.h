// The editor's message box: a dialog window of our own, transient for the
// host's top-level window and centred on the editor, with the caption as a
// bold header, the text wrapped below it and a row of buttons at the bottom
// right. It runs a modal loop on the editor's connection until a button is
// chosen, the window manager closes it, or the owner says the editor is
// closing.
#pragma once

#include <X11/Xlib.h>

#include "gui/irect.h"
#include "gui/x11/x11_menu.h"

// Shows the box over the owner window and returns the chosen button's
// answer: 1 for the default button ("Yes" for types 3 and 4, else "OK"), 7
// for the second, 2 for the third. Type 4 has "Yes" and "No", type 3 "Yes",
// "No" and "Cancel", type 1 "OK" and "Cancel", other types "OK" alone.
// Escape and the window manager's close choose "Cancel" when there is one,
// else the last button; so does the owner closing or a box that cannot be
// made. Without a display, owner window or owner the answer is 0 and nothing
// is shown. Null text or caption count as empty. Call inside an error trap of
// the display.
int X11ShowMessageBox(Display* pDisplay, Window owner, const char* text, const char* caption,
                      int type, X11MenuOwner* pOwner);

// Where button `index` of a row of `count` lies in a box of w x h pixels:
// the row sits at the bottom right, the default button leftmost.
IRECT X11MessageBoxButtonRect(int w, int h, int count, int index);
