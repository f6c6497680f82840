// Hiding the pointer over the editor's window (while a control is dragged)
// and putting it back where it was.
#pragma once

#include <X11/Xlib.h>

// Gives window an invisible cursor and stores the pointer's position on the
// screen; false when the pointer is on another screen or no cursor can be made.
bool X11HideCursor(Display* pDisplay, Window window, int* pRootX, int* pRootY);
// Moves the pointer to (rootX, rootY) of the screen and gives window the
// parent's cursor again.
void X11ShowCursor(Display* pDisplay, Window window, int rootX, int rootY);
