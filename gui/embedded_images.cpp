#include "gui/embedded_images.h"

#include <strings.h>

#include <climits>
#include <cstring>

#include "raster/png/png_loader.h"

namespace {

// Sets register while the module's static objects are made, before any lookup.
EmbeddedImageSet* s_firstSet = nullptr;

// Length of the name's last path component without its extension, or -1
// when the extension is not "png".
int StemOf(const char* name, const char** pStem) {
  const char* dot = strrchr(name, '.');
  if (strcasecmp(dot ? dot + 1 : name, "png") != 0) return -1;
  const char* slash = strrchr(name, '/');
  const char* stem = slash && slash < dot ? slash + 1 : name;
  *pStem = stem;
  return static_cast<int>(dot - stem);
}

}  // namespace

EmbeddedImageSet::EmbeddedImageSet(const EmbeddedImage* images, int count)
    : mImages(images), mCount(count), mNext(s_firstSet) {
  s_firstSet = this;
}

EmbeddedImageSet::~EmbeddedImageSet() {
  for (EmbeddedImageSet** pp = &s_firstSet; *pp; pp = &(*pp)->mNext) {
    if (*pp == this) {
      *pp = mNext;
      break;
    }
  }
}

const EmbeddedImage* FindEmbeddedImage(const char* name) {
  if (!name) return nullptr;
  const char* stem = nullptr;
  const int len = StemOf(name, &stem);
  if (len <= 0) return nullptr;
  for (const EmbeddedImageSet* pSet = s_firstSet; pSet; pSet = pSet->mNext) {
    for (int i = 0; i < pSet->mCount; ++i) {
      const EmbeddedImage& image = pSet->mImages[i];
      const char* imageStem = nullptr;
      if (StemOf(image.name, &imageStem) == len && !strncasecmp(imageStem, stem, len)) {
        return &image;
      }
    }
  }
  return nullptr;
}

PX_IBitmap* LoadEmbeddedBitmap(const char* name) {
  const EmbeddedImage* pImage = FindEmbeddedImage(name);
  if (!pImage || pImage->end - pImage->data > INT_MAX) return nullptr;
  return PX_LoadPNGFromMemory(pImage->data, static_cast<int>(pImage->end - pImage->data));
}
