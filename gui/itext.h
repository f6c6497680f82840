// IText: a text style. Its cached font is filled on first use from the font
// cache and points into it.
#pragma once

#include "gui/icolor.h"

class PX_IFont;

#define DEFAULT_FONT "Monaco"
#define FONT_LEN 32

struct IText {
  enum EStyle { kStyleNormal = 0, kStyleBold, kStyleItalic };
  enum EAlign { kAlignNear = 0, kAlignCenter, kAlignFar };
  enum EQuality {
    kQualityDefault = 0,
    kQualityNonAntiAliased,
    kQualityAntiAliased,
    kQualityClearType
  };

  char mFont[FONT_LEN];
  int mSize;
  IColor mColor;
  IColor mTextEntryBGColor;
  IColor mTextEntryFGColor;
  EStyle mStyle;
  EAlign mAlign;
  int mOrientation;  // degrees of rotation of the baseline
  EQuality mQuality;
  PX_IFont* mCached;

  // Null colours and font name take the defaults; names longer than 31
  // characters are cut.
  explicit IText(int size = 14, const IColor* pColor = nullptr, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 EQuality quality = kQualityDefault, const IColor* pTextEntryBGColor = nullptr,
                 const IColor* pTextEntryFGColor = nullptr);

  void SetFont(const char* font);
};
