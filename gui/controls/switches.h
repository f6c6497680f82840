// Switches: controls that step, pick or hold a value on a click.
#pragma once

#include <atomic>

#include "base/heapbuf.h"
#include "gui/controls/bitmaps.h"

// Each click steps to the next frame's value; after the last comes the first.
class ISwitchControl : public IBitmapControl {
 public:
  ISwitchControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal)
      : IBitmapControl(pPlug, x, y, paramIdx, pBitmap, blendMethod) {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override { OnMouseDown(x, y, pMod); }
};

// A click asks for the value with the parameter's menu or text field.
class ISwitchPopUpControl : public ISwitchControl {
 public:
  ISwitchPopUpControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
};

// One hit area per frame: a click picks the frame under the mouse. The
// bitmap needs at least two frames.
class ISwitchFramesControl : public ISwitchControl {
 public:
  // framesHorizontal: the hit areas lie side by side, else stacked.
  ISwitchFramesControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                       bool framesHorizontal = false,
                       IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;

 private:
  SkyTypedBuf<IRECT> mRECTs{64};
};

// An area without a picture that toggles between 0 and 1.
class IInvisibleSwitchControl : public IControl {
 public:
  IInvisibleSwitchControl(PlugBase* pPlug, IRECT pR, int paramIdx)
      : IControl(pPlug, pR, paramIdx, IChannelBlend::kBlendOverwrite) {}

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics*) override { return true; }
};

// On only while the button is held. The plug-in may latch it to show the
// last frame ("on") whatever its value, to mark a choice that is in effect.
class IContactControl : public ISwitchControl {
 public:
  IContactControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap)
      : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, IChannelBlend::kBlendNormal) {}

  void OnMouseUp(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics* pGraphics) override;

  // Safe on any thread while the GUI thread draws; a change dirties the control.
  void SetLatched(bool latched);
  bool IsLatched() const { return mLatched.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> mLatched{false};
};

// A row or column of at least two buttons, one of them on; the bitmap's
// frame 1 shows a button off, frame 2 on. A right click asks for the value.
class IRadioButtonsControl : public IControl {
 public:
  // The buttons spread evenly over pR; reverse puts button 0 at the far end.
  IRadioButtonsControl(PlugBase* pPlug, IRECT pR, int paramIdx, int nButtons, IBitmap* pBitmap,
                       EDirection direction = kVertical, bool reverse = false);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics* pGraphics) override;

  // Null outside the buttons.
  const IRECT* GetButtonRECT(int i) const;

 private:
  SkyTypedBuf<IRECT> mRECTs{64};
  IBitmap mBitmap;
};

// A switch whose picture is an overlay: while off it draws nothing and
// answers clicks in a target area of its own instead of its picture.
class IBitmapOverlayControl : public ISwitchControl {
 public:
  IBitmapOverlayControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                        IRECT targetArea)
      : ISwitchControl(pPlug, x, y, paramIdx, pBitmap), mTargetArea(targetArea) {}

  bool Draw(Graphics* pGraphics) override;

 private:
  IRECT mTargetArea;
};
