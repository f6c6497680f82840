// Raster library: whole-bitmap and per-pixel operations. Every operation takes
// the destination first and does nothing on a null bitmap, null bits, an empty
// or fully clipped rectangle, a zero weight or a mode that draws nothing.
#pragma once

#include "raster/pixels/bitmap.h"

// dest combined with src at weight (int)(256 x alpha) by the blit class of mode.
PX_pixel PX_CombinePixels(PX_pixel dest, PX_pixel src, float alpha, int mode);
// Combines (r, g, b, a) into *dest at integer weight ia with the unclamped classes.
void PX_CombinePixels2(PX_pixel* dest, int r, int g, int b, int a, int ia, int mode);
// As PX_CombinePixels2 with the clamping copy and multiply classes.
void PX_CombinePixels2Clamp(PX_pixel* dest, int r, int g, int b, int a, int ia, int mode);

// Sets every pixel to colour.
void PX_Clear(PX_IBitmap* bm, PX_pixel colour);
// pixel = (pixel & mask) | orbits over the clipped rectangle.
void PX_ClearRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel mask = 0,
                  PX_pixel orbits = 0);
// Blends colour over the clipped rectangle.
void PX_FillRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel colour, float alpha = 1.0f,
                 int mode = 0);
void PX_PutPixel(PX_IBitmap* bm, int x, int y, PX_pixel colour, float alpha, int mode);
// The stored pixel, or 0 outside the bitmap.
PX_pixel PX_GetPixel(PX_IBitmap* bm, int x, int y);
// Resizes dest to src's size and copies src into it.
void PX_Copy(PX_IBitmap* dest, PX_IBitmap* src);
// Calls callback once per pixel of the clipped rectangle, top row first.
void PX_ProcessRect(PX_IBitmap* bm, int x, int y, int w, int h,
                    void (*callback)(PX_pixel* px, void* parm), void* parm);
// Pixels whose colour bits equal colour get alpha 0, all others alpha 255.
void PX_SetAlphaFromColorMask(PX_IBitmap* bm, PX_pixel colour);
// Scan-line flood fill from (x, y) through runs anchored on column x.
void PX_SimpleFill(PX_IBitmap* bm, int x, int y, PX_pixel newcolour,
                   PX_pixel comparemask = 0xFFFFFFFF, PX_pixel keepmask = 0);
// 0 when equal; otherwise non-zero. With coordsOut, the bounding box
// {x, y, w, h} of differing pixels (masked by mask) is written.
int PX_BitmapCmp(PX_IBitmap* a, PX_IBitmap* b, int* coordsOut = nullptr);
int PX_BitmapCmpEx(PX_IBitmap* a, PX_IBitmap* b, PX_pixel mask, int* coordsOut = nullptr);
