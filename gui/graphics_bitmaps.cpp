// Graphics: drawing bitmaps.
#include <algorithm>
#include <cstdint>

#include "gui/draw_clip_p.h"
#include "gui/graphics.h"
#include "gui/resource_caches.h"
#include "raster/blit/blit.h"
#include "raster/png/png_loader.h"
#include "raster/raster.h"

namespace {

int Saturate(int64_t v) {
  return static_cast<int>(v < -DrawClip::kFar  ? -DrawClip::kFar
                          : v > DrawClip::kFar ? DrawClip::kFar
                                               : v);
}

// The w x h area at (sx, sy) of src (inside it) into pOut, each pixel an s x s block.
void Enlarge(PX_IBitmap* src, int sx, int sy, int w, int h, int s, PX_IBitmap* pOut) {
  const PX_pixel* pSrc = src->getBits();
  PX_pixel* pDest = pOut->getBits();
  const int64_t srcSpan = src->getRowSpan(), destSpan = pOut->getRowSpan();
  for (int y = 0; y < h; ++y) {
    const PX_pixel* pIn = pSrc + (sy + y) * srcSpan + sx;
    PX_pixel* pRow = pDest + static_cast<int64_t>(y) * s * destSpan;
    for (int x = 0; x < w; ++x) {
      for (int k = 0; k < s; ++k) pRow[x * s + k] = pIn[x];
    }
    for (int k = 1; k < s; ++k) {
      std::copy(pRow, pRow + static_cast<int64_t>(w) * s, pRow + k * destSpan);
    }
  }
}

}  // namespace

