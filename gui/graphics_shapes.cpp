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

// A position times the scale, kept within int range.
int Times(int64_t v, int s) {
  const int64_t r = v * s;
  return static_cast<int>(r < INT32_MIN ? INT32_MIN : r > INT32_MAX ? INT32_MAX : r);
}

// The middle of an editor pixel's block at the scale, as a draw position.
float Centre(float v, int s) {
  return v * static_cast<float>(s) + 0.5f * static_cast<float>(s - 1);
}

}  // namespace

IRECT Graphics::ScaledDrawRECT() const {
  const int s = mDrawScale;
  return IRECT(Times(mDrawRECT.L, s), Times(mDrawRECT.T, s), Times(mDrawRECT.R, s),
               Times(mDrawRECT.B, s));
}

void Graphics::FillPixels(PX_pixel color, int64_t l, int64_t t, int64_t r, int64_t b, float weight,
                          int mode) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty()) return;
  // Only the part inside the clip, worked out without overflow.
  l = std::max<int64_t>(l - clip.OX, 0);
  t = std::max<int64_t>(t - clip.OY, 0);
  r = std::min<int64_t>(r - clip.OX, clip.getWidth());
  b = std::min<int64_t>(b - clip.OY, clip.getHeight());
  if (r <= l || b <= t) return;
  PX_FillRect(&clip, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
              static_cast<int>(b - t), color, weight, mode);
}

bool Graphics::DrawPoint(const IColor* pColor, float x, float y, const IChannelBlend* pBlend,
                         bool) {
  const int s = mDrawScale;
  if (s > 1) {
    int ix, iy;
    if (!ToInt(x + 0.5f, &ix) || !ToInt(y + 0.5f, &iy)) return true;
    const int64_t px = static_cast<int64_t>(ix) * s, py = static_cast<int64_t>(iy) * s;
    FillPixels(PxColor(pColor), px, py, px + s, py + s, PxWeight(pBlend), PxBlendMode(pBlend));
    return true;
  }
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  int ix, iy;
  if (clip.Empty() || !ToInt(x + 0.5f, &ix) || !ToInt(y + 0.5f, &iy)) return true;
  PX_PutPixel(&clip, clip.X(ix), clip.Y(iy), PxColor(pColor), PxWeight(pBlend),
              PxBlendMode(pBlend));
  return true;
}

bool Graphics::ForcePixel(const IColor* pColor, int x, int y) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  const int s = mDrawScale;
  for (int dy = 0; dy < s && !clip.Empty(); ++dy) {
    for (int dx = 0; dx < s; ++dx) {
      const int64_t cx = static_cast<int64_t>(x) * s + dx - clip.OX;
      const int64_t cy = static_cast<int64_t>(y) * s + dy - clip.OY;
      if (cx < 0 || cy < 0 || cx >= clip.getWidth() || cy >= clip.getHeight()) continue;
      clip.getBits()[cy * clip.getRowSpan() + cx] = PxColor(pColor);
    }
  }
  return true;
}

IColor Graphics::GetPoint(int x, int y) {
  const int64_t px = static_cast<int64_t>(x) * mDrawScale,
                py = static_cast<int64_t>(y) * mDrawScale;
  if (px < 0 || py < 0 || px > INT32_MAX || py > INT32_MAX) return IColorFromPx(0);
  return IColorFromPx(PX_GetPixel(mDrawBitmap, static_cast<int>(px), static_cast<int>(py)));
}

bool Graphics::DrawLine(const IColor* pColor, float x1, float y1, float x2, float y2,
                        const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty()) return true;
  const int s = mDrawScale;
  const float fs = static_cast<float>(s);
  x1 *= fs;
  y1 *= fs;
  x2 *= fs;
  y2 *= fs;
  const float far = static_cast<float>(DrawClip::kFar);
  int ix1, iy1, ix2, iy2;
  if (!ToInt(x1, &ix1) || !ToInt(y1, &iy1) || !ToInt(x2, &ix2) || !ToInt(y2, &iy2)) {
    // Far or broken ends: keep the part of the line within reach.
    if (!PX_ClipFLine(&x1, &y1, &x2, &y2, -far, -far, far, far)) return true;
    if (!ToInt(x1, &ix1) || !ToInt(y1, &iy1) || !ToInt(x2, &ix2) || !ToInt(y2, &iy2)) return true;
  }
  // At scale s the line is s pixels thick: s x s copies, one per offset.
  for (int dy = 0; dy < s; ++dy) {
    for (int dx = 0; dx < s; ++dx) {
      PX_Line(&clip, clip.X(static_cast<int64_t>(ix1) + dx), clip.Y(static_cast<int64_t>(iy1) + dy),
              clip.X(static_cast<int64_t>(ix2) + dx), clip.Y(static_cast<int64_t>(iy2) + dy),
              PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
    }
  }
  return true;
}

bool Graphics::DrawRadialLine(const IColor* pColor, float cx, float cy, float angle,
                              float minRadius, float maxRadius, const IChannelBlend* pBlend,
                              bool antiAlias) {
  const float s = std::sin(angle), c = std::cos(angle);
  return DrawLine(pColor, cx + minRadius * s, cy - minRadius * c, cx + maxRadius * s,
                  cy - maxRadius * c, pBlend, antiAlias);
}

