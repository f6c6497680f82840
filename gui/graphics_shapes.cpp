// Graphics: points, lines and shapes, each through a DrawClip.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "gui/draw_clip_p.h"
#include "gui/graphics.h"
#include "raster/raster.h"
#include "raster/shapes/shapes.h"

namespace {

constexpr int kStackPoints = 32;

// An editor position as an int: truncated like a plain conversion, and false
// for positions that are not finite or lie beyond DrawClip::kFar.
bool ToInt(float v, int* pOut) {
  if (!(std::fabs(v) <= static_cast<float>(DrawClip::kFar))) return false;
  *pOut = static_cast<int>(v);
  return true;
}

// v within 0 ... 1; NaN counts as 0.
float Fraction(float v) { return v >= 0.0f ? (v > 1.0f ? 1.0f : v) : 0.0f; }

bool Finite(float a, float b, float c) {
  return std::isfinite(a) && std::isfinite(b) && std::isfinite(c);
}

// Whether a circle (cx, cy, r), in clip positions, can show at all.
bool CircleMeets(const DrawClip& clip, float cx, float cy, float r) {
  if (!Finite(cx, cy, r) || r > PX_MAX_CIRCLE_RADIUS) return false;
  const double ar = std::fabs(static_cast<double>(r));
  return clip.Meets(cx - ar, cy - ar, cx + ar, cy + ar);
}

}  // namespace

bool Graphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend,
                         bool) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  int ix, iy;
  if (clip.Empty() || !ToInt(x + 0.5f, &ix) || !ToInt(y + 0.5f, &iy)) return true;
  PX_PutPixel(&clip, clip.X(ix), clip.Y(iy), PxColor(pColor), PxWeight(pBlend),
              PxBlendMode(pBlend));
  return true;
}

bool Graphics::ForcePixel(const IColor* pColor, int x, int y) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  const int64_t cx = static_cast<int64_t>(x) - clip.OX, cy = static_cast<int64_t>(y) - clip.OY;
  if (clip.Empty() || cx < 0 || cy < 0 || cx >= clip.getWidth() || cy >= clip.getHeight()) {
    return true;
  }
  clip.getBits()[cy * clip.getRowSpan() + cx] = PxColor(pColor);
  return true;
}

IColor Graphics::GetPoint(int x, int y) { return IColorFromPx(PX_GetPixel(mDrawBitmap, x, y)); }

bool Graphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                        const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  const float far = static_cast<float>(DrawClip::kFar);
  int ix1, iy1, ix2, iy2;
  if (!ToInt(x1, &ix1) || !ToInt(y1, &iy1) || !ToInt(x2, &ix2) || !ToInt(y2, &iy2)) {
    // Far or broken ends: keep the part of the line within reach.
    if (!PX_ClipFLine(&x1, &y1, &x2, &y2, -far, -far, far, far)) return true;
    if (!ToInt(x1, &ix1) || !ToInt(y1, &iy1) || !ToInt(x2, &ix2) || !ToInt(y2, &iy2)) return true;
  }
  PX_Line(&clip, clip.X(ix1), clip.Y(iy1), clip.X(ix2), clip.Y(iy2), PxColor(pColor),
          PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  return true;
}

bool Graphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle,
                              float minRadius, float maxRadius, const IChannelBlend* pBlend,
                              bool antiAlias) {
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(pColor, cx + minRadius * s, cy - minRadius * c, cx + maxRadius * s,
                  cy - maxRadius * c, pBlend, antiAlias);
}

bool Graphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle,
                       float maxAngle, const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  const float x = cx - static_cast<float>(clip.OX), y = cy - static_cast<float>(clip.OY);
  if (clip.Empty() || !CircleMeets(clip, x, y, r)) return true;
  PX_Arc(&clip, x, y, r, minAngle, maxAngle, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend),
         antiAlias);
  return true;
}

bool Graphics::DrawCircle(const IColor* pColor, float cx, float cy, float r,
                          const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  const float x = cx - static_cast<float>(clip.OX), y = cy - static_cast<float>(clip.OY);
  if (clip.Empty() || !CircleMeets(clip, x, y, r)) return true;
  PX_Circle(&clip, x, y, r, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  return true;
}

bool Graphics::FillCircle(const IColor* pColor, int cx, int cy, float r,
                          const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  const float x = static_cast<float>(static_cast<int64_t>(cx) - clip.OX);
  const float y = static_cast<float>(static_cast<int64_t>(cy) - clip.OY);
  if (clip.Empty() || !CircleMeets(clip, x, y, r)) return true;
  PX_FillCircle(&clip, x, y, r, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  return true;
}

bool Graphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend,
                         int cornerRadius, bool antiAlias) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  const double l = static_cast<double>(pR->L) - clip.OX, t = static_cast<double>(pR->T) - clip.OY;
  const double w = static_cast<double>(pR->R) - pR->L, h = static_cast<double>(pR->B) - pR->T;
  if (clip.Empty() || !clip.Meets(l, t, l + w, t + h)) return true;
  if (std::fabs(l) > DrawClip::kFar || std::fabs(t) > DrawClip::kFar || w > 2.0 * DrawClip::kFar ||
      h > 2.0 * DrawClip::kFar) {
    return true;
  }
  PX_RoundRect(&clip, static_cast<float>(l), static_cast<float>(t), static_cast<float>(w),
               static_cast<float>(h), cornerRadius, PxColor(pColor), PxWeight(pBlend),
               PxBlendMode(pBlend), antiAlias);
  return true;
}