bool Graphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int srcX, int srcY,
                          const IChannelBlend* pBlend) {
  ResourceUse use;
  if (!use || !pBitmap || !pBitmap->mData || !pDest || !mDrawBitmap) return true;
  const IRECT r = pDest->Intersect(mDrawRECT);
  const int64_t w = static_cast<int64_t>(r.R) - r.L, h = static_cast<int64_t>(r.B) - r.T;
  if (w <= 0 || h <= 0) return true;
  const int64_t sx = static_cast<int64_t>(srcX) + r.L - pDest->L;
  const int64_t sy = static_cast<int64_t>(srcY) + r.T - pDest->T;
  if (mDrawScale > 1) return DrawBitmapScaled(pBitmap, r, sx, sy, pBlend);
  PX_Blit(mDrawBitmap, pBitmap->mData, r.L, r.T, Saturate(sx), Saturate(sy), Saturate(w),
          Saturate(h), PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

PX_IBitmap* Graphics::EnlargedImage(PX_IBitmap* pData) {
  ResourceUse use;
  BitmapStorage* pCache = use ? use.Bitmaps() : nullptr;
  const int id = pCache ? pCache->IdOf(pData) : -1;
  if (id < 0 || id >= kHiResKey) return nullptr;
  PX_IBitmap* pFound = pCache->Find(id + kHiResKey);
  if (pFound) return pFound;
  const int w = pData->getWidth(), h = pData->getHeight();
  if (static_cast<int64_t>(w) * h * 4 > PX_PNG_MAX_PIXELS) return nullptr;
  PX_MemBitmap* pMade = new PX_MemBitmap(2 * w, 2 * h, 4);
  if (!pMade->getBits()) {
    delete pMade;
    return nullptr;
  }
  Enlarge(pData, 0, 0, w, h, 2, pMade);
  return pCache->FindOrAdd(pMade, id + kHiResKey);
}

// The area r (editor units) from (sx, sy) of the image: from its 2x version
// when it has one of exactly twice the size, else from the image enlarged
// (each pixel a block, so that neighbouring frames of a strip never bleed
// in): once and cached for loaded images, per draw for run-time bitmaps.
bool Graphics::DrawBitmapScaled(IBitmap* pBitmap, const IRECT& r, int64_t sx, int64_t sy,
                                const IChannelBlend* pBlend) {
  const int64_t s = mDrawScale;
  const IRECT area = r.Intersect(IRECT(0, 0, mWidth, mHeight));
  if (area.W() <= 0 || area.H() <= 0) return true;
  sx += area.L - r.L;
  sy += area.T - r.T;
  const int x = static_cast<int>(area.L * s), y = static_cast<int>(area.T * s);
  const int w = static_cast<int>(area.W() * s), h = static_cast<int>(area.H() * s);
  PX_IBitmap* p2x = pBitmap->mData2x;
  auto twice = [&](PX_IBitmap* p) {
    return p && p->getWidth() == 2 * pBitmap->mData->getWidth() &&
           p->getHeight() == 2 * pBitmap->mData->getHeight();
  };
  if (s == 2 && !twice(p2x)) p2x = EnlargedImage(pBitmap->mData);
  if (s == 2 && twice(p2x)) {
    PX_Blit(mDrawBitmap, p2x, x, y, Saturate(sx * s), Saturate(sy * s), w, h, PxWeight(pBlend),
            PxBlendMode(pBlend));
    return true;
  }
  // Only the part of the area the source has.
  const int64_t srcW = pBitmap->mData->getWidth(), srcH = pBitmap->mData->getHeight();
  if (sx < 0 || sy < 0 || sx + area.W() > srcW || sy + area.H() > srcH) {
    const int64_t l = std::max<int64_t>(0, -sx), t = std::max<int64_t>(0, -sy);
    const int64_t rr = std::min<int64_t>(area.W(), srcW - sx),
                  b = std::min<int64_t>(area.H(), srcH - sy);
    if (rr <= l || b <= t) return true;
    const IRECT part(static_cast<int>(area.L + l), static_cast<int>(area.T + t),
                     static_cast<int>(area.L + rr), static_cast<int>(area.T + b));
    return DrawBitmapScaled(pBitmap, part, sx + l, sy + t, pBlend);
  }
  if (!mEnlarged) mEnlarged = new PX_MemBitmap(0, 0, 4);
  mEnlarged->resize(w, h);
  if (!mEnlarged->getBits()) return true;
  Enlarge(pBitmap->mData, static_cast<int>(sx), static_cast<int>(sy), area.W(), area.H(),
          static_cast<int>(s), mEnlarged);
  PX_Blit(mDrawBitmap, mEnlarged, x, y, 0, 0, w, h, PxWeight(pBlend), PxBlendMode(pBlend));
  return true;
}

bool Graphics::DrawBitmap(IBitmap* pBitmap, IRECT* pDest, int bmState,
                          const IChannelBlend* pBlend) {
  if (!pBitmap) return true;
  int srcX = 0, srcY = 0;
  if (pBitmap->N >= 2 && bmState >= 2) {
    const double frame = static_cast<double>(bmState) - 1.0;
    if (pBitmap->mFramesAreHorizontal) {
      srcX = Saturate(static_cast<int64_t>(0.5 + pBitmap->W * frame / pBitmap->N));
    } else {
      srcY = Saturate(static_cast<int64_t>(0.5 + pBitmap->H * frame / pBitmap->N));
    }
  }
  return DrawBitmap(pBitmap, pDest, srcX, srcY, pBlend);
}

bool Graphics::DrawRotatedBitmap(IBitmap* pBitmap, int destCtrX, int destCtrY, double angle,
                                 int yOffsetZeroDeg, const IChannelBlend* pBlend) {
  ResourceUse use;
  if (!use || !pBitmap || !pBitmap->mData) return true;
  DrawClip clip(mDrawBitmap, ScaledDrawRECT());
  if (clip.Empty()) return true;
  // At scale 2 the turn also doubles the image (finer than doubling pixels).
  const int64_t s = mDrawScale;
  const int w = pBitmap->W, h = pBitmap->H;
  PX_RotatedBlit(&clip, pBitmap->mData, clip.X((static_cast<int64_t>(destCtrX) - w / 2) * s),
                 clip.Y((static_cast<int64_t>(destCtrY) - h / 2) * s), Saturate(w * s),
                 Saturate(h * s), 0.0f, 0.0f, static_cast<float>(w), static_cast<float>(h),
                 static_cast<float>(angle), false, PxWeight(pBlend),
                 PxBlendMode(pBlend) | PX_FILTER_BILINEAR, 0.0f,
                 static_cast<float>(yOffsetZeroDeg));
  return true;
}

bool Graphics::DrawRotatedMask(IBitmap* pBase, IBitmap* pMask, IBitmap* pTop, int x, int y,
                               double angle, const IChannelBlend* pBlend) {
  ResourceUse use;
  if (!use || !pBase || !pMask || !pTop || !pBase->mData || !mDrawBitmap) return true;
  const float rad = static_cast<float>(3.141592653589793 * angle / 180.0);
  const int w = pBase->W, h = pBase->H;
  const float xOffset = (w % 2) ? -0.5f : 0.0f;
  if (!mTmpBitmap) mTmpBitmap = new PX_MemBitmap(0, 0, 4);
  PX_Copy(mTmpBitmap, pBase->mData);
  PX_ClearRect(mTmpBitmap, 0, 0, w, h, 0xFFFFFF00, 0);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  if (pMask->mData) {
    PX_RotatedBlit(mTmpBitmap, pMask->mData, 0, 0, w, h, 0.0f, 0.0f, fw, fh, rad, true, 1.0f,
                   PX_USE_SOURCE_ALPHA | PX_FILTER_BILINEAR | PX_COMBINE_ADD, xOffset, 0.0f);
  }
  if (pTop->mData) {
    PX_RotatedBlit(mTmpBitmap, pTop->mData, 0, 0, w, h, 0.0f, 0.0f, fw, fh, rad, true, 1.0f,
                   PX_USE_SOURCE_ALPHA | PX_FILTER_BILINEAR | PX_COMBINE_COPY, xOffset, 0.0f);
  }
  const IRECT area(x, y, Saturate(static_cast<int64_t>(x) + w),
                   Saturate(static_cast<int64_t>(y) + h));
  const IRECT r = area.Intersect(mDrawRECT);
  if (r.W() <= 0 || r.H() <= 0) return true;
  if (mDrawScale > 1) {
    IBitmap composed(mTmpBitmap, w, h);
    return DrawBitmapScaled(&composed, r, static_cast<int64_t>(r.L) - x,
                            static_cast<int64_t>(r.T) - y, pBlend);
  }
  PX_Blit(mDrawBitmap, mTmpBitmap, r.L, r.T, Saturate(static_cast<int64_t>(r.L) - x),
          Saturate(static_cast<int64_t>(r.T) - y), r.W(), r.H(), PxWeight(pBlend),
          PxBlendMode(pBlend));
  return true;
}
