#include "gui/controls/switches.h"

#include <cassert>

#include "gui/graphics.h"

void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  const double step = mBitmap.N < 2 ? 1.0 : 1.0 / (mBitmap.N - 1);
  const double value = GetValue() + step;
  SetValue(value > 1.001 ? 0.0 : value);
  SetDirty(true);
}

ISwitchPopUpControl::ISwitchPopUpControl(PlugBase* pPlug, int x, int y, int paramIdx,
                                         IBitmap* pBitmap, IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod) {
  mDisablePrompt = false;
}

void ISwitchPopUpControl::OnMouseDown(int, int, IMouseMod*) {
  PromptUserInput();
  SetDirty(true);
}

ISwitchFramesControl::ISwitchFramesControl(PlugBase* pPlug, int x, int y, int paramIdx,
                                           IBitmap* pBitmap, bool framesHorizontal,
                                           IChannelBlend::EBlendMethod blendMethod)
    : ISwitchControl(pPlug, x, y, paramIdx, pBitmap, blendMethod) {
  assert(mBitmap.N >= 2 && "a frames switch needs a bitmap of at least two frames");
  mDisablePrompt = false;
  const int n = mBitmap.N;
  IRECT* pRECTs = mRECTs.Resize(n);
  for (int i = 0; i < mRECTs.GetSize(); ++i) {
    pRECTs[i] = framesHorizontal ? mRECT.SubRectHorizontal(n, i) : mRECT.SubRectVertical(n, i);
  }
}

void ISwitchFramesControl::OnMouseDown(int x, int y, IMouseMod*) {
  const int n = mRECTs.GetSize();
  for (int i = 0; i < n; ++i) {
    if (mRECTs.Get()[i].Contains(x, y)) {
      SetValue(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0);
      break;
    }
  }
  SetDirty(true);
}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  SetValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  SetValue(0.0);
  SetDirty(true);
}

bool IContactControl::Draw(Graphics* pGraphics) {
  if (!IsLatched()) return IBitmapControl::Draw(pGraphics);
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, mBitmap.N, &mBlend);
}

void IContactControl::SetLatched(bool latched) {
  if (mLatched.exchange(latched, std::memory_order_relaxed) != latched) SetDirty(false);
}

IRadioButtonsControl::IRadioButtonsControl(PlugBase* pPlug, IRECT pR, int paramIdx, int nButtons,
                                           IBitmap* pBitmap, EDirection direction, bool reverse)
    : IControl(pPlug, pR, paramIdx), mBitmap(*pBitmap) {
  assert(nButtons >= 2 && "a radio-button control needs at least two buttons");
  mDisablePrompt = false;
  const int n = nButtons > 0 ? nButtons : 0;
  const int gaps = n > 1 ? n - 1 : 1;
  const int bw = mBitmap.FrameWidth(), h = mBitmap.FrameHeight();
  const bool horizontal = direction == kHorizontal;
  const int stepX = horizontal ? bw + (pR.W() - n * bw) / gaps : 0;
  const int stepY = horizontal ? 0 : h + (pR.H() - n * h) / gaps;
  const int x0 = reverse && horizontal ? pR.R - bw : pR.L;
  const int y0 = reverse && !horizontal ? pR.B - h : pR.T;
  const int sign = reverse ? -1 : 1;
  IRECT* pRECTs = mRECTs.Resize(n);
  for (int i = 0; i < mRECTs.GetSize(); ++i) {
    const int x = x0 + sign * i * stepX, y = y0 + sign * i * stepY;
    pRECTs[i] = IRECT(x, y, x + bw, y + h);
  }
}

const IRECT* IRadioButtonsControl::GetButtonRECT(int i) const {
  return i >= 0 && i < mRECTs.GetSize() ? mRECTs.Get() + i : nullptr;
}

void IRadioButtonsControl::OnMouseDown(int x, int y, IMouseMod* pMod) {
  if (pMod && pMod->R) {
    PromptUserInput();
    return;
  }
  const int n = mRECTs.GetSize();
  for (int i = 0; i < n; ++i) {
    if (mRECTs.Get()[i].Contains(x, y)) {
      SetValue(n > 1 ? static_cast<double>(i) / (n - 1) : 0.0);
      break;
    }
  }
  SetDirty(true);
}

bool IRadioButtonsControl::Draw(Graphics* pGraphics) {
  const int n = mRECTs.GetSize();
  const int active = FrameForValue(GetValue(), n) - 1;
  for (int i = 0; i < n; ++i) {
    pGraphics->DrawBitmap(&mBitmap, mRECTs.Get() + i, i == active ? 2 : 1, &mBlend);
  }
  return true;
}

bool IBitmapOverlayControl::Draw(Graphics* pGraphics) {
  if (GetValue() < 0.5) {
    mTargetRECT = mTargetArea;
    return true;
  }
  mTargetRECT = mRECT;
  return IBitmapControl::Draw(pGraphics);
}
