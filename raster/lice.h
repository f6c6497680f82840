// Raster library: whole-bitmap and per-pixel operations. Every operation takes
// the destination first and does nothing on a null bitmap, null bits, an empty
// or fully clipped rectangle, a zero weight or a mode that draws nothing.
#pragma once

#include "raster/lice_bitmap.h"

// dest combined with src at weight (int)(256 x alpha) by the blit class of mode.
LICE_pixel LICE_CombinePixels(LICE_pixel dest, LICE_pixel src, float alpha, int mode);
// Combines (r, g, b, a) into *dest at integer weight ia with the unclamped classes.
void LICE_CombinePixels2(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode);
// As LICE_CombinePixels2 with the clamping copy and multiply classes.
void LICE_CombinePixels2Clamp(LICE_pixel* dest, int r, int g, int b, int a, int ia, int mode);

// Sets every pixel to colour.
void LICE_Clear(LICE_IBitmap* bm, LICE_pixel colour);
// pixel = (pixel & mask) | orbits over the clipped rectangle.
void LICE_ClearRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel mask = 0,
                    LICE_pixel orbits = 0);
// Blends colour over the clipped rectangle.
void LICE_FillRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour,
                   float alpha = 1.0f, int mode = 0);
void LICE_PutPixel(LICE_IBitmap* bm, int x, int y, LICE_pixel colour, float alpha, int mode);
// The stored pixel, or 0 outside the bitmap.
LICE_pixel LICE_GetPixel(LICE_IBitmap* bm, int x, int y);
// Resizes dest to src's size and copies src into it.
void LICE_Copy(LICE_IBitmap* dest, LICE_IBitmap* src);
// Calls callback once per pixel of the clipped rectangle, top row first.
void LICE_ProcessRect(LICE_IBitmap* bm, int x, int y, int w, int h,
                      void (*callback)(LICE_pixel* px, void* parm), void* parm);
// Pixels whose colour bits equal colour get alpha 0, all others alpha 255.
void LICE_SetAlphaFromColorMask(LICE_IBitmap* bm, LICE_pixel colour);
// Scan-line flood fill from (x, y) through runs anchored on column x.
void LICE_SimpleFill(LICE_IBitmap* bm, int x, int y, LICE_pixel newcolour,
                     LICE_pixel comparemask = 0xFFFFFFFF, LICE_pixel keepmask = 0);
// 0 when equal; otherwise non-zero. With coordsOut, the bounding box
// {x, y, w, h} of differing pixels (masked by mask) is written.
int LICE_BitmapCmp(LICE_IBitmap* a, LICE_IBitmap* b, int* coordsOut = nullptr);
int LICE_BitmapCmpEx(LICE_IBitmap* a, LICE_IBitmap* b, LICE_pixel mask, int* coordsOut = nullptr);
