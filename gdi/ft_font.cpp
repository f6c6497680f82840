// FreeType faces. The library handle is the module's own (never the host's),
// shared and guarded for face creation and destruction; each face is used under
// its own lock, so fonts can be measured and drawn from several threads. The
// handle goes when the module unloads, or later, when its last face goes.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/mutex.h"
#include "gdi/font_p.h"
#include "gdi/font_resolve_p.h"

struct GdiFont {
  FT_Face face = nullptr;
  SkyMutex lock;
  GdiFontMetrics metrics = {0, 0, 0};
  char display[256] = {0};
  float advance[128];  // cached advances of ASCII, negative when not measured yet
};

namespace {

const FT_Int32 kLoadFlags = FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

SkyMutex& FtLibMutex() {
  static SkyMutex m;
  return m;
}

FT_Library s_lib = nullptr;
bool s_libTried = false;
int s_openFaces = 0;
bool s_unloading = false;
GdiFont* s_defaultFont = nullptr;

// The shared library handle; call with FtLibMutex held.
FT_Library FtLib() {
  if (!s_libTried && !s_unloading) {
    s_libTried = true;
    if (FT_Init_FreeType(&s_lib)) s_lib = nullptr;
  }
  return s_lib;
}

// Frees the library once the module is unloading and no face is left; call
// with FtLibMutex held.
void DoneWithLibIfUnused() {
  if (!s_unloading || s_openFaces > 0 || !s_lib) return;
  FT_Done_FreeType(s_lib);
  s_lib = nullptr;
}

void CloseFace(GdiFont* f) {
  {
    SkyMutexLock lock(&FtLibMutex());
    FT_Done_Face(f->face);
    --s_openFaces;
    DoneWithLibIfUnused();
  }
  delete f;
}

// At unload the label font goes, and the library with it unless a font that
// something still holds keeps it until that font is released.
struct FtRelease {
  // The lock is made first, so that it outlives this object.
  FtRelease() { FtLibMutex(); }
  ~FtRelease() {
    if (s_defaultFont) CloseFace(s_defaultFont);
    s_defaultFont = nullptr;
    SkyMutexLock lock(&FtLibMutex());
    s_unloading = true;
    DoneWithLibIfUnused();
  }
} s_ftRelease;

void ComputeMetrics(GdiFont* f, double size) {
  const FT_Face face = f->face;
  const double scale = size / face->units_per_EM;
  f->metrics.ascent = face->ascender * scale;
  f->metrics.descent = -face->descender * scale;
  const int gap = face->height - face->ascender + face->descender;
  f->metrics.leading = gap > 0 ? gap * scale : 0.0;
}

GdiFont* OpenFace(const GdiFontFile& file, double size) {
  GdiFont* f = new (std::nothrow) GdiFont;
  if (!f) return nullptr;
  for (float& a : f->advance) a = -1.0f;
  snprintf(f->display, sizeof(f->display), "%s", file.display);
  SkyMutexLock lock(&FtLibMutex());
  FT_Library lib = FtLib();
  if (!lib || FT_New_Face(lib, file.path, file.index, &f->face)) {
    delete f;
    return nullptr;
  }
  const FT_F26Dot6 size26 = static_cast<FT_F26Dot6>(std::lround(size * 64.0));
  ++s_openFaces;
  if (!FT_IS_SCALABLE(f->face) || f->face->units_per_EM == 0 ||
      FT_Set_Char_Size(f->face, 0, size26, 72, 72)) {
    FT_Done_Face(f->face);
    --s_openFaces;
    delete f;
    return nullptr;
  }
  ComputeMetrics(f, size);
  return f;
}

// Advance of one code point; call with the font's lock held.
double Advance(GdiFont* f, uint32_t cp) {
  if (cp < 128 && f->advance[cp] >= 0.0f) return f->advance[cp];
  double adv = 0.0;
  if (!FT_Load_Glyph(f->face, FT_Get_Char_Index(f->face, cp), kLoadFlags))
    adv = f->face->glyph->linearHoriAdvance / 65536.0;
  if (cp < 128) f->advance[cp] = static_cast<float>(adv);
  return adv;
}

uint8_t CoverageAt(const FT_Bitmap& bm, const unsigned char* row, unsigned c) {
  if (bm.pixel_mode == FT_PIXEL_MODE_MONO) return (row[c >> 3] >> (7 - (c & 7))) & 1 ? 255 : 0;
  return row[c];
}

void BlendPixel(unsigned char* px, const GdiColor& col, int cov) {
  px[1] = static_cast<unsigned char>((px[1] * (255 - cov) + col.r * cov + 127) / 255);
  px[2] = static_cast<unsigned char>((px[2] * (255 - cov) + col.g * cov + 127) / 255);
  px[3] = static_cast<unsigned char>((px[3] * (255 - cov) + col.b * cov + 127) / 255);
}

// Blends a rendered glyph whose top-left pixel lands at (x0, y0).
void BlendBitmap(const FT_Bitmap& bm, int64_t x0, int64_t y0, const GdiGlyphTarget& t) {
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return;
  const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
  const GdiContext& c = *t.ctx;
  for (unsigned r = 0; r < bm.rows; ++r) {
    const int64_t y = y0 + r;
    if (y < t.clip.top || y >= t.clip.bottom) continue;
    const unsigned src = bm.pitch < 0 ? bm.rows - 1 - r : r;
    const unsigned char* row = bm.buffer + static_cast<size_t>(src) * pitch;
    unsigned char* line = c.bits + (static_cast<size_t>(y) * c.rowspan) * 4;
    for (unsigned col = 0; col < bm.width; ++col) {
      const int64_t x = x0 + col;
      if (x < t.clip.left || x >= t.clip.right) continue;
      const int cov = static_cast<int>(CoverageAt(bm, row, col) * t.color.a + 0.5f);
      if (cov) BlendPixel(line + static_cast<size_t>(x) * 4, t.color, cov);
    }
  }
}

// Renders the loaded glyph with its origin at (x, baseline) if it meets the clip.
void DrawLoadedGlyph(FT_GlyphSlot slot, double x, double baseline, const GdiGlyphTarget& t) {
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return;
  const double fx = std::floor(x), fy = std::floor(baseline);
  FT_Outline_Translate(&slot->outline, static_cast<FT_Pos>(std::lround((x - fx) * 64.0)),
                       -static_cast<FT_Pos>(std::lround((baseline - fy) * 64.0)));
  FT_BBox box;
  FT_Outline_Get_CBox(&slot->outline, &box);
  const int64_t ix = static_cast<int64_t>(fx), iy = static_cast<int64_t>(fy);
  if (ix + (box.xMax + 63) / 64 < t.clip.left || ix + box.xMin / 64 - 1 >= t.clip.right ||
      iy - (box.yMax + 63) / 64 - 1 >= t.clip.bottom || iy - box.yMin / 64 + 1 < t.clip.top)
    return;
  if (FT_Render_Glyph(slot, t.antialias ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO)) return;
  BlendBitmap(slot->bitmap, ix + slot->bitmap_left, iy - slot->bitmap_top, t);
}

}  // namespace

