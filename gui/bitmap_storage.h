// BitmapStorage: decoded images keyed by resource identifier, and bitmaps made
// at run time (identifier -1). The storage owns every bitmap in it. Every
// operation holds the storage's mutex.
#pragma once

#include "base/mutex.h"
#include "base/ptrlist.h"
#include "raster/pixels/bitmap.h"

class BitmapStorage {
 public:
  struct BitmapKey {
    int id;
    PX_IBitmap* bitmap;
    int holders;  // run-time bitmaps: retains not yet released
  };

  BitmapStorage() = default;
  ~BitmapStorage();
  BitmapStorage(const BitmapStorage&) = delete;
  BitmapStorage& operator=(const BitmapStorage&) = delete;

  // The bitmap of the first entry with id, or null.
  PX_IBitmap* Find(int id);
  // The bitmap cached under id (id >= 0); pBitmap is added when there is none,
  // and deleted when another one got there first.
  PX_IBitmap* FindOrAdd(PX_IBitmap* pBitmap, int id);
  // One more holder of pBitmap; a bitmap not yet stored is added under -1.
  void Retain(PX_IBitmap* pBitmap);
  // One holder less; a run-time bitmap is deleted with its last holder.
  // Images stored under an identifier stay; unknown bitmaps are ignored.
  void Remove(PX_IBitmap* pBitmap);
  bool Contains(PX_IBitmap* pBitmap);
  // The identifier pBitmap is stored under; -1 for run-time and unknown bitmaps.
  int IdOf(PX_IBitmap* pBitmap);
  int Count();

 private:
  int IndexOf(PX_IBitmap* pBitmap) const;

  SkyPtrList<BitmapKey> mBitmaps;
  SkyMutex mMutex;
};
