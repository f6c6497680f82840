#include "gui/controls/panel.h"

#include "gui/graphics.h"

bool IPanelControl::Draw(Graphics* pGraphics) {
  pGraphics->FillIRect(&mColor, &mRECT, &mBlend);
  return true;
}
