// Heap bitmap with 64-byte aligned, never shrinking storage.
#include <cstdint>
#include <cstdlib>

#include "raster/pixels/bitmap.h"

namespace {

// Largest buffer a bitmap may own, so byte counts stay inside an int.
constexpr int64_t kMaxBytes = INT32_MAX - 64;

}  // namespace

PX_MemBitmap::PX_MemBitmap(int w, int h, unsigned int linealign) {
  if (linealign > 1) {
    const unsigned lowest = linealign & (~linealign + 1);
    // Alignments above 16 pixels (64 bytes, a cache line) are held at 16.
    m_linealign = lowest > 16 ? 15 : (int)lowest - 1;
  }
  if (w > 0 && h > 0) resize(w, h);
}

PX_MemBitmap::~PX_MemBitmap() { free(m_fb); }

PX_pixel* PX_MemBitmap::getBits() {
  if (!m_fb) return nullptr;
  const uintptr_t p = ((uintptr_t)m_fb + 63) & ~(uintptr_t)63;
  return (PX_pixel*)p;
}

bool PX_MemBitmap::resize(int w, int h) {
  if (w == m_width && h == m_height) return false;
  m_width = w;
  m_height = h;
  const int64_t span = ((int64_t)w + m_linealign) & ~(int64_t)m_linealign;
  const bool fits = w > 0 && h > 0 && span <= kMaxBytes / 4 && h <= kMaxBytes / (span * 4);
  const int64_t need = fits ? (int64_t)h * span * 4 : 0;
  if (need <= 0) {
    free(m_fb);
    m_fb = nullptr;
    m_allocsize = 0;
  } else if (!m_fb) {
    m_fb = (unsigned char*)malloc((size_t)need + 63);
    m_allocsize = m_fb ? (size_t)need : 0;
  } else if (m_allocsize < (size_t)need) {
    const size_t grown = (size_t)need + (size_t)need / 4;
    void* p = realloc(m_fb, grown + 63);
    if (p) {
      m_fb = (unsigned char*)p;
      m_allocsize = grown;
    } else {
      free(m_fb);
      m_fb = (unsigned char*)malloc((size_t)need + 63);
      m_allocsize = m_fb ? (size_t)need : 0;
    }
  }
  if (!m_fb) m_width = m_height = 0;
  return true;
}
