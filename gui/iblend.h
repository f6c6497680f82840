// IChannelBlend: how a drawing combines with what is already there, and its
// translation into the raster library's weight and mode word.
#pragma once

#include <atomic>

#include "raster/pixels/bitmap.h"

struct IChannelBlend {
  enum EBlendMethod : int { kBlendNormal = 0, kBlendOverwrite, kBlendAdd, kBlendColorDodge };

  EBlendMethod mMethod;
  // Changed by GrayOut on any thread while the GUI thread draws with it.
  std::atomic<float> mWeight;

  explicit IChannelBlend(EBlendMethod method = kBlendNormal, float weight = 1.0f)
      : mMethod(method), mWeight(weight) {}
  IChannelBlend(const IChannelBlend& o) : mMethod(o.mMethod), mWeight(o.Weight()) {}
  IChannelBlend& operator=(const IChannelBlend& o) {
    mMethod = o.mMethod;
    mWeight.store(o.Weight(), std::memory_order_relaxed);
    return *this;
  }

  float Weight() const { return mWeight.load(std::memory_order_relaxed); }
};

// The blend's weight; 1 for no blend.
inline float PxWeight(const IChannelBlend* pBlend) { return pBlend ? pBlend->Weight() : 1.0f; }

// The mode word: source alpha over a copy unless the blend asks otherwise.
inline int PxBlendMode(const IChannelBlend* pBlend) {
  if (!pBlend) return PX_USE_SOURCE_ALPHA;
  switch (pBlend->mMethod) {
    case IChannelBlend::kBlendOverwrite: return PX_COMBINE_COPY;
    case IChannelBlend::kBlendAdd: return PX_USE_SOURCE_ALPHA | PX_COMBINE_ADD;
    case IChannelBlend::kBlendColorDodge: return PX_USE_SOURCE_ALPHA | PX_COMBINE_DODGE;
    default: return PX_USE_SOURCE_ALPHA;
  }
}
