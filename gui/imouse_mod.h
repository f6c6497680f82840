// IMouseMod: the buttons and modifier keys held during a mouse event.
#pragma once

struct IMouseMod {
  bool L, R, S, C, A;  // left, right, shift, control (command), alt (option)

  explicit IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a) {}
};
