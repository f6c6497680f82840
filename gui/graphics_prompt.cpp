// Graphics: asking the user for a parameter's value through the platform's
// popup menu or text field.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gui/graphics.h"
#include "gui/icontrol.h"
#include "gui/ipopup_menu.h"
#include "plug/iparam.h"

void Graphics::PromptUserInput(IControl* pControl, IParam* pParam, IRECT* pTextRect) {
  if (!pControl || !pParam || !pTextRect) return;
  const IParam::EParamType type = pParam->Type();
  const int n = pParam->GetNDisplayTexts();
  if (type == IParam::kTypeEnum || (type == IParam::kTypeBool && n)) {
    char current[MAX_PARAM_DISPLAY_LEN];
    pParam->GetDisplayForHost(current);
    IPopupMenu menu;
    for (int i = 0; i < n; ++i) {
      const char* text = pParam->GetDisplayText(i);
      menu.AddItem(text, -1, strcmp(text, current) ? 0 : IPopupMenuItem::kChecked);
    }
    if (CreateIPopupMenu(&menu, pTextRect)) {
      pControl->SetValueFromUserInput(pParam->GetNormalized(menu.GetChosenItemIdx()));
    }
    return;
  }
  char current[MAX_PARAM_DISPLAY_LEN];
  pParam->GetDisplayForHostNoDisplayText(current);
  CreateTextEntry(pControl, pControl->GetText(), pTextRect, current, pParam);
}

void Graphics::SetFromStringAfterPrompt(IControl* pControl, IParam* pParam, const char* txt) {
  if (!pControl || !pParam) return;
  // A field keeps to the control's length; longer text from elsewhere is cut.
  const SkyString text(txt, pControl->GetTextEntryLength());
  double v = 0.0;
  const IParam::EParamType type = pParam->Type();
  if (type == IParam::kTypeEnum || type == IParam::kTypeBool) {
    if (!pParam->MapDisplayText(text.Get(), &v)) v = 0.0;
  } else {
    v = atof(text.Get());
    if (pParam->DisplayIsNegated()) v = -v;
  }
  if (!std::isfinite(v)) return;
  // Typed text arrives after the click that opened the field has ended, so
  // the change is a gesture of its own for the host.
  const bool ownGesture = mGestureParam < 0;
  if (ownGesture) BeginGesture(pControl->ParamIdx());
  pControl->SetValueFromUserInput(pParam->GetNormalized(v));
  if (ownGesture) EndGesture();
}