bool Graphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  // Only the part inside the clip, worked out without overflow.
  const int64_t l = std::max<int64_t>(static_cast<int64_t>(pR->L) - clip.OX, 0);
  const int64_t t = std::max<int64_t>(static_cast<int64_t>(pR->T) - clip.OY, 0);
  const int64_t r = std::min<int64_t>(static_cast<int64_t>(pR->R) - clip.OX, clip.getWidth());
  const int64_t b = std::min<int64_t>(static_cast<int64_t>(pR->B) - clip.OY, clip.getHeight());
  if (r <= l || b <= t) return true;
  PX_FillRect(&clip, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
              static_cast<int>(b - t), PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

bool Graphics::FillRoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend, int cr,
                             bool antiAlias) {
  const int64_t l = pR->L, t = pR->T, w = static_cast<int64_t>(pR->R) - l,
                h = static_cast<int64_t>(pR->B) - t, c = cr;
  // Pieces beyond int range cannot show; they are dropped with everything else far away.
  auto saturate = [](int64_t v) {
    return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
  };
  auto rect = [&](int64_t x, int64_t y, int64_t rw, int64_t rh) {
    IRECT piece(saturate(x), saturate(y), saturate(x + rw), saturate(y + rh));
    FillIRect(pColor, &piece, pBlend);
  };
  rect(l + c, t, w - 2 * c, h);
  rect(l, t + c, c, h - 2 * c);
  rect(l + w - c, t + c, c, h - 2 * c);
  const float r = static_cast<float>(cr);
  FillCircle(pColor, saturate(l + c), saturate(t + c), r, pBlend, antiAlias);
  FillCircle(pColor, saturate(l + w - c - 1), saturate(t + h - c - 1), r, pBlend, antiAlias);
  FillCircle(pColor, saturate(l + w - c - 1), saturate(t + c), r, pBlend, antiAlias);
  FillCircle(pColor, saturate(l + c), saturate(t + h - c - 1), r, pBlend, antiAlias);
  return true;
}

bool Graphics::FillTriangle(const IColor* pColor, int x1, int y1, int x2, int y2, int x3, int y3,
                            const IChannelBlend* pBlend) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  PX_FillTriangle(&clip, clip.X(x1), clip.Y(y1), clip.X(x2), clip.Y(y2), clip.X(x3), clip.Y(y3),
                  PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

bool Graphics::FillIConvexPolygon(const IColor* pColor, const int* x, const int* y, int npoints,
                                  const IChannelBlend* pBlend) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty() || !x || !y || npoints <= 0) return true;
  int stackX[kStackPoints], stackY[kStackPoints];
  int* cx = stackX;
  int* cy = stackY;
  if (npoints > kStackPoints) {
    cx = new int[npoints];
    cy = new int[npoints];
  }
  for (int i = 0; i < npoints; ++i) {
    cx[i] = clip.X(x[i]);
    cy[i] = clip.Y(y[i]);
  }
  PX_FillConvexPolygon(&clip, cx, cy, npoints, PxColor(pColor), PxWeight(pBlend),
                       PxBlendMode(pBlend));
  if (cx != stackX) {
    delete[] cx;
    delete[] cy;
  }
  return true;
}

bool Graphics::DrawVerticalLine(const IColor* pColor, int xi, int yLo, int yHi) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  PX_Line(&clip, clip.X(xi), clip.Y(yLo), clip.X(xi), clip.Y(yHi), PxColor(pColor), 1.0f,
          PX_COMBINE_COPY, false);
  return true;
}

bool Graphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi) {
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  PX_Line(&clip, clip.X(xLo), clip.Y(yi), clip.X(xHi), clip.Y(yi), PxColor(pColor), 1.0f,
          PX_COMBINE_COPY, false);
  return true;
}

bool Graphics::DrawRect(const IColor* pColor, IRECT* pR) {
  DrawHorizontalLine(pColor, pR->T, pR->L, pR->R);
  DrawHorizontalLine(pColor, pR->B, pR->L, pR->R);
  DrawVerticalLine(pColor, pR->L, pR->T, pR->B);
  DrawVerticalLine(pColor, pR->R, pR->T, pR->B);
  return true;
}

bool Graphics::DrawVerticalLine(const IColor* pColor, IRECT* pR, float x) {
  x = Fraction(x);
  const int64_t xi = pR->L + static_cast<int64_t>(x * (static_cast<double>(pR->R) - pR->L));
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  PX_Line(&clip, clip.X(xi), clip.Y(pR->T), clip.X(xi), clip.Y(pR->B), PxColor(pColor), 1.0f,
          PX_COMBINE_COPY, false);
  return true;
}

bool Graphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y) {
  y = Fraction(y);
  const int64_t yi = pR->B - static_cast<int64_t>(y * (static_cast<double>(pR->B) - pR->T));
  DrawClip clip(mDrawBitmap, mDrawRECT);
  if (clip.Empty()) return true;
  PX_Line(&clip, clip.X(pR->L), clip.Y(yi), clip.X(pR->R), clip.Y(yi), PxColor(pColor), 1.0f,
          PX_COMBINE_COPY, false);
  return true;
}
