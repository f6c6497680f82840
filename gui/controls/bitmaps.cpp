#include "gui/controls/bitmaps.h"

#include "gui/graphics.h"

IBitmapControl::IBitmapControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(pPlug, IRECT(x, y, pBitmap), paramIdx, blendMethod), mBitmap(*pBitmap) {}

bool IBitmapControl::Draw(Graphics* pGraphics) {
  int i = 1;
  if (mBitmap.N > 1) {
    i = 1 + static_cast<int>(0.5 + GetValue() * (mBitmap.N - 1));
    if (i < 1) i = 1;
    if (i > mBitmap.N) i = mBitmap.N;
  }
  return pGraphics->DrawBitmap(&mBitmap, &mRECT, i, &mBlend);
}
