// Graphics: finding dirty controls and the draw cycle.
#include "gui/graphics.h"
#include "gui/icontrol.h"

bool Graphics::IsDirty(IRECT* pR) {
  bool dirty = false;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (!pControl->IsDirty()) continue;
    if (pR) *pR = pR->Union(*pControl->GetRECT());
    dirty = true;
  }
  return dirty;
}

bool Graphics::Draw(IRECT* pR) {
  if (!mControls.GetSize()) return true;
  IRECT whole(0, 0, mWidth, mHeight);
  if (!pR) pR = &whole;
  if (mStrict) {
    DrawStrict(*pR);
  } else if (mControls.Get(0)->IsDirty()) {
    DrawFromBackground();
  } else {
    for (int j = 1; j < mControls.GetSize(); ++j) {
      IControl* pControl = mControls.Get(j);
      if (!pControl->IsDirty()) continue;
      pControl->SetClean();
      DrawControlsOver(j);
    }
  }
  return DrawScreen(pR);
}

// Controls outside the region keep their flags: one that became dirty after
// the region was found (another thread, or a paint request for a smaller
// area) is painted in a later cycle instead of being marked clean unpainted.
void Graphics::DrawStrict(const IRECT& r) {
  mDrawRECT = r;
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (!pControl->GetRECT()->Intersects(r)) continue;
    pControl->SetClean();
    if (!pControl->IsHidden()) pControl->Draw(this);
  }
}

void Graphics::DrawFromBackground() {
  mDrawRECT = *mControls.Get(0)->GetRECT();
  for (int i = 0; i < mControls.GetSize(); ++i) {
    IControl* pControl = mControls.Get(i);
    if (i > 0 && pControl->IsHidden()) continue;
    pControl->SetClean();
    pControl->Draw(this);
  }
}

void Graphics::DrawControlsOver(int j) {
  mDrawRECT = *mControls.Get(j)->GetRECT();
  for (int k = 0; k < mControls.GetSize(); ++k) {
    IControl* pControl = mControls.Get(k);
    if (pControl->IsHidden()) continue;
    if (k == j || pControl->GetRECT()->Intersects(mDrawRECT)) pControl->Draw(this);
  }
}
