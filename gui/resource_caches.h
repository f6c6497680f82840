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
  explicit operator bool() const { return mGranted; }
  // The caches, made on first use.
  BitmapStorage* Bitmaps() const;
  FontStorage* Fonts() const;
  // The font cache, or null while no font was stored yet. It is made after the
  // first font, so that it is torn down before the font machinery its fonts
  // return their resources to.
  FontStorage* FontsIfMade() const;

 private:
  bool mGranted = false;
};

// Held while making, drawing or measuring with cached fonts: the fonts are
// shared by every editor and keep mutable glyph caches and scratch bitmaps.
// The lock itself is never destroyed, so it works in any teardown order.
class TextLock {
 public:
  TextLock();
  ~TextLock();
  TextLock(const TextLock&) = delete;
  TextLock& operator=(const TextLock&) = delete;
};
