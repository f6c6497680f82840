#include "gui/controls/knobs.h"

#include <cmath>

#include "gui/graphics.h"

namespace {

// A value limited to 0 ... 1 for geometry (not a number gives 0).
double Unit(double value) { return value > 0.0 ? (value < 1.0 ? value : 1.0) : 0.0; }

double WheelStep(const IMouseMod* pMod) { return pMod && (pMod->C || pMod->S) ? 0.001 : 0.01; }

}  // namespace

IFaderControl::IFaderControl(PlugBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                             EDirection direction, bool onlyHandle)
    : IControl(pPlug, IRECT(), paramIdx),
      mLen(len),
      mHandleSize(direction == kHorizontal ? pBitmap->FrameWidth() : pBitmap->FrameHeight()),
      mBitmap(*pBitmap),
      mDirection(direction),
      mOnlyHandle(onlyHandle) {
  if (direction == kHorizontal) {
    mRECT = IRECT(x, y, x + len, y + mBitmap.FrameHeight());
  } else {
    mRECT = IRECT(x, y, x + mBitmap.FrameWidth(), y + len);
  }
  mTargetRECT = mRECT;
}

IRECT IFaderControl::GetHandleRECT(double value) const {
  if (value < 0.0) value = GetValue();
  value = Unit(value);
  IRECT r(mRECT.L, mRECT.T, mRECT.L + mBitmap.FrameWidth(), mRECT.T + mBitmap.FrameHeight());
  const int travel = mLen - mHandleSize;
  if (mDirection == kHorizontal) {
    const int offset = static_cast<int>(value * travel);
    r.L += offset;
    r.R += offset;
  } else {
    const int offset = static_cast<int>((1.0 - value) * travel);
    r.T += offset;
    r.B += offset;
  }
  return r;
}

void IFaderControl::SnapToMouse(int x, int y) {
  const int travel = mLen - mHandleSize;
  if (travel <= 0) return;  // a handle as long as the track cannot move
  if (mDirection == kHorizontal) {
    SetValue(static_cast<double>(x - mRECT.L - mHandleSize / 2) / travel);
  } else {
    SetValue(1.0 - static_cast<double>(y - mRECT.T - mHandleSize / 2) / travel);
  }
  SetDirty(true);
}

void IFaderControl::OnMouseDown(int x, int y, IMouseMod* pMod) {
  if (pMod && pMod->R) {
    PromptUserInput();
    return;
  }
  SnapToMouse(x, y);
}

void IFaderControl::OnMouseDrag(int x, int y, int, int, IMouseMod*) { SnapToMouse(x, y); }

void IFaderControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) {
  SetValue(GetValue() + WheelStep(pMod) * d);
  SetDirty(true);
}

bool IFaderControl::IsHit(int x, int y) {
  if (mOnlyHandle) return GetHandleRECT().Contains(x, y);
  return mTargetRECT.Contains(x, y);
}

bool IFaderControl::Draw(Graphics* pGraphics) {
  IRECT r = GetHandleRECT();
  return pGraphics->DrawBitmap(&mBitmap, &r, 1, &mBlend);
}

IKnobControl::IKnobControl(PlugBase* pPlug, IRECT pR, int paramIdx, EDirection direction,
                           double gearing)
    : IControl(pPlug, pR, paramIdx), mDirection(direction), mGearing(DEFAULT_GEARING) {
  SetGearing(gearing);
}

void IKnobControl::SetGearing(double gearing) {
  if (std::isfinite(gearing) && gearing > 0.0) mGearing = gearing;
}

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* pMod) {
  const double gearing = pMod && (pMod->C || pMod->S) ? 10.0 * mGearing : mGearing;
  // Height runs from bottom to top (negative), so dragging up increases the value.
  const int size = mDirection == kHorizontal ? mRECT.R - mRECT.L : mRECT.T - mRECT.B;
  if (!size) return;
  const int d = mDirection == kHorizontal ? dX : dY;
  SetValue(GetValue() + static_cast<double>(d) / size / gearing);
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* pMod, int d) {
  SetValue(GetValue() + WheelStep(pMod) * d);
  SetDirty(true);
}

double IKnobControl::AngleForValue(double minAngle, double maxAngle) const {
  return minAngle + Unit(GetValue()) * (maxAngle - minAngle);
}

IKnobLineControl::IKnobLineControl(PlugBase* pPlug, IRECT pR, int paramIdx, const IColor* pColor,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(pPlug, pR, paramIdx, direction, gearing),
      mColor(pColor ? *pColor : COLOR_BLACK),
      mMinAngle(static_cast<float>(minAngle)),
      mMaxAngle(static_cast<float>(maxAngle)),
      mInnerRadius(static_cast<float>(innerRadius)),
      mOuterRadius(outerRadius == 0.0 ? 0.5f * static_cast<float>(pR.W())
                                      : static_cast<float>(outerRadius)) {
  mBlend = IChannelBlend(IChannelBlend::kBlendOverwrite, 1.0f);
}

bool IKnobLineControl::Draw(Graphics* pGraphics) {
  const double angle = AngleForValue(mMinAngle, mMaxAngle);
  const float s = static_cast<float>(std::sin(angle)), c = static_cast<float>(std::cos(angle));
  const float cx = mRECT.MW(), cy = mRECT.MH();
  pGraphics->DrawLine(&mColor, cx + mInnerRadius * s, cy - mInnerRadius * c, cx + mOuterRadius * s,
                      cy - mOuterRadius * c, &mBlend, true);
  return true;
}

IKnobRotaterControl::IKnobRotaterControl(PlugBase* pPlug, int x, int y, int paramIdx,
                                         IBitmap* pBitmap, double minAngle, double maxAngle,
                                         int yOffsetZeroDeg, EDirection direction, double gearing)
    : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing),
      mBitmap(*pBitmap),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle),
      mYOffset(yOffsetZeroDeg) {}

bool IKnobRotaterControl::Draw(Graphics* pGraphics) {
  const int cx = (mRECT.L + mRECT.R) / 2, cy = (mRECT.T + mRECT.B) / 2;
  return pGraphics->DrawRotatedBitmap(&mBitmap, cx, cy, AngleForValue(mMinAngle, mMaxAngle),
                                      mYOffset, &mBlend);
}

IKnobMultiControl::IKnobMultiControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(pPlug, IRECT(x, y, pBitmap), paramIdx, direction, gearing), mBitmap(*pBitmap) {}

bool IKnobMultiControl::Draw(Graphics* pGraphics) {
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(GetValue(), mBitmap.N), &mBlend);
}

IKnobRotatingMaskControl::IKnobRotatingMaskControl(PlugBase* pPlug, int x, int y, int paramIdx,
                                                   IBitmap* pBase, IBitmap* pMask, IBitmap* pTop,
                                                   double minAngle, double maxAngle,
                                                   EDirection direction, double gearing)
    : IKnobControl(pPlug, IRECT(x, y, pBase), paramIdx, direction, gearing),
      mBase(*pBase),
      mMask(*pMask),
      mTop(*pTop),
      mMinAngle(minAngle),
      mMaxAngle(maxAngle) {}

bool IKnobRotatingMaskControl::Draw(Graphics* pGraphics) {
  return pGraphics->DrawRotatedMask(&mBase, &mMask, &mTop, mRECT.L, mRECT.T,
                                    AngleForValue(mMinAngle, mMaxAngle), &mBlend);
}
