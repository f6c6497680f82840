// Drawing for the editor's own small windows (menus, the text field): text
// through the editor's shared fonts into a bitmap of the window's own, and
// the copy of that bitmap to the window.
#pragma once

#include <X11/Xlib.h>

#include "gdi/gdi_types.h"
#include "gui/itext.h"
#include "raster/pixels/bitmap.h"

class Graphics;

// Draws text (len < 0: up to the NUL) in the style into *pR of the bitmap,
// or with DT_CALCRECT in flags measures it into *pR; false without a font.
bool X11DrawText(Graphics* pGraphics, PX_IBitmap* pBitmap, IText* pStyle, const char* text, int len,
                 RECT* pR, unsigned flags);
// Width in pixels of the first len bytes of text in the style.
int X11TextWidth(Graphics* pGraphics, IText* pStyle, const char* text, int len);
// Copies the whole bitmap to the window at the scale (call inside a trap).
void X11PutBitmap(Display* pDisplay, Window window, PX_IBitmap* pBitmap, int scale);
