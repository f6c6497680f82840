// ITextControl: a line of text in a style, set by the plug-in from any thread.
#pragma once

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

  bool Draw(Graphics* pGraphics) override;

 protected:
  ISharedText mStr;
};
