#include "gui/icontrol.h"

#include <cassert>
#include <cmath>
#include <cstring>

#include "gui/controls/text.h"
#include "gui/graphics.h"
#include "plug/plug_base.h"

IControl::AuxParam::AuxParam(int idx) : mParamIdx(idx) { assert(idx > -1); }

IControl::IControl(PlugBase* pPlug, IRECT pR, int paramIdx, IChannelBlend::EBlendMethod blendMethod)
    : mText(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignCenter),
      mPlug(pPlug),
      mRECT(pR),
      mTargetRECT(pR),
      mParamIdx(paramIdx),
      mBlend(blendMethod, 1.0f) {}

IControl::~IControl() { mAuxParams.Empty(true); }

void IControl::OnMouseDown(int, int, IMouseMod* pMod) {
  if (pMod && pMod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  const double def = GetDefaultValue();
  if (def < 0.0) return;
  SetValue(def);
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value) {
  if (!std::isfinite(value)) return;
  if (GetDefaultValue() < 0.0) {
    mDefaultValue.store(value, std::memory_order_relaxed);
    SetValue(value);
  }
  if (GetValue() == value) return;
  SetValue(value);
  SetDirty(false);
  Redraw();
}

void IControl::SetValueFromUserInput(double value) {
  if (!std::isfinite(value)) return;
  if (GetValue() == value) return;
  SetValue(value);
  SetDirty(true);
  Redraw();
}

void IControl::Hide(bool hide) {
  mHide.store(hide, std::memory_order_relaxed);
  Redraw();
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  mGrayed.store(gray, std::memory_order_relaxed);
  mBlend.mWeight.store(gray ? 0.25f : 1.0f, std::memory_order_relaxed);
  SetDirty(false);
}

void IControl::Clamp(double lo, double hi) {
  mClampLo.store(lo, std::memory_order_relaxed);
  mClampHi.store(hi, std::memory_order_relaxed);
}

void IControl::SetDirty(bool pushParamToPlug) {
  const double lo = mClampLo.load(std::memory_order_relaxed);
  const double hi = mClampHi.load(std::memory_order_relaxed);
  double value = GetValue();
  if (!(value >= lo)) {  // also a value that is not a number
    value = lo;
    SetValue(value);
  } else if (value > hi) {
    value = hi;
    SetValue(value);
  }
  mDirty.store(true, std::memory_order_release);
  if (!pushParamToPlug || !mPlug || mParamIdx < 0) return;
  mPlug->SetParameterFromGUI(mParamIdx, value);
  IParam* pParam = GetParam();
  if (!pParam) return;
  if (mValDisplayControl) {
    char display[MAX_PARAM_DISPLAY_LEN];
    pParam->GetDisplayForHost(display);
    SkyString text(display, MAX_PARAM_DISPLAY_LEN);
    text.Append(" ");
    text.Append(pParam->GetLabelForHost(), MAX_PARAM_DISPLAY_LEN);
    mValDisplayControl->SetTextFromPlug(text.Get());
  }
  if (mNameDisplayControl) mNameDisplayControl->SetTextFromPlug(pParam->GetNameForHost());
}

void IControl::SetClean() {
  const bool again = mRedraw.exchange(false, std::memory_order_acq_rel);
  // acq_rel: a mark stored by another thread before this point also makes
  // the value it announced visible to the paint that follows.
  mDirty.exchange(again, std::memory_order_acq_rel);
}

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  AuxParam* pAux = GetAuxParam(auxParamIdx);
  if (!std::isfinite(value)) return;
  if (pAux->mValue.load(std::memory_order_relaxed) == value) return;
  pAux->mValue.store(value, std::memory_order_relaxed);
  SetDirty(false);
  Redraw();
}

IParam* IControl::GetParam() { return mPlug ? mPlug->GetParam(mParamIdx) : nullptr; }

void IControl::AddAuxParam(int paramIdx) { mAuxParams.Add(new AuxParam(paramIdx)); }

IControl::AuxParam* IControl::GetAuxParam(int idx) {
  assert(idx > -1 && idx < mAuxParams.GetSize());
  return mAuxParams.Get(idx);
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    if (mAuxParams.Get(i)->mParamIdx == paramIdx) return i;
  }
  return -1;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!mPlug) return;
  for (int i = 0; i < mAuxParams.GetSize(); ++i) {
    AuxParam* pAux = mAuxParams.Get(i);
    mPlug->SetParameterFromGUI(pAux->mParamIdx, pAux->mValue.load(std::memory_order_relaxed));
  }
}

void IControl::PromptUserInput() {
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* pParam = GetParam();
  Graphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pParam || !pGraphics) return;
  if (pParam->GetNDisplayTexts()) {
    pGraphics->PromptUserInput(this, pParam, &mRECT);
  } else {
    const int cx = static_cast<int>(mRECT.MW()), cy = static_cast<int>(mRECT.MH());
    IRECT txtRECT(cx - 20, cy - 8, cx + 20, cy + 8);
    pGraphics->PromptUserInput(this, pParam, &txtRECT);
  }
  Redraw();
}

void IControl::PromptUserInput(IRECT* pTextRect) {
  if (mParamIdx < 0 || mDisablePrompt) return;
  IParam* pParam = GetParam();
  Graphics* pGraphics = mPlug ? mPlug->GetGUI() : nullptr;
  if (!pParam || !pGraphics) return;
  pGraphics->PromptUserInput(this, pParam, pTextRect);
  Redraw();
}
