// ITextEntryFormat: the rules a platform's text field applies to every edit
// of a parameter's value, so that only a plausible number can be typed.
#pragma once

class IControl;
class IParam;

struct ITextEntryFormat {
  const char* mAccepted = nullptr;  // characters allowed; null: any
  int mMaxLength = 0;               // 0: no limit
  int mMaxValue = 0;                // largest integer value; 0: no limit

  // Digits, signs and (for a real-valued parameter) the point, at most the
  // control's text-entry length; without a parameter anything goes.
  static ITextEntryFormat For(IControl* pControl, IParam* pParam);
  // Whether the field may hold text after an edit (a refused edit leaves the
  // field as it was).
  bool Accepts(const char* text) const;
};
