// ITextControl: a line of text in a style, set by the plug-in from any thread.
// The text is drawn inside the control's rectangle; with the ellipsis on, a
// text wider than the rectangle ends with "…" after the last character that
// fits.
#pragma once

#include <string>

#include "gui/icontrol.h"
#include "gui/shared_text.h"

class ITextControl : public IControl {
 public:
  // The style is copied into the control.
  ITextControl(PlugBase* pPlug, IRECT pR, IText* pText, const char* str = "");

  // A different text is stored and dirties the control; an equal one changes
  // nothing. Safe on any thread while the GUI thread draws.
  void SetTextFromPlug(const char* str);
  // A copy of the current text.
  void GetTextCopy(SkyString* pDest) const { mStr.Get(pDest); }
  void SetEllipsis(bool ellipsis) { mEllipsis = ellipsis; }

  bool Draw(Graphics* pGraphics) override;

 protected:
  ISharedText mStr;
  bool mEllipsis = false;
};

// The longest start of str (whole UTF-8 characters, trailing spaces dropped)
// that fits width pixels in the style with "…" after it, ellipsis included;
// false (and *pFitted untouched) when str fits as it is.
bool FitTextWithEllipsis(Graphics* pGraphics, IText* pText, const char* str, int width,
                         std::string* pFitted);

// A parameter's value as text (with its unit label when showLabel), drawn as
// a text control draws; a click or double click asks for a new value when
// prompting is enabled.
class ICaptionControl : public ITextControl {
 public:
  ICaptionControl(PlugBase* pPlug, IRECT pR, int paramIdx, IText* pText, bool showLabel = true);

  void OnMouseDown(int x, int y, IMouseMod* pMod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override;
  bool Draw(Graphics* pGraphics) override;

 private:
  bool mShowParamLabel;
};

// Draws str with a bitmap font, a filmstrip whose frame k shows the character
// of code k + 31 (frame 1 the space). Characters are cw x ch pixels, placed
// cw + co apart, aligned by the style's alignment; a single line shows what
// fits in the rectangle's width, multiline wraps at that width.
bool DrawBitmapedText(Graphics* pGraphics, IBitmap* pBitmap, IRECT* pR, IText* pText,
                      IChannelBlend* pBlend, const char* str, bool vCenter, bool multiline, int cw,
                      int ch, int co);

// A text drawn with a bitmap font, set by the plug-in from any thread.
class IBitmapTextControl : public IControl {
 public:
  IBitmapTextControl(PlugBase* pPlug, IRECT pR, IBitmap* pBitmap, const char* str = "",
                     IText* pText = nullptr, int charWidth = 6, int charHeight = 12,
                     int charOffset = 0, bool multiLine = false, bool vCenter = true);

  // As ITextControl's.
  void SetTextFromPlug(const char* str);

  bool Draw(Graphics* pGraphics) override;

 private:
  ISharedText mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mTextBitmap;
  bool mMultiLine, mVCentre;
};
