// Text drawing into bitmaps: fonts rasterised once per character through the
// GDI layer and blended from an 8-bit coverage cache, and the free functions
// that draw caller-supplied coverage maps.
#pragma once

#include "base/heapbuf.h"
#include "raster/lice_bitmap.h"

// Font flags (SetFromHFont).
enum {
  LICE_FONT_FLAG_VERTICAL = 0x1,           // glyphs rotated, layout runs down the page
  LICE_FONT_FLAG_VERTICAL_BOTTOMUP = 0x2,  // with VERTICAL: text runs up
  LICE_FONT_FLAG_PRECALCALL = 0x4,         // codes 0..127 only, rendered at once
  LICE_FONT_FLAG_FX_BLUR = 0x10,
  LICE_FONT_FLAG_FX_INVERT = 0x20,
  LICE_FONT_FLAG_FX_MONO = 0x40,      // coverage > 130 -> 255, else 0
  LICE_FONT_FLAG_FX_SHADOW = 0x80,    // effect colour below and right of the glyph
  LICE_FONT_FLAG_FX_OUTLINE = 0x100,  // effect colour around the glyph
  LICE_FONT_FLAG_OWNS_HFONT = 0x200,  // the font deletes its GDI font
  LICE_FONT_FLAG_FORCE_NATIVE = 0x400,  // may hand text to the GDI layer
};

// DrawText flags beyond the GDI layer's DT_ values.
enum : unsigned {
  LICE_DT_USEFGALPHA = 0x40000000u,  // opacity scaled by the text colour's alpha
  LICE_DT_NEEDALPHA = 0x80000000u,   // never render natively
};

class LICE_IFont {
 public:
  virtual ~LICE_IFont() {}
  // Takes a GDI font (null: none) and the font flags; drops every cached glyph.
  virtual void SetFromHFont(HFONT font, int flags = 0) = 0;
  virtual LICE_pixel SetTextColor(LICE_pixel colour) = 0;  // each setter returns the old value
  virtual LICE_pixel SetBkColor(LICE_pixel colour) = 0;
  virtual LICE_pixel SetEffectColor(LICE_pixel colour) = 0;
  virtual int SetBkMode(int mode) = 0;  // 1: fill each glyph cell with the background
  virtual void SetCombineMode(int mode, float alpha = 1.0f) = 0;
  // Draws UTF-8 text (length < 0: up to the NUL) in rect, or with DT_CALCRECT
  // sets rect's right and bottom; returns the text height.
  virtual int DrawText(LICE_IBitmap* bm, const char* text, int length, RECT* rect,
                       unsigned flags) = 0;
  virtual LICE_pixel GetTextColor() = 0;
  virtual HFONT GetHFont() = 0;
  virtual int GetLineHeight() = 0;
};

class LICE_CachedFont : public LICE_IFont {
 public:
  LICE_CachedFont();
  ~LICE_CachedFont() override;
  LICE_CachedFont(const LICE_CachedFont&) = delete;
  LICE_CachedFont& operator=(const LICE_CachedFont&) = delete;

  void SetFromHFont(HFONT font, int flags = 0) override;
  LICE_pixel SetTextColor(LICE_pixel colour) override;
  LICE_pixel SetBkColor(LICE_pixel colour) override;
  LICE_pixel SetEffectColor(LICE_pixel colour) override;
  int SetBkMode(int mode) override;
  void SetCombineMode(int mode, float alpha = 1.0f) override;
  int DrawText(LICE_IBitmap* bm, const char* text, int length, RECT* rect,
               unsigned flags) override;
  LICE_pixel GetTextColor() override { return m_fg; }
  HFONT GetHFont() override { return m_font; }
  int GetLineHeight() override { return m_line_height; }
  // Draws one already cached glyph at (x, y) inside clip; false when it is not
  // cached or lies outside clip.
  virtual bool DrawGlyph(LICE_IBitmap* bm, unsigned short c, int x, int y, RECT* clip);

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
  RECT layoutText(LICE_IBitmap* bm, const char* text, int length, int x0, int y0,
                  const RECT* clip, unsigned flags);
  bool useNative(unsigned flags) const;
  int drawNative(LICE_IBitmap* bm, const char* text, int length, RECT* rect, unsigned flags);

  LICE_pixel m_fg = 0, m_bg = 0xFFFFFFFF, m_effectcol = 0xFFFFFFFF;
  int m_bgmode = 0;
  int m_comb = 0;
  float m_alpha = 1.0f;
  int m_flags = 0;
  int m_line_height = 0;
  int m_lsadj = 0;
  charEnt m_lowchars[128];
  WDL_TypedBuf<charEnt> m_extracharlist{4096};
  WDL_TypedBuf<unsigned char> m_cachestore{65536};
  HFONT m_font = nullptr;
};

// Blends colour through a coverage map (span bytes per row) at weight
// (int)(256 x alpha) x coverage / 256 with the solid class of mode.
void LICE_DrawGlyphEx(LICE_IBitmap* bm, int x, int y, LICE_pixel colour,
                      const unsigned char* coverage, int width, int span, int height,
                      float alpha, int mode);
void LICE_DrawGlyph(LICE_IBitmap* bm, int x, int y, LICE_pixel colour,
                    const unsigned char* coverage, int width, int height, float alpha, int mode);
