#include "gui/x11/x11_keys.h"

#include <X11/keysym.h>

int X11EditorKey(KeySym sym) {
  switch (sym) {
    case XK_space: return 0;
    case XK_Up:
    case XK_KP_Up: return 1;
    case XK_Down:
    case XK_KP_Down: return 2;
    case XK_Left:
    case XK_KP_Left: return 3;
    case XK_Right:
    case XK_KP_Right: return 4;
    default: break;
  }
  if (sym >= XK_0 && sym <= XK_9) return 5 + (int)(sym - XK_0);
  if (sym >= XK_KP_0 && sym <= XK_KP_9) return 5 + (int)(sym - XK_KP_0);
  if (sym >= XK_A && sym <= XK_Z) return 15 + (int)(sym - XK_A);
  if (sym >= XK_a && sym <= XK_z) return 15 + (int)(sym - XK_a);
  return -1;
}

IMouseMod X11MouseMod(unsigned int button, unsigned int state) {
  const bool shift = state & ShiftMask, control = state & ControlMask, alt = state & Mod1Mask;
  if (button == Button3) return IMouseMod(false, true, shift, control, alt);
  return IMouseMod(true, control, shift, control, alt);
}

IMouseMod X11MotionMod(unsigned int state) {
  if (state & Button3Mask) return X11MouseMod(Button3, state);
  IMouseMod mod = X11MouseMod(Button1, state);
  mod.L = (state & Button1Mask) != 0;
  return mod;
}
