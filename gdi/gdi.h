// Windows-GDI-style drawing on memory device contexts: objects, text and blits.
// Colours are GDI colour words 0x00RRGGBB. Invalid handles make every call a
// no-op returning 0, null or false; a freed handle stops with an assertion.
#pragma once

#include "gdi/gdi_types.h"

// --- Device contexts --------------------------------------------------------

// Memory context of w x h pixels (A, R, G, B bytes, 64-byte aligned, zeroed,
// y downward). The first argument is ignored. Null on bad size or no memory.
HDC GDI_CreateMemContext(HDC hdc, int w, int h);
// Pixel (0,0) of a memory context's frame buffer; rows are w pixels apart.
void* GDI_GetCtxFrameBuffer(HDC ctx);
// Releases a context created here.
void GDI_DeleteGfxContext(HDC ctx);
// Wraps caller-owned pixels (A, R, G, B bytes, rowspan in pixels) in a context
// that draws into them; GDI_DeleteGfxContext releases it, not the pixels.
HDC GDI_CreateGfxContext(void* bits, int w, int h, int rowspan);
// Save and restore the clip state; GDI_SetClipRegion intersects the clip with r.
void GDI_PushClipRegion(HDC ctx);
void GDI_PopClipRegion(HDC ctx);
void GDI_SetClipRegion(HDC ctx, const RECT* r);
// True when one unit maps to more than 1.9 device pixels (never for these surfaces).
bool GDI_IsRetinaDC(HDC ctx);

// --- Objects ----------------------------------------------------------------

HPEN CreatePen(int style, int width, int color);
HPEN CreatePenAlpha(int style, int width, int color, float alpha);
HBRUSH CreateSolidBrush(int color);
HBRUSH CreateSolidBrushAlpha(int color, float alpha);
// Size from height (or width when 0), negative sizes negated, outside 2..8192 -> 10.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic,
                 char underline, char strikeout, char charset, char outprec, char clipprec,
                 char quality, char pitchandfamily, const char* facename);
HFONT CreateFontIndirect(const LOGFONT* lf);
// 1: null pen, 2: null brush; other ids null.
HGDIOBJ GetStockObject(int id);
// Selects into the slot of the object's type; returns the previous object or the type number.
HGDIOBJ SelectObject(HDC ctx, HGDIOBJ obj);
// Frees an object unless it is a stock object or still has clone references.
void DeleteObject(HGDIOBJ obj);
// Adds a reference: one more DeleteObject is needed to free the object.
HGDIOBJ GDI_CloneGDIObject(HGDIOBJ obj);

int SetTextColor(HDC ctx, int color);  // returns the previous text colour
int GetTextColor(HDC ctx);
int SetBkColor(HDC ctx, int color);  // returns the previous background colour
int SetBkMode(HDC ctx, int mode);    // 1 opaque, 0 transparent; returns the previous mode
int GetSysColor(int idx);

// --- Text -------------------------------------------------------------------

// Metrics of the selected (or default) font; false with preset values for an invalid context.
bool GetTextMetrics(HDC ctx, TEXTMETRIC* tm);
// Measures (DT_CALCRECT) or draws UTF-8 text in rect; returns the text height.
int GDI_DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags);
inline int DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags) {
  return GDI_DrawText(ctx, text, len, rect, flags);
}
// Copies the selected (or default) font's display name; returns its length.
int GetTextFace(HDC ctx, int size, char* buf);

// --- Images -----------------------------------------------------------------

// Copies (and scales, nearest sample) a source memory context's pixels; the rop
// SRCCOPY_USEALPHACHAN blends with the source alpha, any other value is opaque.
void StretchBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                unsigned rop);
void BitBlt(HDC dest, int x, int y, int w, int h, HDC src, int sx, int sy, unsigned rop);
// Writes each source pixel into a 2 x 2 destination block; spans in pixels.
void GDI_fastDoubleUpImage(int* dest, const int* src, int w, int h, int srcspan, int destspan);

HBITMAP CreateBitmap(int width, int height, int numplanes, int bitsperpixel, const void* bits);
HICON CreateIconIndirect(const ICONINFO* info);
// Named images are not part of this layer: always null.
HBITMAP LoadNamedImage(const char* name, bool alphaFromMask);
void DrawImageInRect(HDC ctx, HGDIOBJ img, const RECT* r);
// Fills a BITMAP for bitmap objects; returns the bytes written or 0.
int GetObject(HGDIOBJ obj, int bufsize, void* buf);

HIMAGELIST ImageList_CreateEx();
bool ImageList_Remove(HIMAGELIST list, int idx);  // idx < 0 removes all
void ImageList_Destroy(HIMAGELIST list);
// Stores a copy of the icon at idx (or appends when idx < 0); returns its index or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int idx, HICON icon);

// --- Shapes (brush fills, pen strokes) --------------------------------------

void GDI_FillRect(HDC ctx, const RECT* r, HBRUSH br);
void Rectangle(HDC ctx, int l, int t, int r, int b);
void Ellipse(HDC ctx, int l, int t, int r, int b);
void GDI_Polygon(HDC ctx, const POINT* pts, int npts);
void RoundRect(HDC ctx, int l, int t, int r, int b, int xrnd, int yrnd);
void MoveToEx(HDC ctx, int x, int y, POINT* op);
void GDI_LineTo(HDC ctx, int x, int y);
void PolyBezierTo(HDC ctx, const POINT* pts, int np);
void PolyPolyline(HDC ctx, const POINT* pts, const int* cnts, int nseg);
void GDI_SetPixel(HDC ctx, int x, int y, int c);
void GDI_FillDialogBackground(HDC ctx, const RECT* r, int level);
