#include "gui/shared_text.h"

#include <cstring>

bool ISharedText::Set(const char* text) {
  if (!text) text = "";
  std::lock_guard<std::mutex> lock(mMutex);
  if (!strcmp(mText.Get(), text)) return false;
  mText.Set(text);
  return true;
}

void ISharedText::Get(SkyString* pDest) const {
  std::lock_guard<std::mutex> lock(mMutex);
  pDest->Set(mText.Get());
}

bool ISharedText::IsEmpty() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return !mText.Get()[0];
}
