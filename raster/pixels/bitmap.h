// Pixel words, mode words and the bitmaps every raster operation draws into.
#pragma once

#include <cstddef>

#include "gdi/gdi_types.h"

// One pixel: bytes in memory A, R, G, B (straight alpha); as a little-endian
// word A | R << 8 | G << 16 | B << 24.
typedef unsigned int PX_pixel;
typedef unsigned char PX_pixel_chan;

enum { PX_PIXEL_A = 0, PX_PIXEL_R = 1, PX_PIXEL_G = 2, PX_PIXEL_B = 3 };

inline PX_pixel PX_PackRGBA(unsigned r, unsigned g, unsigned b, unsigned a) {
  return (a & 255) | (r & 255) << 8 | (g & 255) << 16 | (b & 255) << 24;
}
inline unsigned PX_GETA(PX_pixel c) { return c & 255; }
inline unsigned PX_GETR(PX_pixel c) { return (c >> 8) & 255; }
inline unsigned PX_GETG(PX_pixel c) { return (c >> 16) & 255; }
inline unsigned PX_GETB(PX_pixel c) { return (c >> 24) & 255; }

// Mode word: low byte combine mode, bits 8-15 filter, bit 16 source alpha.
enum {
  PX_COMBINE_COPY = 0,
  PX_COMBINE_ADD = 1,
  PX_COMBINE_DODGE = 2,
  PX_COMBINE_MUL = 3,
  PX_COMBINE_OVERLAY = 4,
  PX_COMBINE_HSVADJUST = 5,
  PX_COMBINE_CHANCOPY = 0xF0,  // | (destination channel << 2) | source channel
  PX_BLIT_MODE_MASK = 0xff,
  PX_FILTER_BILINEAR = 0x100,
  PX_BLIT_FILTER_MASK = 0xff00,
  PX_USE_SOURCE_ALPHA = 0x10000,
};

// Abstract 32-bit bitmap. Rows are getRowSpan() pixels apart; a flipped bitmap
// stores image row 0 last in memory.
class PX_IBitmap {
 public:
  virtual ~PX_IBitmap() {}
  virtual PX_pixel* getBits() = 0;  // pixel (0,0) of the buffer, or null
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual int getRowSpan() = 0;  // in pixels
  virtual bool isFlipped() { return false; }
  // False when the size is unchanged; true otherwise (0 x 0 when out of memory).
  virtual bool resize(int w, int h) = 0;
  virtual HDC getDC() { return nullptr; }
  virtual int Extended(int id, void* data) {
    (void)id;
    (void)data;
    return 0;
  }
};

// Heap bitmap, 64-byte aligned rows padded to the line alignment; contents are
// not cleared; the buffer grows with 25 % headroom and never shrinks.
class PX_MemBitmap : public PX_IBitmap {
 public:
  explicit PX_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 0);
  ~PX_MemBitmap() override;
  PX_MemBitmap(const PX_MemBitmap&) = delete;
  PX_MemBitmap& operator=(const PX_MemBitmap&) = delete;

  PX_pixel* getBits() override;
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return (m_width + m_linealign) & ~m_linealign; }
  bool resize(int w, int h) override;

 private:
  unsigned char* m_fb = nullptr;
  int m_width = 0, m_height = 0;
  size_t m_allocsize = 0;
  int m_linealign = 0;
};

// Bitmap living in a GDI memory context so that it can be shown on screen;
// rows padded to 4 pixels; starts zero-filled; never shrinks its allocation.
class PX_SysBitmap : public PX_IBitmap {
 public:
  explicit PX_SysBitmap(int w = 0, int h = 0);
  ~PX_SysBitmap() override;
  PX_SysBitmap(const PX_SysBitmap&) = delete;
  PX_SysBitmap& operator=(const PX_SysBitmap&) = delete;

  PX_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

 private:
  int m_width = 0, m_height = 0;
  PX_pixel* m_bits = nullptr;
  HDC m_dc = nullptr;
  int m_allocw = 0, m_alloch = 0;
};
