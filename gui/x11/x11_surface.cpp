#include "gui/x11/x11_surface.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdint>
#include <cstdlib>
#include <X11/Xutil.h>

#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_pixels.h"

namespace {

// Position and width of a colour mask, for visuals off the fast path.
struct MaskShape {
  int shift = 0, bits = 0;
  explicit MaskShape(unsigned long mask) {
    while (mask && !(mask & 1)) {
      mask >>= 1;
      ++shift;
    }
    while (mask & 1) {
      mask >>= 1;
      ++bits;
    }
  }
  unsigned long Place(unsigned channel) const {
    if (bits >= 8) return (unsigned long)channel << (shift + bits - 8);
    return (unsigned long)(channel >> (8 - bits)) << shift;
  }
};

}  // namespace

bool X11Surface::Create(Display* pDisplay, Visual* pVisual, int depth, int w, int h, bool tryShm) {
  Destroy();
  if (!pDisplay || !pVisual || w <= 0 || h <= 0) return false;
  mDisplay = pDisplay;
  if (!(tryShm && XShmQueryExtension(pDisplay) && CreateShared(pVisual, depth, w, h))) {
    char* pData = (char*)calloc((size_t)w * (size_t)h, 4);
    if (!pData) return false;
    mImage = XCreateImage(pDisplay, pVisual, depth, ZPixmap, 0, pData, w, h, 32, 0);
    if (!mImage) {
      free(pData);
      return false;
    }
  }
  mFastPath = mImage->bits_per_pixel == 32 && mImage->byte_order == LSBFirst &&
              mImage->red_mask == 0xFF0000 && mImage->green_mask == 0xFF00 &&
              mImage->blue_mask == 0xFF;
  return true;
}

bool X11Surface::CreateShared(Visual* pVisual, int depth, int w, int h) {
  mImage = XShmCreateImage(mDisplay, pVisual, depth, ZPixmap, nullptr, &mShmInfo, w, h);
  if (!mImage) return false;
  mShmInfo.shmid = shmget(IPC_PRIVATE, (size_t)mImage->bytes_per_line * h, IPC_CREAT | 0600);
  void* pAddr = mShmInfo.shmid >= 0 ? shmat(mShmInfo.shmid, nullptr, 0) : (void*)-1;
  bool attached = false;
  if (pAddr != (void*)-1) {
    mShmInfo.shmaddr = mImage->data = (char*)pAddr;
    mShmInfo.readOnly = False;
    // A remote server, or one that may not map our segment, refuses here.
    X11ErrorTrap trap(mDisplay);
    attached = XShmAttach(mDisplay, &mShmInfo) && trap.Sync();
  }
  // Marked for removal now: the segment goes away once both sides detach,
  // whatever happens to this process.
  if (mShmInfo.shmid >= 0) shmctl(mShmInfo.shmid, IPC_RMID, nullptr);
  if (!attached) {
    if (pAddr != (void*)-1) shmdt(pAddr);
    mImage->data = nullptr;
    XDestroyImage(mImage);
    mImage = nullptr;
    mShmInfo = {};
    return false;
  }
  mCompletionType = XShmGetEventBase(mDisplay) + ShmCompletion;
  return true;
}

void X11Surface::Destroy() {
  if (mImage) {
    if (IsShared()) {
      XShmDetach(mDisplay, &mShmInfo);
      shmdt(mShmInfo.shmaddr);
      mImage->data = nullptr;
    }
    XDestroyImage(mImage);
  }
  mImage = nullptr;
  mShmInfo = {};
  mBusy = false;
  mCompletionType = -1;
}

bool X11Surface::Put(Window window, GC gc, PX_IBitmap* pBitmap, const IRECT& r, int scale) {
  if (!mImage || !pBitmap || mBusy) return false;
  IRECT c(r.L < 0 ? 0 : r.L, r.T < 0 ? 0 : r.T, r.R, r.B);
  if (c.R > pBitmap->getWidth()) c.R = pBitmap->getWidth();
  if (c.B > pBitmap->getHeight()) c.B = pBitmap->getHeight();
  if (c.R * scale > mImage->width) c.R = mImage->width / scale;
  if (c.B * scale > mImage->height) c.B = mImage->height / scale;
  if (c.W() <= 0 || c.H() <= 0) return true;
  CopyRegion(pBitmap, c, scale);
  const int x = c.L * scale, y = c.T * scale, w = c.W() * scale, h = c.H() * scale;
  if (IsShared()) {
    XShmPutImage(mDisplay, window, gc, mImage, x, y, x, y, w, h, True);
    mBusy = true;
  } else {
    XPutImage(mDisplay, window, gc, mImage, x, y, x, y, w, h);
  }
  return true;
}

void X11Surface::CopyRegion(PX_IBitmap* pBitmap, const IRECT& r, int scale) {
  if (!mFastPath) {
    CopyRegionGeneric(pBitmap, r, scale);
    return;
  }
  X11ConvertRegion(pBitmap->getBits(), pBitmap->getRowSpan(), r, scale, (uint32_t*)mImage->data,
                   mImage->bytes_per_line / 4, &mScratch);
}

void X11Surface::CopyRegionGeneric(PX_IBitmap* pBitmap, const IRECT& r, int scale) {
  const MaskShape red(mImage->red_mask), green(mImage->green_mask), blue(mImage->blue_mask);
  const PX_pixel* pBits = pBitmap->getBits();
  const int span = pBitmap->getRowSpan();
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x) {
      const PX_pixel p = pBits[(long)y * span + x];
      const unsigned long v =
          red.Place(PX_GETR(p)) | green.Place(PX_GETG(p)) | blue.Place(PX_GETB(p));
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx) XPutPixel(mImage, x * scale + dx, y * scale + dy, v);
      }
    }
  }
}
