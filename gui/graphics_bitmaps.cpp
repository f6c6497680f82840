// Graphics: drawing bitmaps.
#include <algorithm>
#include <cstdint>

#include "gui/draw_clip_p.h"
#include "gui/graphics.h"
#include "gui/resource_caches.h"
#include "raster/blit/blit.h"
#include "raster/raster.h"

namespace {

int Saturate(int64_t v) {
  return static_cast<int>(v < -DrawClip::kFar  ? -DrawClip::kFar
                          : v > DrawClip::kFar ? DrawClip::kFar
                                               : v);
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

// The area r (editor units) from (sx, sy) of the image: from its 2x version
// when it has one of exactly twice the size, else the image scaled (each
// pixel a block, so that neighbouring frames of a strip never bleed in).
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
  if (s == 2 && p2x && p2x->getWidth() == 2 * pBitmap->mData->getWidth() &&
      p2x->getHeight() == 2 * pBitmap->mData->getHeight()) {
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
  PX_ScaledBlit(mDrawBitmap, pBitmap->mData, x, y, w, h, static_cast<float>(sx),
                static_cast<float>(sy), static_cast<float>(area.W()), static_cast<float>(area.H()),
                PxWeight(pBlend), PxBlendMode(pBlend));
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
