// Handle records, pools and the drawing surface behind them.
#pragma once

#include "gdi/gdi.h"

struct GdiFont;

// A colour ready for drawing: 8-bit channels and an opacity 0..1.
struct GdiColor {
  unsigned char r, g, b;
  float a;
};

GdiColor CreateColor(int color, float alpha);

// Clip and rendering state saved by GDI_PushClipRegion.
struct GdiState {
  RECT clip;
  bool antialias;
};

enum { kGdiMaxSavedStates = 64 };

// The drawing surface of a context: A, R, G, B pixels, row 0 at the top.
struct GdiContext {
  unsigned char* bits;
  int width, height, rowspan;  // rowspan in pixels
  GdiState state;
  GdiState saved[kGdiMaxSavedStates];
  int nsaved;  // may exceed the array; deeper levels are not restored
};

// An owned or borrowed image of A, R, G, B pixels (straight alpha).
struct GdiImage {
  int width, height;
  unsigned char* pixels;
};

struct HDC__ {
  GdiContext ctx;
  void* ownedData;  // raw frame-buffer allocation of memory contexts
  HGDIOBJ__* curpen;
  HGDIOBJ__* curbrush;
  HGDIOBJ__* curfont;
  int curtextcol;
  GdiColor curtextcol_color;
  int curbkcol;
  int curbkmode;
  float lastpos_x, lastpos_y;

  int _infreelist;  // not cleared on reuse
};

struct HGDIOBJ__ {
  int type;
  int additional_refcnt;
  GdiColor color;
  int wid;  // pens: line width, -1 for the null pen/brush; bitmaps: image owned
  GdiImage* image;
  GdiFont* font;
  float font_rotation;
  int fontsmoothing;

  int _infreelist;  // not cleared on reuse
};

// Pools: freed records are quarantined, see pool.cpp.
HDC__* GDI_GDP_CTX_NEW();
void GDI_GDP_CTX_DELETE(HDC__* ct);
HGDIOBJ__* GDP_OBJECT_NEW();
void GDP_OBJECT_DELETE(HGDIOBJ__* p);
bool HDC_VALID(const HDC__* ct);
bool HGDIOBJ_VALID(const HGDIOBJ__* p, int reqType = 0);

// Temporary byte buffers for image conversion (granularity 4096).
class SkyHeapBuf;
SkyHeapBuf* GDI_GDP_GetTmpBuf();
void GDI_GDP_DisposeTmpBuf(SkyHeapBuf* buf);

// Number of quarantined records (for checks of the pool rule).
int GDI_GDP_FreeCtxCount();
int GDI_GDP_FreeObjCount();

// True when ct has a drawing surface.
inline bool GdiHasSurface(const HDC__* ct) { return ct && ct->ctx.bits; }
// Sets up a surface over caller pixels with a full clip.
void GdiInitContext(GdiContext* c, unsigned char* bits, int w, int h, int rowspan);
// The clip rectangle intersected with the surface.
RECT GdiDeviceClip(const GdiContext* c);