// At scale s the outline is s pixels thick: s rings one pixel apart around
// the scaled radius.
bool Graphics::DrawArc(const IColor* pColor, float cx, float cy, float r, float minAngle,
                       float maxAngle, const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  const int s = mDrawScale;
  const float x = Centre(cx, s) - static_cast<float>(clip.OX);
  const float y = Centre(cy, s) - static_cast<float>(clip.OY);
  const float outer = Centre(r, s);
  if (clip.Empty() || !CircleMeets(clip, x, y, outer)) return true;
  for (int k = 0; k < s; ++k) {
    PX_Arc(&clip, x, y, outer - static_cast<float>(k), minAngle, maxAngle, PxColor(pColor),
           PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  }
  return true;
}

bool Graphics::DrawCircle(const IColor* pColor, float cx, float cy, float r,
                          const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  const int s = mDrawScale;
  const float x = Centre(cx, s) - static_cast<float>(clip.OX);
  const float y = Centre(cy, s) - static_cast<float>(clip.OY);
  const float outer = Centre(r, s);
  if (clip.Empty() || !CircleMeets(clip, x, y, outer)) return true;
  for (int k = 0; k < s; ++k) {
    PX_Circle(&clip, x, y, outer - static_cast<float>(k), PxColor(pColor), PxWeight(pBlend),
              PxBlendMode(pBlend), antiAlias);
  }
  return true;
}

bool Graphics::FillCircle(const IColor* pColor, int cx, int cy, float r,
                          const IChannelBlend* pBlend, bool antiAlias) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  const int s = mDrawScale;
  const float x = static_cast<float>(static_cast<int64_t>(cx) * s - clip.OX) + 0.5f * (s - 1);
  const float y = static_cast<float>(static_cast<int64_t>(cy) * s - clip.OY) + 0.5f * (s - 1);
  const float sr = Centre(r, s);
  if (clip.Empty() || !CircleMeets(clip, x, y, sr)) return true;
  PX_FillCircle(&clip, x, y, sr, PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  return true;
}

bool Graphics::RoundRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend,
                         int cornerRadius, bool antiAlias) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  const int s = mDrawScale;
  const double l = static_cast<double>(pR->L) * s - clip.OX;
  const double t = static_cast<double>(pR->T) * s - clip.OY;
  const double w = (static_cast<double>(pR->R) - pR->L) * s + (s - 1);
  const double h = (static_cast<double>(pR->B) - pR->T) * s + (s - 1);
  if (clip.Empty() || !clip.Meets(l, t, l + w, t + h)) return true;
  if (std::fabs(l) > DrawClip::kFar || std::fabs(t) > DrawClip::kFar || w > 2.0 * DrawClip::kFar ||
      h > 2.0 * DrawClip::kFar) {
    return true;
  }
  const int64_t corner = static_cast<int64_t>(cornerRadius) * s;
  // At scale s the outline is s pixels thick: s outlines, each one pixel inside the last.
  for (int k = 0; k < s; ++k) {
    const int64_t c = k == 0 ? corner : std::max<int64_t>(corner - k, 0);
    PX_RoundRect(&clip, static_cast<float>(l + k), static_cast<float>(t + k),
                 static_cast<float>(w - 2 * k), static_cast<float>(h - 2 * k),
                 static_cast<int>(std::min<int64_t>(std::max<int64_t>(c, INT32_MIN), INT32_MAX)),
                 PxColor(pColor), PxWeight(pBlend), PxBlendMode(pBlend), antiAlias);
  }
  return true;
}

bool Graphics::FillIRect(const IColor* pColor, IRECT* pR, const IChannelBlend* pBlend) {
  const int64_t s = mDrawScale;
  FillPixels(PxColor(pColor), pR->L * s, pR->T * s, pR->R * s, pR->B * s, PxWeight(pBlend),
             PxBlendMode(pBlend));
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
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty()) return true;
  const int64_t s = mDrawScale;
  PX_FillTriangle(&clip, clip.X(x1 * s), clip.Y(y1 * s), clip.X(x2 * s), clip.Y(y2 * s),
                  clip.X(x3 * s), clip.Y(y3 * s), PxColor(pColor), PxWeight(pBlend),
                  PxBlendMode(pBlend));
  return true;
}

bool Graphics::FillIConvexPolygon(const IColor* pColor, const int* x, const int* y, int npoints,
                                  const IChannelBlend* pBlend) {
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty() || !x || !y || npoints <= 0) return true;
  int stackX[kStackPoints], stackY[kStackPoints];
  int* cx = stackX;
  int* cy = stackY;
  if (npoints > kStackPoints) {
    cx = new int[npoints];
    cy = new int[npoints];
  }
  const int64_t s = mDrawScale;
  for (int i = 0; i < npoints; ++i) {
    cx[i] = clip.X(x[i] * s);
    cy[i] = clip.Y(y[i] * s);
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
  return DrawAxisLine(pColor, xi, yLo, xi, yHi);
}

bool Graphics::DrawHorizontalLine(const IColor* pColor, int yi, int xLo, int xHi) {
  return DrawAxisLine(pColor, xLo, yi, xHi, yi);
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
  return DrawAxisLine(pColor, xi, pR->T, xi, pR->B);
}

bool Graphics::DrawHorizontalLine(const IColor* pColor, IRECT* pR, float y) {
  y = Fraction(y);
  const int64_t yi = pR->B - static_cast<int64_t>(y * (static_cast<double>(pR->B) - pR->T));
  return DrawAxisLine(pColor, pR->L, yi, pR->R, yi);
}

// Both ends are included; at scale s the line covers s x s blocks.
bool Graphics::DrawAxisLine(const IColor* pColor, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  const int64_t s = mDrawScale;
  if (s > 1) {
    FillPixels(PxColor(pColor), std::min(x1, x2) * s, std::min(y1, y2) * s,
               (std::max(x1, x2) + 1) * s, (std::max(y1, y2) + 1) * s, 1.0f, PX_COMBINE_COPY);
    return true;
  }
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty()) return true;
  PX_Line(&clip, clip.X(x1), clip.Y(y1), clip.X(x2), clip.Y(y2), PxColor(pColor), 1.0f,
          PX_COMBINE_COPY, false);
  return true;
}
