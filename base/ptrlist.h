// SkyPtrList: a list of pointers to T. It owns the pointer array, not the items,
// unless a deleting operation is asked to delete them.
#pragma once

#include <cstring>

#include "base/heapbuf.h"

template <class T>
class SkyPtrList {
 public:
  using Deleter = void (*)(void*);

  explicit SkyPtrList(int granularity = 4096) : m_hb(granularity) {}

  T** GetList() const { return static_cast<T**>(m_hb.Get()); }
  int GetSize() const { return m_hb.GetSize() / static_cast<int>(sizeof(T*)); }

  T* Get(int index) const {
    T** list = GetList();
    return list && index >= 0 && index < GetSize() ? list[index] : nullptr;
  }

  T* Set(int index, T* item) {
    if (index < 0 || index >= GetSize()) return nullptr;
    GetList()[index] = item;
    return item;
  }

  // Index of item, or -1.
  int Find(const T* item) const {
    T** list = GetList();
    for (int i = 0, n = GetSize(); i < n; ++i) {
      if (list[i] == item) return i;
    }
    return -1;
  }

  T* Add(T* item) {
    const int count = GetSize();
    if (!Grow(count)) return nullptr;
    return Set(count, item);
  }

  // Inserts at index clamped to 0 ... count; the list is unchanged if growth fails.
  T* Insert(int index, T* item) {
    const int count = GetSize();
    if (!Grow(count)) return nullptr;
    if (index < 0) index = 0;
    if (index > count) index = count;
    T** list = GetList();
    std::memmove(list + index + 1, list + index, static_cast<size_t>(count - index) * sizeof(T*));
    list[index] = item;
    return item;
  }

  void Delete(int index, bool wantDelete = false, Deleter deleter = nullptr) {
    const int count = GetSize();
    if (index < 0 || index >= count) return;
    T** list = GetList();
    if (wantDelete) Dispose(list[index], deleter);
    std::memmove(list + index, list + index + 1,
                 static_cast<size_t>(count - index - 1) * sizeof(T*));
    m_hb.Resize((count - 1) * static_cast<int>(sizeof(T*)), false);
  }

  // Disposes items last to first; the list is shortened before each disposal,
  // so a deleter only sees the entries before the one it disposes.
  void Empty(bool wantDelete = false, Deleter deleter = nullptr) {
    if (wantDelete) {
      for (int i = GetSize() - 1; i >= 0; --i) {
        T* item = GetList()[i];
        m_hb.Resize(i * static_cast<int>(sizeof(T*)), false);
        Dispose(item, deleter);
      }
    }
    m_hb.Resize(0, false);
  }

 private:
  bool Grow(int count) {
    if (count >= 0x7fffffff / static_cast<int>(sizeof(T*))) return false;
    const int bytes = (count + 1) * static_cast<int>(sizeof(T*));
    m_hb.Resize(bytes, false);
    return m_hb.GetSize() == bytes;
  }

  static void Dispose(T* item, Deleter deleter) {
    if (!item) return;
    if (deleter) {
      deleter(item);
    } else {
      delete item;
    }
  }

  SkyHeapBuf m_hb;
};
