// Test bitmaps: exact-size storage (so AddressSanitizer sees any overrun), row
// padding filled with a sentinel, optional flipped rows; and plain images in
// image-row order for the reference code.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "raster/pixels/bitmap.h"

constexpr PX_pixel kSentinel = 0xA5C3E1F7u;

class TestBitmap : public PX_IBitmap {
 public:
  TestBitmap(int w, int h, int pad = 0, bool flipped = false)
      : m_w(w),
        m_h(h),
        m_span(w + pad),
        m_flipped(flipped),
        m_px(new PX_pixel[(size_t)(m_span > 0 ? m_span : 1) * (h > 0 ? h : 1)]) {
    for (size_t i = 0; i < size(); ++i) m_px[i] = kSentinel;
  }
  ~TestBitmap() override { delete[] m_px; }
  PX_pixel* getBits() override { return m_px; }
  int getWidth() override { return m_w; }
  int getHeight() override { return m_h; }
  int getRowSpan() override { return m_span; }
  bool isFlipped() override { return m_flipped; }
  bool resize(int, int) override { return false; }

  // Pixel at image coordinates (honouring the flipped flag).
  PX_pixel& at(int x, int y) { return m_px[(size_t)(m_flipped ? m_h - 1 - y : y) * m_span + x]; }
  // True when no padding pixel changed.
  bool paddingIntact() const {
    for (int y = 0; y < m_h; ++y)
      for (int x = m_w; x < m_span; ++x)
        if (m_px[(size_t)y * m_span + x] != kSentinel) return false;
    return true;
  }

 private:
  size_t size() const { return (size_t)(m_span > 0 ? m_span : 1) * (m_h > 0 ? m_h : 1); }
  int m_w, m_h, m_span;
  bool m_flipped;
  PX_pixel* m_px;
};

// An image in row order (row 0 = top), independent of storage.
struct Img {
  int w = 0, h = 0;
  std::vector<uint32_t> px;
  uint32_t& at(int x, int y) { return px[(size_t)y * w + x]; }
  uint32_t get(int x, int y) const { return px[(size_t)y * w + x]; }
  bool inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

inline Img ImgOf(TestBitmap& b) {
  Img im;
  im.w = b.getWidth();
  im.h = b.getHeight();
  im.px.resize((size_t)im.w * im.h);
  for (int y = 0; y < im.h; ++y)
    for (int x = 0; x < im.w; ++x) im.at(x, y) = b.at(x, y);
  return im;
}

// Pixels with many alpha 0 and 255 values so the source-alpha branches all run.
inline uint32_t RandomPixel(std::mt19937& rng) {
  uint32_t p = rng();
  switch (rng() % 6) {
    case 0: return p & 0xFFFFFF00u;
    case 1: return p | 0xFFu;
    default: return p;
  }
}

inline void FillRandom(TestBitmap& b, std::mt19937& rng) {
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x) b.at(x, y) = RandomPixel(rng);
}

// Describes the first pixel where two images differ, for failure messages.
inline std::string FirstDiff(const Img& a, const Img& b) {
  for (size_t i = 0; i < a.px.size() && i < b.px.size(); ++i)
    if (a.px[i] != b.px[i])
      return "first difference at (" + std::to_string(i % a.w) + "," + std::to_string(i / a.w) +
             "): " + std::to_string(a.px[i]) + " vs " + std::to_string(b.px[i]);
  return "sizes differ";
}
