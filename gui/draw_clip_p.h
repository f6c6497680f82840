// DrawClip: the part of the draw bitmap inside the draw rectangle, seen as a
// bitmap of its own, so that every raster operation stays inside the region
// being repainted (and inside the bitmap). Positions in it are editor
// positions minus (OX, OY).
#pragma once

#include <cstdint>

#include "gui/irect.h"
#include "raster/pixels/bitmap.h"

class DrawClip final : public PX_IBitmap {
 public:
  // Coordinates further out than this are moved in to it: far beyond any
  // bitmap, and small enough that the raster library's sums cannot overflow.
  static constexpr int kFar = 1 << 24;

  DrawClip(PX_IBitmap* pBase, const IRECT& r);

  PX_pixel* getBits() override { return mBits; }
  int getWidth() override { return mW; }
  int getHeight() override { return mH; }
  int getRowSpan() override { return mSpan; }
  bool resize(int, int) override { return false; }

  // Nothing can be drawn.
  bool Empty() const { return !mBits; }
  int X(int64_t x) const { return Limit(x - OX); }
  int Y(int64_t y) const { return Limit(y - OY); }
  // Whether the box (x0, y0)-(x1, y1), in clip positions, may touch the clip.
  bool Meets(double x0, double y0, double x1, double y1) const;

  int OX = 0, OY = 0;

 private:
  static int Limit(int64_t v) { return static_cast<int>(v < -kFar ? -kFar : v > kFar ? kFar : v); }

  PX_pixel* mBits = nullptr;
  int mW = 0, mH = 0, mSpan = 0;
};
