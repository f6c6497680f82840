// Knobs and faders: controls that a drag or the wheel moves continuously.
#pragma once

#include "gui/controls/bitmaps.h"

// The whole range of a knob takes this many times its height (or width) of drag.
#define DEFAULT_GEARING 4.0

constexpr double kPi = 3.14159265358979323846;

// A handle that slides along a track of len pixels; a click moves it under
// the mouse, a drag follows the mouse, a right click asks for the value.
class IFaderControl : public IControl {
 public:
  // Vertical faders have value 1 at the top. onlyHandle: only the handle
  // itself answers the mouse, not the whole track.
  IFaderControl(PlugBase* pPlug, int x, int y, int len, int paramIdx, IBitmap* pBitmap,
                EDirection direction = kVertical, bool onlyHandle = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  // 0.01 per step, 0.001 with control or shift.
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  bool IsHit(int x, int y) override;
  bool Draw(Graphics* pGraphics) override;
  // Puts the handle's centre under the point.
  virtual void SnapToMouse(int x, int y);

  // Where the handle is drawn for value (negative: the current value).
  IRECT GetHandleRECT(double value = -1.0) const;

 protected:
  int mLen, mHandleSize;
  IBitmap mBitmap;
  EDirection mDirection;
  bool mOnlyHandle;
};

// A control turned by dragging: the whole range takes gearing times the
// control's width (horizontal) or height (vertical), ten times more with
// control or shift held. Dragging up or right increases the value.
class IKnobControl : public IControl {
 public:
  IKnobControl(PlugBase* pPlug, IRECT pR, int paramIdx, EDirection direction = kVertical,
               double gearing = DEFAULT_GEARING);

  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  // As a fader's.
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;
  // Values that are not positive numbers keep the gearing.
  void SetGearing(double gearing);

 protected:
  // The angle for the current value, from minAngle at 0 to maxAngle at 1.
  double AngleForValue(double minAngle, double maxAngle) const;

  EDirection mDirection;
  double mGearing;
};

// A line from the inner to the outer radius; angles in radians, 0 pointing
// up and growing clockwise.
class IKnobLineControl : public IKnobControl {
 public:
  // An outer radius of 0 becomes half the control's width.
  IKnobLineControl(PlugBase* pPlug, IRECT pR, int paramIdx, const IColor* pColor,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = -0.75 * kPi, double maxAngle = 0.75 * kPi,
                   EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(Graphics* pGraphics) override;

 protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// The bitmap turned about the control's centre; angles in radians.
class IKnobRotaterControl : public IKnobControl {
 public:
  IKnobRotaterControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -0.75 * kPi, double maxAngle = 0.75 * kPi,
                      int yOffsetZeroDeg = 0, EDirection direction = kVertical,
                      double gearing = DEFAULT_GEARING);

  bool Draw(Graphics* pGraphics) override;

 protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A filmstrip knob: the frame for the value, as a bitmap control draws it.
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                    EDirection direction = kVertical, double gearing = DEFAULT_GEARING);

  bool Draw(Graphics* pGraphics) override;

 protected:
  IBitmap mBitmap;
};

// A knob composed of three equal bitmaps: the base, coloured where the
// turned mask lets it through, under the turned top. Angles in degrees.
class IKnobRotatingMaskControl : public IKnobControl {
 public:
  IKnobRotatingMaskControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase,
                           IBitmap* pMask, IBitmap* pTop, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = kVertical,
                           double gearing = DEFAULT_GEARING);

  bool Draw(Graphics* pGraphics) override;

 protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
