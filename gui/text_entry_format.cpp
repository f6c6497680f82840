#include "gui/text_entry_format.h"

#include <cstdlib>
#include <cstring>

#include "gui/icontrol.h"
#include "plug/iparam.h"

ITextEntryFormat ITextEntryFormat::For(IControl* pControl, IParam* pParam) {
  ITextEntryFormat format;
  if (!pControl || !pParam) return format;
  switch (pParam->Type()) {
    case IParam::kTypeDouble: format.mAccepted = "0123456789.-+"; break;
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum: format.mAccepted = "0123456789-+"; break;
    default: format.mAccepted = ""; break;
  }
  format.mMaxLength = pControl->GetTextEntryLength();
  return format;
}

bool ITextEntryFormat::Accepts(const char* text) const {
  if (!text) return false;
  const size_t len = strlen(text);
  if (mAccepted && strspn(text, mAccepted) != len) return false;
  if (mMaxLength > 0 && len > static_cast<size_t>(mMaxLength)) return false;
  return !mMaxValue || strtol(text, nullptr, 10) <= mMaxValue;
}
