#include "gui/controls/bitmaps.h"

#include "gui/graphics.h"

int FrameForValue(double value, int nFrames) {
  if (nFrames <= 1 || !(value > 0.0)) return 1;
  if (value >= 1.0) return nFrames;
  const int i = 1 + static_cast<int>(0.5 + value * (nFrames - 1));
  return i > nFrames ? nFrames : i;
}

IBitmapControl::IBitmapControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(pPlug, IRECT(x, y, pBitmap), paramIdx, blendMethod), mBitmap(*pBitmap) {}

bool IBitmapControl::Draw(Graphics* pGraphics) {
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, FrameForValue(GetValue(), mBitmap.N), &mBlend);
}
