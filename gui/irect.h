// IRECT: an integer rectangle of the editor, origin top left, y downwards;
// right and bottom are exclusive.
#pragma once

#include "gui/ibitmap.h"

struct IRECT {
  int L = 0, T = 0, R = 0, B = 0;

  IRECT() = default;
  IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}
  // One frame of a filmstrip placed at (x, y).
  IRECT(int x, int y, const IBitmap* pBitmap)
      : L(x), T(y), R(x + pBitmap->FrameWidth()), B(y + pBitmap->FrameHeight()) {}

  int W() const { return R - L; }
  int H() const { return B - T; }
  float MW() const { return 0.5f * static_cast<float>(L + R); }
  float MH() const { return 0.5f * static_cast<float>(T + B); }

  // Only (0, 0, 0, 0) is empty; a zero-area rectangle elsewhere is not.
  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  bool Contains(int x, int y) const { return !Empty() && x >= L && x < R && y >= T && y < B; }
  // A right or bottom edge touching the other's left or top edge counts.
  bool Intersects(const IRECT& o) const {
    return !Empty() && !o.Empty() && R >= o.L && L < o.R && B >= o.T && T < o.B;
  }
  IRECT Intersect(const IRECT& o) const {
    if (!Intersects(o)) return IRECT();
    return IRECT(L > o.L ? L : o.L, T > o.T ? T : o.T, R < o.R ? R : o.R, B < o.B ? B : o.B);
  }
  IRECT Union(const IRECT& o) const {
    if (Empty()) return o;
    if (o.Empty()) return *this;
    return IRECT(L < o.L ? L : o.L, T < o.T ? T : o.T, R > o.R ? R : o.R, B > o.B ? B : o.B);
  }
  // Slice i of n equal columns (or rows); the remainder belongs to no slice.
  IRECT SubRectHorizontal(int n, int i) const {
    const int w = n > 0 ? W() / n : 0;
    return IRECT(L + i * w, T, L + i * w + w, B);
  }
  IRECT SubRectVertical(int n, int i) const {
    const int h = n > 0 ? H() / n : 0;
    return IRECT(L, T + i * h, R, T + i * h + h);
  }

  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }
};
