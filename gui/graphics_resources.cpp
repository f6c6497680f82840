// Graphics: loading and sharing bitmaps through the process-wide cache.
#include <cstdint>
#include <cstring>
#include <string>

#include "gui/embedded_images.h"
#include "gui/graphics.h"
#include "gui/resource_caches.h"
#include "raster/blit/blit.h"
#include "raster/png/png_loader.h"
#include "raster/raster.h"

namespace {

// Run-time bitmaps are held to the size limit of decoded images.
bool SizeAllowed(int64_t w, int64_t h) { return w > 0 && h > 0 && w * h <= PX_PNG_MAX_PIXELS; }

// "dir/name.png" becomes "dir/name@2x.png"; empty for names without an extension.
std::string HiResName(const char* name) {
  const char* dot = name ? strrchr(name, '.') : nullptr;
  const char* slash = name ? strrchr(name, '/') : nullptr;
  if (!dot || (slash && dot < slash)) return std::string();
  return std::string(name, dot) + "@2x" + dot;
}

IBitmap Handle(PX_IBitmap* pData, int nStates, bool framesAreHorizontal) {
  return IBitmap(pData, pData ? pData->getWidth() : 0, pData ? pData->getHeight() : 0, nStates,
                 framesAreHorizontal);
}

}  // namespace

IBitmap Graphics::LoadIBitmap(int ID, const char* name, int nStates, bool framesAreHorizontal) {
  ResourceUse use;
  if (!use) return Handle(nullptr, nStates, framesAreHorizontal);
  BitmapStorage* pCache = use.Bitmaps();
  if (ID < 0) {
    // -1 marks bitmaps made at run time; such an image is kept as one of them.
    PX_IBitmap* pData = OSLoadBitmap(ID, name);
    pCache->Retain(pData);
    return Handle(pData, nStates, framesAreHorizontal);
  }
  // The 2x version is looked for with the first request only, under the same name.
  const int hiResKey = ID < kHiResKey ? ID + kHiResKey : -1;
  PX_IBitmap* pData = pCache->Find(ID);
  PX_IBitmap* pData2x = pData && hiResKey >= 0 ? pCache->Find(hiResKey) : nullptr;
  // Decoded outside the lock; a second thread that also missed loses its copy.
  if (!pData) {
    pData = pCache->FindOrAdd(OSLoadBitmap(ID, name), ID);
    if (pData && hiResKey >= 0) pData2x = LoadHiRes(pCache, hiResKey, name);
  }
  IBitmap bitmap = Handle(pData, nStates, framesAreHorizontal);
  bitmap.mData2x = pData2x;
  return bitmap;
}

PX_IBitmap* Graphics::LoadHiRes(BitmapStorage* pCache, int key, const char* name) {
  // Images are built in: a 2x version that is not there is not asked for.
  const std::string hiRes = HiResName(name);
  if (hiRes.empty() || !FindEmbeddedImage(hiRes.c_str())) return nullptr;
  return pCache->FindOrAdd(OSLoadBitmap(key, hiRes.c_str()), key);
}

void Graphics::RetainBitmap(IBitmap* pBitmap) {
  ResourceUse use;
  if (use && pBitmap) use.Bitmaps()->Retain(pBitmap->mData);
}

void Graphics::ReleaseBitmap(IBitmap* pBitmap) {
  ResourceUse use;
  if (use && pBitmap) use.Bitmaps()->Remove(pBitmap->mData);
}

IBitmap Graphics::ScaleBitmap(IBitmap* pSrcBitmap, int w, int h) {
  ResourceUse use;
  if (!use || !pSrcBitmap || !pSrcBitmap->mData || !SizeAllowed(w, h)) return IBitmap();
  PX_MemBitmap* pData = new PX_MemBitmap(w, h, 4);
  PX_ScaledBlit(pData, pSrcBitmap->mData, 0, 0, w, h, 0.0f, 0.0f, static_cast<float>(pSrcBitmap->W),
                static_cast<float>(pSrcBitmap->H), 1.0f, PX_FILTER_BILINEAR);
  IBitmap bitmap = Handle(pData, pSrcBitmap->N, pSrcBitmap->mFramesAreHorizontal);
  RetainBitmap(&bitmap);
  return bitmap;
}

IBitmap Graphics::CropBitmap(IBitmap* pSrcBitmap, IRECT* pR) {
  ResourceUse use;
  if (!use || !pSrcBitmap || !pSrcBitmap->mData || !pR) return IBitmap();
  // Only the part of the area inside the source.
  const IRECT src(0, 0, pSrcBitmap->mData->getWidth(), pSrcBitmap->mData->getHeight());
  const IRECT r(pR->L > 0 ? pR->L : 0, pR->T > 0 ? pR->T : 0, pR->R < src.R ? pR->R : src.R,
                pR->B < src.B ? pR->B : src.B);
  if (!SizeAllowed(static_cast<int64_t>(r.R) - r.L, static_cast<int64_t>(r.B) - r.T)) {
    return IBitmap();
  }
  const int w = r.W(), h = r.H();
  PX_MemBitmap* pData = new PX_MemBitmap(w, h, 4);
  PX_Blit(pData, pSrcBitmap->mData, 0, 0, r.L, r.T, w, h, 1.0f, PX_COMBINE_COPY);
  IBitmap bitmap = Handle(pData, pSrcBitmap->N, pSrcBitmap->mFramesAreHorizontal);
  RetainBitmap(&bitmap);
  return bitmap;
}
