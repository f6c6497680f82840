// Graphics: routing the platform's mouse and key events to the controls, and
// the host's begin and end notices around each user change of a parameter.
//
// A control's handler may change the control list (a plug-in that resizes
// its editor deletes every control), so no control pointer is used after a
// handler returns.
#include "gui/graphics.h"
#include "gui/icontrol.h"
#include "plug/plug_base.h"

void Graphics::BeginGesture(int paramIdx) {
  EndGesture();
  if (paramIdx < 0 || !mPlug || !mPlug->GetParam(paramIdx)) return;
  mGestureParam = paramIdx;
  mPlug->BeginInformHostOfParamChange(paramIdx);
}

void Graphics::EndGesture() {
  const int paramIdx = mGestureParam;
  if (paramIdx < 0) return;
  mGestureParam = -1;
  mPlug->EndInformHostOfParamChange(paramIdx);
}

void Graphics::InterruptMouseGesture() {
  ReleaseMouseCapture();
  EndGesture();
}

void Graphics::OnMouseDown(int x, int y, IMouseMod* pMod) {
  // A press while a gesture is open means its release was lost.
  InterruptMouseGesture();
  const int idx = GetMouseControlIdx(x, y, false);
  if (idx < 0) return;
  mMouseCapture = idx;
  mMouseX = x;
  mMouseY = y;
  IControl* pControl = mControls.Get(idx);
  BeginGesture(pControl->ParamIdx());
  pControl->OnMouseDown(x, y, pMod);
  // A popup menu released the capture: the menu took the button's release,
  // and the value it chose has been sent, so the gesture is over.
  if (mMouseCapture != idx) EndGesture();
}

void Graphics::OnMouseUp(int x, int y, IMouseMod* pMod) {
  const int idx = GetMouseControlIdx(x, y, false);
  ReleaseMouseCapture();
  if (idx >= 0) mControls.Get(idx)->OnMouseUp(x, y, pMod);
  EndGesture();
}

void Graphics::OnMouseDrag(int x, int y, IMouseMod* pMod) {
  if (mMouseCapture < 0) return;
  const int dX = x - mMouseX, dY = y - mMouseY;
  if (!dX && !dY) return;
  mMouseX = x;
  mMouseY = y;
  mControls.Get(mMouseCapture)->OnMouseDrag(x, y, dX, dY, pMod);
}

bool Graphics::OnMouseDblClick(int x, int y, IMouseMod* pMod) {
  InterruptMouseGesture();
  const int idx = GetMouseControlIdx(x, y, false);
  if (idx < 0) return false;
  IControl* pControl = mControls.Get(idx);
  // The second press of a double click sends no begin notice; the release
  // that follows still ends the change it makes.
  const int paramIdx = pControl->ParamIdx();
  if (paramIdx >= 0 && mPlug && mPlug->GetParam(paramIdx)) mGestureParam = paramIdx;
  if (pControl->MouseDblAsSingleClick()) {
    mMouseCapture = idx;
    mMouseX = x;
    mMouseY = y;
    pControl->OnMouseDown(x, y, pMod);
    return true;
  }
  pControl->OnMouseDblClick(x, y, pMod);
  return false;
}

void Graphics::OnMouseWheel(int x, int y, IMouseMod* pMod, int d) {
  ForceEndUserEdit();
  const int idx = GetMouseControlIdx(x, y, false);
  if (idx < 0) return;
  IControl* pControl = mControls.Get(idx);
  // A wheel step outside a held gesture is a gesture of its own.
  const bool ownGesture = mGestureParam < 0;
  if (ownGesture) BeginGesture(pControl->ParamIdx());
  pControl->OnMouseWheel(x, y, pMod, d);
  if (ownGesture) EndGesture();
}

bool Graphics::OnMouseOver(int x, int y, IMouseMod* pMod) {
  if (!mHandleMouseOver) return false;
  const int idx = GetMouseControlIdx(x, y, true);
  if (idx >= 0) {
    mMouseX = x;
    mMouseY = y;
    mControls.Get(idx)->OnMouseOver(x, y, pMod);
    IControl* pOld = mMouseOver != idx ? mControls.Get(mMouseOver) : nullptr;
    if (pOld) pOld->OnMouseOut();
    mMouseOver = idx;
  }
  return true;
}

void Graphics::OnMouseOut() {
  for (int i = 0; i < mControls.GetSize(); ++i) mControls.Get(i)->OnMouseOut();
  mMouseOver = -1;
}

bool Graphics::OnKeyDown(int x, int y, int key) {
  const int idx = GetMouseControlIdx(x, y, false);
  // The background (index 0) never takes keys.
  if (idx > 0) return mControls.Get(idx)->OnKeyDown(x, y, key);
  if (mKeyCatcher) return mKeyCatcher->OnKeyDown(x, y, key);
  return false;
}
