// Images built into the module at build time (cmake/EmbedImages.cmake makes
// one object file per PNG and a table that registers them here). Nothing is
// read from files at run time.
#pragma once

#include "raster/pixels/bitmap.h"

struct EmbeddedImage {
  const char* name;  // the file name, for example "fxloop2.png"
  const unsigned char* data;
  const unsigned char* end;
};

// One generated table of images; registered while it exists.
class EmbeddedImageSet {
 public:
  EmbeddedImageSet(const EmbeddedImage* images, int count);
  ~EmbeddedImageSet();
  EmbeddedImageSet(const EmbeddedImageSet&) = delete;
  EmbeddedImageSet& operator=(const EmbeddedImageSet&) = delete;

 private:
  friend const EmbeddedImage* FindEmbeddedImage(const char* name);

  const EmbeddedImage* mImages;
  int mCount;
  EmbeddedImageSet* mNext;
};

// The image for a name such as "resources/img/fxloop2.png": found by its
// last path component, ignoring case; names whose extension is not "png"
// (in any case) find nothing.
const EmbeddedImage* FindEmbeddedImage(const char* name);
// The decoded image, or null when it is missing or cannot be decoded.
PX_IBitmap* LoadEmbeddedBitmap(const char* name);
