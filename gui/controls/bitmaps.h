// Bitmap controls: a filmstrip frame chosen by the value.
#pragma once

#include "gui/icontrol.h"

// The frame (1 ... nFrames) of a filmstrip that shows value (0 ... 1): the
// nearest one, and always a frame of the strip.
int FrameForValue(double value, int nFrames);

class IBitmapControl : public IControl {
 public:
  // Covers one frame of the bitmap at (x, y).
  IBitmapControl(PlugBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal);
  // A control without a parameter.
  IBitmapControl(PlugBase* pPlug, int x, int y, IBitmap* pBitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNormal)
      : IBitmapControl(pPlug, x, y, -1, pBitmap, blendMethod) {}

  // Frame 1 for a single frame; else 1 + int(0.5 + value x (N - 1)), within 1 ... N.
  bool Draw(Graphics* pGraphics) override;

  IBitmap* GetBitmap() { return &mBitmap; }

 protected:
  IBitmap mBitmap;
};
