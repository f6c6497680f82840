// Text drawing into bitmaps: fonts rasterised once per character through the
// GDI layer and blended from an 8-bit coverage cache, and the free functions
// that draw caller-supplied coverage maps.
#pragma once

#include "base/heapbuf.h"
#include "raster/pixels/bitmap.h"

// Font flags (SetFromHFont).
enum {
  PX_FONT_FLAG_VERTICAL = 0x1,           // glyphs rotated, layout runs down the page
  PX_FONT_FLAG_VERTICAL_BOTTOMUP = 0x2,  // with VERTICAL: text runs up
  PX_FONT_FLAG_PRECALCALL = 0x4,         // codes 0..127 only, rendered at once
  PX_FONT_FLAG_FX_BLUR = 0x10,
  PX_FONT_FLAG_FX_INVERT = 0x20,
  PX_FONT_FLAG_FX_MONO = 0x40,        // coverage > 130 -> 255, else 0
  PX_FONT_FLAG_FX_SHADOW = 0x80,      // effect colour below and right of the glyph
  PX_FONT_FLAG_FX_OUTLINE = 0x100,    // effect colour around the glyph
  PX_FONT_FLAG_OWNS_HFONT = 0x200,    // the font deletes its GDI font
  PX_FONT_FLAG_FORCE_NATIVE = 0x400,  // may hand text to the GDI layer
};

// DrawText flags beyond the GDI layer's DT_ values.
enum : unsigned {
  PX_DT_USEFGALPHA = 0x40000000u,  // opacity scaled by the text colour's alpha
  PX_DT_NEEDALPHA = 0x80000000u,   // never render natively
};

class PX_IFont {
 public:
  virtual ~PX_IFont() {}
  // Takes a GDI font (null: none) and the font flags; drops every cached glyph.
  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  virtual PX_pixel SetTextColor(PX_pixel colour) = 0;  // each setter returns the old value
  virtual PX_pixel SetBkColor(PX_pixel colour) = 0;
  virtual PX_pixel SetEffectColor(PX_pixel colour) = 0;
  virtual int SetBkMode(int mode) = 0;  // 1: fill each glyph cell with the background
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // Draws UTF-8 text (length < 0: up to the NUL) in rect, or with DT_CALCRECT
  // sets rect's right and bottom; returns the text height.
  virtual int DrawText(PX_IBitmap* bm, const char* text, int length, RECT* rect,
                       unsigned flags) = 0;
  virtual PX_pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};

class PX_CachedFont : public PX_IFont {
 public:
  PX_CachedFont();
  ~PX_CachedFont() override;
  PX_CachedFont(const PX_CachedFont&) = delete;
  PX_CachedFont& operator=(const PX_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags = 0) override;
  PX_pixel SetTextColor(PX_pixel colour) override;
  PX_pixel SetBkColor(PX_pixel colour) override;
  PX_pixel SetEffectColor(PX_pixel colour) override;
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha = 1.0f) override;
  int DrawText(PX_IBitmap* bm, const char* text, int length, RECT* rect, unsigned flags) override;
  PX_pixel GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }
  // Draws one already cached glyph at (x, y) inside clip; false when it is not
  // cached or lies outside clip.
  virtual bool DrawGlyph(PX_IBitmap* bm, unsigned short c, int x, int y, RECT* clip);

  // Extra pixels between lines of multi-line text.
  void SetLineSpacingAdjust(int amount) { m_lsadj = amount; }

  struct charEnt {
    int base_offset;  // 1-based position in the coverage cache; 0 not rendered, < 0 unrenderable
    int width, height;
    int advance;
    int charid;
  };

 private:
  charEnt* findChar(unsigned short c);
  charEnt* findOrAddChar(unsigned short c);
  bool RenderGlyph(unsigned short c);
  bool storeCoverage(charEnt* ent, int w, int h);
  charEnt* glyphFor(unsigned short c);
  RECT layoutText(PX_IBitmap* bm, const char* text, int length, int x0, int y0, const RECT* clip,
                  unsigned flags);
  struct Pen;
  Pen makePen(PX_IBitmap* bm, const RECT& clip) const;
  bool drawCached(const Pen& pen, const charEnt* e, int x, int y);
  bool useNative(unsigned flags) const;
  int drawNative(PX_IBitmap* bm, const char* text, int length, RECT* rect, unsigned flags);

  PX_pixel m_fg = 0, m_bg = 0xFFFFFFFF, m_effectcol = 0xFFFFFFFF;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  int m_lsadj = 0;
  charEnt m_lowchars[128];
  SkyTypedBuf<charEnt> m_extracharlist{4096};
  SkyTypedBuf<unsigned char> m_cachestore{65536};
  HFONT m_font = nullptr;
};

// Blends colour through a coverage map (span bytes per row) at weight
// (int)(256 x alpha) x coverage / 256 with the solid class of mode.
void PX_DrawGlyphEx(PX_IBitmap* bm, int x, int y, PX_pixel colour, const unsigned char* coverage,
                    int width, int span, int height, float alpha, int mode);
void PX_DrawGlyph(PX_IBitmap* bm, int x, int y, PX_pixel colour, const unsigned char* coverage,
                  int width, int height, float alpha, int mode);
