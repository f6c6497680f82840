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
#include "gdi/swell_p.h"

namespace {

const int kQuarantine = 8192;

// Created on first use and never destroyed: quarantined records stay reachable.
WDL_Mutex* m_ctxpool_mutex() {
  static WDL_Mutex* m = new WDL_Mutex;
  return m;
}
WDL_PtrList<HDC__>* m_ctxpool_debug;
WDL_PtrList<HGDIOBJ__>* m_objpool_debug;
WDL_HeapBuf* m_tmpbuf_pool;  // chain linked through the first bytes of each block

template <class T>
T* TakeRecord(WDL_PtrList<T>* list) {
  if (list && list->GetSize() > kQuarantine) {
    T* rec = list->Get(0);
    list->Delete(0);
    rec->_infreelist = 0;
    return rec;
  }
  return static_cast<T*>(calloc(1, sizeof(T)));
}

template <class T>
void QuarantineRecord(WDL_PtrList<T>*& list, T* rec) {
  memset(rec, 0, offsetof(T, _infreelist));
  rec->_infreelist = 1;
  if (!list) list = new (std::nothrow) WDL_PtrList<T>(4096);
  if (!list || !list->Add(rec)) free(rec);  // cannot quarantine: give it back
}

}  // namespace

HDC__* SWELL_GDP_CTX_NEW() {
  WDL_MutexLock lock(m_ctxpool_mutex());
  return TakeRecord(m_ctxpool_debug);
}

void SWELL_GDP_CTX_DELETE(HDC__* ct) {
  if (!ct) return;
  WDL_MutexLock lock(m_ctxpool_mutex());
  assert(!ct->_infreelist);
  QuarantineRecord(m_ctxpool_debug, ct);
}

HGDIOBJ__* GDP_OBJECT_NEW() {
  WDL_MutexLock lock(m_ctxpool_mutex());
  return TakeRecord(m_objpool_debug);
}

void GDP_OBJECT_DELETE(HGDIOBJ__* p) {
  if (!p) return;
  WDL_MutexLock lock(m_ctxpool_mutex());
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

int SWELL_GDP_FreeCtxCount() {
  WDL_MutexLock lock(m_ctxpool_mutex());
  return m_ctxpool_debug ? m_ctxpool_debug->GetSize() : 0;
}

int SWELL_GDP_FreeObjCount() {
  WDL_MutexLock lock(m_ctxpool_mutex());
  return m_objpool_debug ? m_objpool_debug->GetSize() : 0;
}

WDL_HeapBuf* SWELL_GDP_GetTmpBuf() {
  {
    WDL_MutexLock lock(m_ctxpool_mutex());
    WDL_HeapBuf* buf = m_tmpbuf_pool;
    if (buf) {
      memcpy(&m_tmpbuf_pool, buf->Get(), sizeof(WDL_HeapBuf*));
      return buf;
    }
  }
  return new (std::nothrow) WDL_HeapBuf(4096);
}

void SWELL_GDP_DisposeTmpBuf(WDL_HeapBuf* buf) {
  if (!buf) return;
  const int link = static_cast<int>(sizeof(WDL_HeapBuf*));
  void* p = buf->ResizeOK(link, true);
  if (!p) {
    delete buf;
    return;
  }
  WDL_MutexLock lock(m_ctxpool_mutex());
  memcpy(p, &m_tmpbuf_pool, sizeof(WDL_HeapBuf*));
  m_tmpbuf_pool = buf;
}
