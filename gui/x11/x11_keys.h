// Keys and buttons of X events in the editor's terms.
#pragma once

#include <X11/Xlib.h>

#include "gui/imouse_mod.h"

// The editor's key code for a key symbol: space 0, arrows up, down, left,
// right 1-4, digits 5-14, letters 15-40 (either case); -1 for any other key.
int X11EditorKey(KeySym sym);
// Buttons and modifiers of a button event: button 3 is the right button;
// the left button with Control held counts as a right click as well.
IMouseMod X11MouseMod(unsigned int button, unsigned int state);
// Modifiers of a motion event (the held button from the state bits).
IMouseMod X11MotionMod(unsigned int state);
