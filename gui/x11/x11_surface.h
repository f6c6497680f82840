// X11Surface: the window's picture on the client side, an XImage of the
// window's size, shared with the server through MIT-SHM when the server
// offers it (the common local case), else sent with XPutImage. A region is
// converted from the draw bitmap into the image and then put to the window.
//
// With shared memory the server reads the segment after the request is sent;
// the surface is busy until the completion event arrives and nothing is
// written into it meanwhile (the caller keeps the region for later).
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include "base/heapbuf.h"
#include "gui/irect.h"
#include "raster/pixels/bitmap.h"

class X11Surface {
 public:
  X11Surface() = default;
  ~X11Surface() { Destroy(); }
  X11Surface(const X11Surface&) = delete;
  X11Surface& operator=(const X11Surface&) = delete;

  // An image of w x h pixels for windows of this visual and depth; false
  // when none can be made. Call inside an error trap of the display.
  bool Create(Display* pDisplay, Visual* pVisual, int depth, int w, int h, bool tryShm);
  void Destroy();
  bool IsShared() const { return mShmInfo.shmaddr != nullptr; }
  // Waiting for the server to finish reading the shared image.
  bool IsBusy() const { return mBusy; }
  // The event type that ends a shared put (valid when IsShared).
  int CompletionType() const { return mCompletionType; }
  void OnCompletion() { mBusy = false; }

  // Converts region r (editor pixels) of the bitmap at the given scale and
  // puts it to the window; false when busy (nothing done).
  bool Put(Window window, GC gc, PX_IBitmap* pBitmap, const IRECT& r, int scale);

 private:
  bool CreateShared(Visual* pVisual, int depth, int w, int h);
  void CopyRegion(PX_IBitmap* pBitmap, const IRECT& r, int scale);
  void CopyRegionGeneric(PX_IBitmap* pBitmap, const IRECT& r, int scale);

  Display* mDisplay = nullptr;
  XImage* mImage = nullptr;
  XShmSegmentInfo mShmInfo = {};
  bool mFastPath = false;
  bool mBusy = false;
  int mCompletionType = -1;
  SkyHeapBuf mScratch;
};
