#include "base/heapbuf.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

SkyHeapBuf::SkyHeapBuf(int granularity) : m_granularity(granularity > 0 ? granularity : 1) {}

SkyHeapBuf::~SkyHeapBuf() { free(m_buf); }

// The allocation for newSize: half as much again (at least the granularity);
// large granularities allocate whole 4096-byte pages less 96 bytes.
// Returns -1 when the count would not fit an int.
int SkyHeapBuf::NewAllocation(int newSize) const {
  if (newSize < 1) return 0;
  int64_t g = std::max(newSize / 2, m_granularity);
  int64_t count;
  if (m_granularity < 4096) {
    count = newSize + g;
  } else {
    g = std::clamp<int64_t>(g & ~int64_t{4095}, 4096, 4194304);
    count = ((newSize + g + 96) & ~int64_t{4095}) - 96;
  }
  return count > INT32_MAX ? -1 : static_cast<int>(count);
}

void* SkyHeapBuf::Resize(int newSize, bool allowShrink) {
  if (newSize < 0) newSize = 0;
  if (newSize == m_size) return Get();

  int threshold = 0;
  if (allowShrink && newSize < m_size) {
    threshold = std::max(1, std::min(m_alloc - 4 * m_granularity, m_alloc / 2));
  }
  if (newSize > m_alloc || newSize < threshold) {
    const int count = NewAllocation(newSize);
    if (count < 0) return Get();
    if (count != m_alloc) {
      if (count == 0) {
        free(m_buf);
        m_buf = nullptr;
        m_alloc = m_size = 0;
        return nullptr;
      }
      void* grown = realloc(m_buf, static_cast<size_t>(count));
      if (!grown) {
        grown = malloc(static_cast<size_t>(count));
        if (!grown) return Get();
        if (m_buf) std::memcpy(grown, m_buf, static_cast<size_t>(std::min(newSize, m_size)));
        free(m_buf);
      }
      m_buf = grown;
      m_alloc = count;
    }
  }
  m_size = newSize;
  return Get();
}

void* SkyHeapBuf::ResizeOK(int newSize, bool allowShrink) {
  void* p = Resize(newSize, allowShrink);
  return m_size == std::max(newSize, 0) ? p : nullptr;
}
