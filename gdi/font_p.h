// Platform fonts: a FreeType face at one size, measured and drawn under its own lock.
#pragma once

#include <cstdint>

#include "gdi/gdi_p.h"

struct GdiFont;

struct GdiFontMetrics {
  double ascent, descent, leading;  // pixels, unrounded
};

// Where and how glyphs are drawn: coverage blends the colour into the clip.
struct GdiGlyphTarget {
  GdiContext* ctx;
  RECT clip;
  GdiColor color;
  bool antialias;
};

// Opens the font a face name resolves to at size pixels (the label font when the
// name finds nothing). Null when no font can be opened at all.
GdiFont* GdiFontCreate(const char* name, double size);
void GdiFontRelease(GdiFont* f);
// The label font at 10 pixels, created once; null when no font exists.
GdiFont* GdiDefaultFont();

const GdiFontMetrics& GdiFontGetMetrics(const GdiFont* f);
const char* GdiFontDisplayName(const GdiFont* f);
// Advance width of a run of code points.
double GdiFontMeasure(GdiFont* f, const uint32_t* cps, int n);
// Draws a run starting at pen position x on the given baseline.
void GdiFontDraw(GdiFont* f, const uint32_t* cps, int n, double x, double baseline,
                 const GdiGlyphTarget& t);
