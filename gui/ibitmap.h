// IBitmap: a handle on a loaded image. Copying it never copies pixels; the
// pixels belong to the bitmap cache (see resource_caches.h).
#pragma once

#include "raster/pixels/bitmap.h"

struct IBitmap {
  PX_IBitmap* mData = nullptr;
  // The same image at twice the resolution, or null (then mData is scaled).
  PX_IBitmap* mData2x = nullptr;
  int W = 0, H = 0;  // H is the height of the whole strip
  int N = 1;         // frames, at least 1
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(PX_IBitmap* pData, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(pData), W(w), H(h), N(n > 0 ? n : 1), mFramesAreHorizontal(framesAreHorizontal) {}

  int FrameWidth() const { return mFramesAreHorizontal ? W / N : W; }
  int FrameHeight() const { return mFramesAreHorizontal ? H : H / N; }
};
