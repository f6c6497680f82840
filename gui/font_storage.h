// FontStorage: cached fonts keyed by size, orientation, style and font name
// (colour, alignment and quality do not count). The storage owns its fonts;
// its mutex guards the list. Using the fonts takes the TextLock
// (resource_caches.h).
#pragma once

#include "base/mutex.h"
#include "base/ptrlist.h"
#include "gui/itext.h"

class PX_CachedFont;

class FontStorage {
 public:
  struct FontKey {
    int size, orientation, style;
    char name[FONT_LEN];
    PX_CachedFont* font;
  };

  FontStorage() = default;
  ~FontStorage();
  FontStorage(const FontStorage&) = delete;
  FontStorage& operator=(const FontStorage&) = delete;

  // The font of the first entry matching the style, or null.
  PX_CachedFont* Find(const IText* pTxt);
  // Appends an entry for the style's key; the storage takes the font.
  void Add(PX_CachedFont* pFont, const IText* pTxt);
  int Count();

 private:
  SkyPtrList<FontKey> mFonts;
  SkyMutex mMutex;
};
