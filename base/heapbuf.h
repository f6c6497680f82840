// Growable heap blocks: SkyHeapBuf (raw bytes) and SkyTypedBuf (an array of T).
// All growth in the framework goes through one allocation rule (see Resize).
#pragma once

#include <cstring>
#include <type_traits>

class SkyHeapBuf {
 public:
  explicit SkyHeapBuf(int granularity = 4096);
  ~SkyHeapBuf();
  SkyHeapBuf(const SkyHeapBuf&) = delete;
  SkyHeapBuf& operator=(const SkyHeapBuf&) = delete;

  // Sets the logical size (negative counts as 0). Grows geometrically; with
  // allowShrink, reallocates smaller only when the size falls well below the
  // allocation. On allocation failure the old block and size stay.
  // Returns the block, or null when the logical size is 0.
  void* Resize(int newSize, bool allowShrink = true);
  // Like Resize, but returns the block only if the size now equals newSize.
  void* ResizeOK(int newSize, bool allowShrink = true);

  void* Get() const { return m_size ? m_buf : nullptr; }
  int GetSize() const { return m_size; }
  int GetAllocated() const { return m_alloc; }
  int GetGranularity() const { return m_granularity; }

 private:
  int NewAllocation(int newSize) const;

  void* m_buf = nullptr;
  int m_alloc = 0;
  int m_size = 0;
  int m_granularity;
};

// An array of trivially copyable T over a SkyHeapBuf; sizes count elements.
template <class T>
class SkyTypedBuf {
  static_assert(std::is_trivially_copyable<T>::value, "elements are moved with memmove");

 public:
  explicit SkyTypedBuf(int granularity = 4096) : m_hb(granularity) {}

  T* Get() const { return static_cast<T*>(m_hb.Get()); }
  int GetSize() const { return m_hb.GetSize() / static_cast<int>(sizeof(T)); }

  T* Resize(int count, bool allowShrink = true) {
    if (count > MaxCount()) return Get();
    return static_cast<T*>(m_hb.Resize(count * static_cast<int>(sizeof(T)), allowShrink));
  }
  T* ResizeOK(int count, bool allowShrink = true) {
    if (count > MaxCount()) return nullptr;
    return static_cast<T*>(m_hb.ResizeOK(count * static_cast<int>(sizeof(T)), allowShrink));
  }

  T* Add(const T& item) { return Insert(item, GetSize()); }

  // Stores item at index (0 ... count), moving later elements up. Returns the
  // stored element, or null when the index is out of range or growth failed.
  T* Insert(T item, int index) {
    const int count = GetSize();
    if (index < 0 || index > count || count >= MaxCount()) return nullptr;
    Resize(count + 1, true);
    if (GetSize() != count + 1) return nullptr;
    T* p = Get();
    std::memmove(p + index + 1, p + index, static_cast<size_t>(count - index) * sizeof(T));
    p[index] = item;
    return p + index;
  }

 private:
  static constexpr int MaxCount() { return 0x7fffffff / static_cast<int>(sizeof(T)); }

  SkyHeapBuf m_hb;
};
