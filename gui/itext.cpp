#include "gui/itext.h"

#include <cstdio>

IText::IText(int size, const IColor* pColor, const char* font, EStyle style, EAlign align,
             int orientation, EQuality quality, const IColor* pTextEntryBGColor,
             const IColor* pTextEntryFGColor)
    : mSize(size),
      mColor(pColor ? *pColor : DEFAULT_TEXT_COLOR),
      mTextEntryBGColor(pTextEntryBGColor ? *pTextEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
      mTextEntryFGColor(pTextEntryFGColor ? *pTextEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality),
      mCached(nullptr) {
  SetFont(font);
}

void IText::SetFont(const char* font) {
  snprintf(mFont, sizeof(mFont), "%s", font ? font : DEFAULT_FONT);
  mCached = nullptr;
}
