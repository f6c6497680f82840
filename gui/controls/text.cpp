#include "gui/controls/text.h"

#include "gui/graphics.h"

ITextControl::ITextControl(PlugBase* pPlug, IRECT pR, IText* pText, const char* str)
    : IControl(pPlug, pR), mStr(str) {
  if (pText) mText = *pText;
}

void ITextControl::SetTextFromPlug(const char* str) {
  if (mStr.Set(str)) SetDirty(false);
}

bool ITextControl::Draw(Graphics* pGraphics) {
  mStr.Use([&](const char* text) {
    if (text[0]) pGraphics->DrawIText(&mText, text, &mRECT);
  });
  return true;
}
