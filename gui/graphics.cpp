// Graphics: construction, the control list and the parameter linkage.
#include "gui/graphics.h"

#include "gui/controls/bitmaps.h"
#include "gui/controls/panel.h"
#include "gui/icontrol.h"
#include "plug/plug_base.h"
#include "raster/pixels/bitmap.h"

namespace {

constexpr int kDefaultFPS = 25;

}  // namespace

Graphics::Graphics(PlugBase* pPlug, int w, int h, int fps)
    : mPlug(pPlug),
      mWidth(w > 0 ? w : 0),
      mHeight(h > 0 ? h : 0),
      mFPS(fps > 0 ? fps : kDefaultFPS) {}

Graphics::~Graphics() {
  delete mKeyCatcher;
  mKeyCatcher = nullptr;
  DeleteControls();
  DeleteBitmaps();
}

void Graphics::DeleteControls() { mControls.Empty(true); }

void Graphics::DeleteBitmaps() {
  delete mDrawBitmap;
  delete mTmpBitmap;
  delete mEnlarged;
  mDrawBitmap = nullptr;
  mTmpBitmap = nullptr;
  mEnlarged = nullptr;
}

void Graphics::PrepDraw() {
  DeleteBitmaps();
  mDrawBitmap = new PX_SysBitmap(mWidth * mDrawScale, mHeight * mDrawScale);
  mTmpBitmap = new PX_MemBitmap(0, 0, 4);
}

void Graphics::SetDrawScale(int scale) {
  scale = scale >= 2 ? 2 : 1;
  if (scale == mDrawScale) return;
  mDrawScale = scale;
  if (mDrawBitmap) PrepDraw();
  SetAllControlsDirty();
}

void Graphics::Resize(int w, int h) {
  mWidth = w > 0 ? w : 0;
  mHeight = h > 0 ? h : 0;
  // The controls go away: no field or gesture may outlive them.
  ForceEndUserEdit();
  InterruptMouseGesture();
  mMouseOver = -1;
  DeleteControls();
  DeleteBitmaps();
  PrepDraw();
  if (mPlug) mPlug->ResizeGraphics(w, h);
}

PX_IBitmap* Graphics::GetDrawBitmap() { return mDrawBitmap; }

PX_pixel* Graphics::GetBits() { return mDrawBitmap ? mDrawBitmap->getBits() : nullptr; }

int Graphics::AttachControl(IControl* pControl) {
  if (!pControl) return -1;
  if (!mControls.Add(pControl)) {
    delete pControl;
    return -1;
  }
  return mControls.GetSize() - 1;
}

IControl* Graphics::AttachBackground(int ID, const char* name) {
  IBitmap bg = LoadIBitmap(ID, name, 1, false);
  IControl* pBG = new IBitmapControl(mPlug, 0, 0, -1, &bg, IChannelBlend::kBlendOverwrite);
  mControls.Insert(0, pBG);
  return pBG;
}

IControl* Graphics::AttachPanelBackground(const IColor* pColor) {
  IControl* pBG = new IPanelControl(mPlug, IRECT(0, 0, mWidth, mHeight), pColor);
  mControls.Insert(0, pBG);
  return pBG;
}

void Graphics::AttachKeyCatcher(IControl* pControl) {
  if (mKeyCatcher != pControl) delete mKeyCatcher;
  mKeyCatcher = pControl;
}

void Graphics::SetParameterFromPlug(int paramIdx, double value, bool normalized) {
  if (!normalized) {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    value = pParam->GetNormalized(value);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->SetValueFromPlug(value);
    const int aux = pControl->AuxParamIdx(paramIdx);
    if (aux >= 0) pControl->SetAuxParamValueFromPlug(aux, value);
  }
}

void Graphics::SetControlFromPlug(int controlIdx, double normalizedValue) {
  IControl* pControl = mControls.Get(controlIdx);
  if (pControl) pControl->SetValueFromPlug(normalizedValue);
}

void Graphics::SetParameterFromGUI(int paramIdx, double normalizedValue) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->SetValueFromUserInput(normalizedValue);
  }
}

void Graphics::ClampControl(int paramIdx, double lo, double hi, bool normalized) {
  if (!normalized) {
    IParam* pParam = mPlug ? mPlug->GetParam(paramIdx) : nullptr;
    if (!pParam) return;
    lo = pParam->GetNormalized(lo);
    hi = pParam->GetNormalized(hi);
  }
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->Clamp(lo, hi);
  }
}

void Graphics::HideControl(int paramIdx, bool hide) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->Hide(hide);
  }
}

void Graphics::GrayOutControl(int paramIdx, bool gray) {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->ParamIdx() == paramIdx) pControl->GrayOut(gray);
  }
}

void Graphics::SetAllControlsDirty() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->SetDirty(false);
}

void Graphics::SetStrictDrawing(bool strict) {
  mStrict = strict;
  SetAllControlsDirty();
}

void Graphics::AssignParamNameToolTips() {
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    IParam* pParam = pControl->GetParam();
    if (pParam) pControl->SetTooltip(pParam->GetNameForHost());
  }
}

int Graphics::GetParamIdxForPTAutomation(int x, int y) {
  const int idx = mMouseCapture >= 0 ? mMouseCapture : HitControl(x, y, false, false);
  mLastClickedParam = idx > 0 ? mControls.Get(idx)->ParamIdx() : -1;
  return mLastClickedParam;
}

int Graphics::GetLastClickedParamForPTAutomation() {
  const int idx = mLastClickedParam;
  mLastClickedParam = -1;
  return idx;
}

void Graphics::OnGUIIdle() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnGUIIdle();
}

int Graphics::HitControl(int x, int y, bool skipGrayed, bool mouseOver) {
  for (int i = mControls.GetSize() - 1; i >= 0; --i) {
    IControl* pControl = mControls.Get(i);
    if (pControl->IsHidden()) continue;
    if (skipGrayed && pControl->IsGrayed() && !(mouseOver && pControl->GetMOWhenGrayed())) continue;
    if (pControl->IsHit(x, y)) return i;
  }
  return -1;
}

int Graphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mMouseCapture >= 0) return mMouseCapture;
  return HitControl(x, y, true, mouseOver);
}

void Graphics::ReleaseMouseCapture() {
  mMouseCapture = -1;
  mMouseX = mMouseY = -1;
}
