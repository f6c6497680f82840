// Font objects: size, rotation, name and quality rules over platform fonts.
#include <climits>
#include <cstring>

#include "gdi/font_p.h"
#include "gdi/gdi_p.h"

namespace {

const size_t kMaxFaceName = 900;

int FontSize(int height, int width) {
  int size = height ? height : width;
  if (size < 0) size = size == INT_MIN ? 0 : -size;
  return size < 2 || size > 8192 ? 10 : size;
}

}  // namespace

HFONT CreateFont(int height, int width, int, int orientation, int weight, char italic, char, char,
                 char, char, char, char quality, char, const char* facename) {
  HGDIOBJ__* p = GDP_OBJECT_NEW();
  if (!p) return nullptr;
  p->type = TYPE_FONT;
  p->font_rotation = orientation / 10.0f;
  char name[kMaxFaceName + 16];
  size_t n = facename ? strnlen(facename, kMaxFaceName) : 0;
  memcpy(name, facename ? facename : "", n);
  name[n] = 0;
  if (weight > 699) strcat(name, " Bold");
  if (italic) strcat(name, " Italic");
  p->font = GdiFontCreate(name, FontSize(height, width));
  p->fontsmoothing =
      quality == NONANTIALIASED_QUALITY || quality == ANTIALIASED_QUALITY ? quality : 0;
  return p;
}

HFONT CreateFontIndirect(const LOGFONT* lf) {
  if (!lf) return nullptr;
  char face[sizeof(lf->lfFaceName) + 1];
  memcpy(face, lf->lfFaceName, sizeof(lf->lfFaceName));
  face[sizeof(lf->lfFaceName)] = 0;
  return CreateFont(lf->lfHeight, lf->lfWidth, lf->lfEscapement, lf->lfOrientation, lf->lfWeight,
                    lf->lfItalic, lf->lfUnderline, lf->lfStrikeOut, lf->lfCharSet,
                    lf->lfOutPrecision, lf->lfClipPrecision, lf->lfQuality, lf->lfPitchAndFamily,
                    face);
}
