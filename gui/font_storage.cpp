#include "gui/font_storage.h"

#include <cstdio>
#include <cstring>

#include "raster/text/text.h"

namespace {

void DeleteKey(void* p) {
  FontStorage::FontKey* pKey = static_cast<FontStorage::FontKey*>(p);
  delete pKey->font;
  delete pKey;
}

}  // namespace

FontStorage::~FontStorage() {
  SkyMutexLock lock(&mMutex);
  mFonts.Empty(true, DeleteKey);
}

PX_CachedFont* FontStorage::Find(const IText* pTxt) {
  SkyMutexLock lock(&mMutex);
  for (int i = 0; i < mFonts.GetSize(); ++i) {
    const FontKey* pKey = mFonts.Get(i);
    if (pKey->size == pTxt->mSize && pKey->orientation == pTxt->mOrientation &&
        pKey->style == pTxt->mStyle && !strcmp(pKey->name, pTxt->mFont)) {
      return pKey->font;
    }
  }
  return nullptr;
}

void FontStorage::Add(PX_CachedFont* pFont, const IText* pTxt) {
  FontKey* pKey = new FontKey{pTxt->mSize, pTxt->mOrientation, pTxt->mStyle, {}, pFont};
  snprintf(pKey->name, sizeof(pKey->name), "%s", pTxt->mFont);
  SkyMutexLock lock(&mMutex);
  if (!mFonts.Add(pKey)) DeleteKey(pKey);
}

int FontStorage::Count() {
  SkyMutexLock lock(&mMutex);
  return mFonts.GetSize();
}
