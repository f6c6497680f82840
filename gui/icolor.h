// IColor: alpha, red, green, blue, each 0-255, and the named colours.
#pragma once

#include "raster/pixels/bitmap.h"

struct IColor {
  int A = 255, R = 0, G = 0, B = 0;

  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
constexpr IColor COLOR_BLACK(255, 0, 0, 0);
constexpr IColor COLOR_GRAY(255, 127, 127, 127);
constexpr IColor COLOR_WHITE(255, 255, 255, 255);
constexpr IColor COLOR_RED(255, 255, 0, 0);
constexpr IColor COLOR_GREEN(255, 0, 255, 0);
constexpr IColor COLOR_BLUE(255, 0, 0, 255);
constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// The raster library's pixel word: A in bits 0-7, R 8-15, G 16-23, B 24-31.
inline PX_pixel PxColor(const IColor* pColor) {
  return PX_PackRGBA(static_cast<unsigned>(pColor->R), static_cast<unsigned>(pColor->G),
                     static_cast<unsigned>(pColor->B), static_cast<unsigned>(pColor->A));
}

// The colour of a pixel word (the inverse of PxColor).
inline IColor IColorFromPx(PX_pixel px) {
  return IColor(static_cast<int>(PX_GETA(px)), static_cast<int>(PX_GETR(px)),
                static_cast<int>(PX_GETG(px)), static_cast<int>(PX_GETB(px)));
}
