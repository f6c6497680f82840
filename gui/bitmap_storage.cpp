#include "gui/bitmap_storage.h"

namespace {

void DeleteKey(void* p) {
  BitmapStorage::BitmapKey* pKey = static_cast<BitmapStorage::BitmapKey*>(p);
  delete pKey->bitmap;
  delete pKey;
}

}  // namespace

BitmapStorage::~BitmapStorage() {
  SkyMutexLock lock(&mMutex);
  mBitmaps.Empty(true, DeleteKey);
}

int BitmapStorage::IndexOf(PX_IBitmap* pBitmap) const {
  for (int i = 0; i < mBitmaps.GetSize(); ++i) {
    if (mBitmaps.Get(i)->bitmap == pBitmap) return i;
  }
  return -1;
}

PX_IBitmap* BitmapStorage::Find(int id) {
  SkyMutexLock lock(&mMutex);
  for (int i = 0; i < mBitmaps.GetSize(); ++i) {
    BitmapKey* pKey = mBitmaps.Get(i);
    if (pKey->id == id) return pKey->bitmap;
  }
  return nullptr;
}

PX_IBitmap* BitmapStorage::FindOrAdd(PX_IBitmap* pBitmap, int id) {
  SkyMutexLock lock(&mMutex);
  PX_IBitmap* pFound = Find(id);
  if (pFound) {
    if (pFound != pBitmap) delete pBitmap;
    return pFound;
  }
  if (!pBitmap) return nullptr;
  if (!mBitmaps.Add(new BitmapKey{id, pBitmap, 0})) {
    delete pBitmap;
    return nullptr;
  }
  return pBitmap;
}

void BitmapStorage::Retain(PX_IBitmap* pBitmap) {
  if (!pBitmap) return;
  SkyMutexLock lock(&mMutex);
  const int i = IndexOf(pBitmap);
  if (i >= 0) {
    ++mBitmaps.Get(i)->holders;
  } else {
    mBitmaps.Add(new BitmapKey{-1, pBitmap, 1});
  }
}

void BitmapStorage::Remove(PX_IBitmap* pBitmap) {
  SkyMutexLock lock(&mMutex);
  const int i = IndexOf(pBitmap);
  if (i < 0) return;
  BitmapKey* pKey = mBitmaps.Get(i);
  if (pKey->holders > 0) --pKey->holders;
  if (pKey->id < 0 && pKey->holders == 0) mBitmaps.Delete(i, true, DeleteKey);
}

int BitmapStorage::IdOf(PX_IBitmap* pBitmap) {
  SkyMutexLock lock(&mMutex);
  const int i = IndexOf(pBitmap);
  return i >= 0 ? mBitmaps.Get(i)->id : -1;
}

bool BitmapStorage::Contains(PX_IBitmap* pBitmap) {
  SkyMutexLock lock(&mMutex);
  return IndexOf(pBitmap) >= 0;
}

int BitmapStorage::Count() {
  SkyMutexLock lock(&mMutex);
  return mBitmaps.GetSize();
}
