// Handle pools. Freed records are cleared and quarantined in a free list rather
// than returned to the allocator, so any later use of a freed handle is caught
// by the validity assertions; a record is reused only once 8192 newer ones wait.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/heapbuf.h"
#include "base/mutex.h"
#include "base/ptrlist.h"
#include "gdi/gdi_p.h"

namespace {

const int kQuarantine = 8192;

// Created on first use and never destroyed: quarantined records stay reachable.
SkyMutex* m_ctxpool_mutex() {
  static SkyMutex* m = new SkyMutex;
  return m;
}
SkyPtrList<HDC__>* m_ctxpool_debug;
SkyPtrList<HGDIOBJ__>* m_objpool_debug;
SkyHeapBuf* m_tmpbuf_pool;  // chain linked through the first bytes of each block

template <class T>
T* TakeRecord(SkyPtrList<T>* list) {
  if (list && list->GetSize() > kQuarantine) {
    T* rec = list->Get(0);
    list->Delete(0);
    rec->_infreelist = 0;
    return rec;
  }
  return static_cast<T*>(calloc(1, sizeof(T)));
}

template <class T>
void QuarantineRecord(SkyPtrList<T>*& list, T* rec) {
  memset(rec, 0, offsetof(T, _infreelist));
  rec->_infreelist = 1;
  if (!list) list = new (std::nothrow) SkyPtrList<T>(4096);
  if (!list || !list->Add(rec)) free(rec);  // cannot quarantine: give it back
}

}  // namespace

HDC__* GDI_GDP_CTX_NEW() {
  SkyMutexLock lock(m_ctxpool_mutex());
  return TakeRecord(m_ctxpool_debug);
}

void GDI_GDP_CTX_DELETE(HDC__* ct) {
  if (!ct) return;
  SkyMutexLock lock(m_ctxpool_mutex());
  assert(!ct->_infreelist);
  QuarantineRecord(m_ctxpool_debug, ct);
}

HGDIOBJ__* GDP_OBJECT_NEW() {
  SkyMutexLock lock(m_ctxpool_mutex());
  return TakeRecord(m_objpool_debug);
}

void GDP_OBJECT_DELETE(HGDIOBJ__* p) {
  if (!p) return;
  SkyMutexLock lock(m_ctxpool_mutex());
  assert(!p->_infreelist);
  QuarantineRecord(m_objpool_debug, p);
}

bool HDC_VALID(const HDC__* ct) {
  if (!ct) return false;
  assert(!ct->_infreelist);
  return true;
}

bool HGDIOBJ_VALID(const HGDIOBJ__* p, int reqType) {
  if (!p) return false;
  const uintptr_t v = reinterpret_cast<uintptr_t>(p);
  if (v >= TYPE_PEN && v <= TYPE_BITMAP) return false;
  assert(!p->_infreelist);
  if (reqType) assert(reqType == p->type);
  return true;
}

int GDI_GDP_FreeCtxCount() {
  SkyMutexLock lock(m_ctxpool_mutex());
  return m_ctxpool_debug ? m_ctxpool_debug->GetSize() : 0;
}

int GDI_GDP_FreeObjCount() {
  SkyMutexLock lock(m_ctxpool_mutex());
  return m_objpool_debug ? m_objpool_debug->GetSize() : 0;
}

SkyHeapBuf* GDI_GDP_GetTmpBuf() {
  {
    SkyMutexLock lock(m_ctxpool_mutex());
    SkyHeapBuf* buf = m_tmpbuf_pool;
    if (buf) {
      memcpy(&m_tmpbuf_pool, buf->Get(), sizeof(SkyHeapBuf*));
      return buf;
    }
  }
  return new (std::nothrow) SkyHeapBuf(4096);
}

void GDI_GDP_DisposeTmpBuf(SkyHeapBuf* buf) {
  if (!buf) return;
  const int link = static_cast<int>(sizeof(SkyHeapBuf*));
  void* p = buf->ResizeOK(link, true);
  if (!p) {
    delete buf;
    return;
  }
  SkyMutexLock lock(m_ctxpool_mutex());
  memcpy(p, &m_tmpbuf_pool, sizeof(SkyHeapBuf*));
  m_tmpbuf_pool = buf;
}
