// Pixel words, mode words and the bitmaps every raster operation draws into.
#pragma once

#include <cstddef>

#include "gdi/swell_types.h"

// One pixel: bytes in memory A, R, G, B (straight alpha); as a little-endian
// word A | R << 8 | G << 16 | B << 24.
typedef unsigned int LICE_pixel;
typedef unsigned char LICE_pixel_chan;

enum { LICE_PIXEL_A = 0, LICE_PIXEL_R = 1, LICE_PIXEL_G = 2, LICE_PIXEL_B = 3 };

inline LICE_pixel LICE_PackRGBA(unsigned r, unsigned g, unsigned b, unsigned a) {
  return (a & 255) | (r & 255) << 8 | (g & 255) << 16 | (b & 255) << 24;
}
inline unsigned LICE_GETA(LICE_pixel c) { return c & 255; }
inline unsigned LICE_GETR(LICE_pixel c) { return (c >> 8) & 255; }
inline unsigned LICE_GETG(LICE_pixel c) { return (c >> 16) & 255; }
inline unsigned LICE_GETB(LICE_pixel c) { return (c >> 24) & 255; }

// Mode word: low byte combine mode, bits 8-15 filter, bit 16 source alpha.
enum {
  LICE_COMBINE_COPY = 0,
  LICE_COMBINE_ADD = 1,
  LICE_COMBINE_DODGE = 2,
  LICE_COMBINE_MUL = 3,
  LICE_COMBINE_OVERLAY = 4,
  LICE_COMBINE_HSVADJUST = 5,
  LICE_COMBINE_CHANCOPY = 0xF0,  // | (destination channel << 2) | source channel
  LICE_BLIT_MODE_MASK = 0xff,
  LICE_FILTER_BILINEAR = 0x100,
  LICE_BLIT_FILTER_MASK = 0xff00,
  LICE_USE_SOURCE_ALPHA = 0x10000,
};

// Abstract 32-bit bitmap. Rows are getRowSpan() pixels apart; a flipped bitmap
// stores image row 0 last in memory.
class LICE_IBitmap {
 public:
  virtual ~LICE_IBitmap() {}
  virtual LICE_pixel* getBits() = 0;  // pixel (0,0) of the buffer, or null
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
class LICE_MemBitmap : public LICE_IBitmap {
 public:
  explicit LICE_MemBitmap(int w = 0, int h = 0, unsigned int linealign = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_pixel* getBits() override;
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
class LICE_SysBitmap : public LICE_IBitmap {
 public:
  explicit LICE_SysBitmap(int w = 0, int h = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_pixel* getBits() override { return m_bits; }
  int getWidth() override { return m_width; }
  int getHeight() override { return m_height; }
  int getRowSpan() override { return m_allocw; }
  bool resize(int w, int h) override;
  HDC getDC() override { return m_dc; }

 private:
  int m_width = 0, m_height = 0;
  LICE_pixel* m_bits = nullptr;
  HDC m_dc = nullptr;
  int m_allocw = 0, m_alloch = 0;
};
