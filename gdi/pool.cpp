// Handle pools. Freed records are cleared and quarantined in a free list rather
// than returned to the allocator, so any later use of a freed handle is caught
// by the validity assertions; a record is reused only once 8192 newer ones wait.
#include <pthread.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/heapbuf.h"
#include "base/ptrlist.h"
#include "gdi/gdi_p.h"

namespace {

const int kQuarantine = 8192;

// A statically initialised mutex: nothing to create or destroy, so it works
// in any order of module unload and process exit.
pthread_mutex_t s_poolMutex = PTHREAD_MUTEX_INITIALIZER;

class PoolLock {
 public:
  PoolLock() { pthread_mutex_lock(&s_poolMutex); }
  ~PoolLock() { pthread_mutex_unlock(&s_poolMutex); }
  PoolLock(const PoolLock&) = delete;
  PoolLock& operator=(const PoolLock&) = delete;
};

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

template <class T>
void FreeRecords(SkyPtrList<T>*& list) {
  if (!list) return;
  for (int i = 0, n = list->GetSize(); i < n; ++i) free(list->Get(i));
  delete list;
  list = nullptr;
}

// Gives the pools back when the module is unloaded (a host that scans
// plug-ins loads and unloads many times) or the process ends. A record freed
// later still finds a working lock and starts a new list.
struct PoolRelease {
  ~PoolRelease() {
    PoolLock lock;
    FreeRecords(m_ctxpool_debug);
    FreeRecords(m_objpool_debug);
    while (SkyHeapBuf* buf = m_tmpbuf_pool) {
      memcpy(&m_tmpbuf_pool, buf->Get(), sizeof(SkyHeapBuf*));
      delete buf;
    }
  }
} s_poolRelease;

}  // namespace

HDC__* GDI_GDP_CTX_NEW() {
  PoolLock lock;
  return TakeRecord(m_ctxpool_debug);
}

void GDI_GDP_CTX_DELETE(HDC__* ct) {
  if (!ct) return;
  PoolLock lock;
  assert(!ct->_infreelist);
  QuarantineRecord(m_ctxpool_debug, ct);
}

HGDIOBJ__* GDP_OBJECT_NEW() {
  PoolLock lock;
  return TakeRecord(m_objpool_debug);
}

void GDP_OBJECT_DELETE(HGDIOBJ__* p) {
  if (!p) return;
  PoolLock lock;
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
  PoolLock lock;
  return m_ctxpool_debug ? m_ctxpool_debug->GetSize() : 0;
}

int GDI_GDP_FreeObjCount() {
  PoolLock lock;
  return m_objpool_debug ? m_objpool_debug->GetSize() : 0;
}

SkyHeapBuf* GDI_GDP_GetTmpBuf() {
  {
    PoolLock lock;
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
  PoolLock lock;
  memcpy(p, &m_tmpbuf_pool, sizeof(SkyHeapBuf*));
  m_tmpbuf_pool = buf;
}
