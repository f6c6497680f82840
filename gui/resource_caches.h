// The process-wide bitmap and font caches. They are made on first use and
// torn down when the module is unloaded (or the process ends); from then on
// they are never touched again, even by editors or threads that outlive them.
//
// Hold a ResourceUse while using anything from them: teardown waits until no
// use is in progress, and a ResourceUse taken afterwards is refused.
#pragma once

#include "gui/bitmap_storage.h"
#include "gui/font_storage.h"

class ResourceUse {
 public:
  ResourceUse();
  ~ResourceUse();
  ResourceUse(const ResourceUse&) = delete;
  ResourceUse& operator=(const ResourceUse&) = delete;

  // False once the caches are gone: draw and load nothing.
  explicit operator bool() const { return mBitmaps != nullptr; }
  BitmapStorage* Bitmaps() const { return mBitmaps; }
  FontStorage* Fonts() const { return mFonts; }

 private:
  BitmapStorage* mBitmaps = nullptr;
  FontStorage* mFonts = nullptr;
};