GdiFont* GdiFontCreate(const char* name, double size) {
  GdiFontFile file;
  GdiFont* f = nullptr;
  if (GdiResolveFontName(name, &file)) f = OpenFace(file, size);
  if (!f && GdiResolveFontName("", &file)) f = OpenFace(file, size);
  return f;
}

void GdiFontRelease(GdiFont* f) {
  if (f && f != s_defaultFont) CloseFace(f);
}

GdiFont* GdiDefaultFont() {
  static GdiFont* const label = s_defaultFont = GdiFontCreate("", 10.0);
  return label;
}

const GdiFontMetrics& GdiFontGetMetrics(const GdiFont* f) { return f->metrics; }

const char* GdiFontDisplayName(const GdiFont* f) { return f->display; }

double GdiFontMeasure(GdiFont* f, const uint32_t* cps, int n) {
  SkyMutexLock lock(&f->lock);
  double w = 0.0;
  for (int i = 0; i < n; ++i) w += Advance(f, cps[i]);
  return w;
}

void GdiFontDraw(GdiFont* f, const uint32_t* cps, int n, double x, double baseline,
                 const GdiGlyphTarget& t) {
  if (t.clip.left >= t.clip.right || t.clip.top >= t.clip.bottom) return;
  SkyMutexLock lock(&f->lock);
  for (int i = 0; i < n; ++i) {
    if (FT_Load_Glyph(f->face, FT_Get_Char_Index(f->face, cps[i]), kLoadFlags)) continue;
    FT_GlyphSlot slot = f->face->glyph;
    const double adv = slot->linearHoriAdvance / 65536.0;
    DrawLoadedGlyph(slot, x, baseline, t);
    x += adv;
  }
}
