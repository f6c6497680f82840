// Records, handles and constants of the GDI emulation layer.
#pragma once

#include <cstdint>

// Integer rectangle; right and bottom are exclusive, y grows downward.
struct RECT {
  int left, top, right, bottom;
};

struct POINT {
  int x, y;
};

struct HDC__;
struct HGDIOBJ__;
typedef HDC__* HDC;
typedef HGDIOBJ__* HGDIOBJ;
typedef HGDIOBJ HPEN;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef HGDIOBJ HICON;

struct ImageList;
typedef ImageList* HIMAGELIST;

// Font metrics as returned by GetTextMetrics.
struct TEXTMETRIC {
  int tmHeight;
  int tmAscent;
  int tmDescent;
  int tmInternalLeading;
  int tmAveCharWidth;
};

// Logical font for CreateFontIndirect: the arguments of CreateFont.
struct LOGFONT {
  int lfHeight;
  int lfWidth;
  int lfEscapement;
  int lfOrientation;
  int lfWeight;
  char lfItalic;
  char lfUnderline;
  char lfStrikeOut;
  char lfCharSet;
  char lfOutPrecision;
  char lfClipPrecision;
  char lfQuality;
  char lfPitchAndFamily;
  char lfFaceName[32];
};

// Bitmap description filled by GetObject.
struct BITMAP {
  int bmWidth;
  int bmHeight;
};

// Icon description for CreateIconIndirect; the colour bitmap gives the image.
struct ICONINFO {
  bool fIcon;
  int xHotspot;
  int yHotspot;
  HBITMAP hbmMask;
  HBITMAP hbmColor;
};

// Text-drawing flags of GDI_DrawText.
enum : unsigned {
  DT_TOP = 0x0,
  DT_LEFT = 0x0,
  DT_CALCRECT = 0x1,
  DT_VCENTER = 0x2,
  DT_CENTER = 0x4,
  DT_BOTTOM = 0x10,
  DT_RIGHT = 0x20,
  DT_SINGLELINE = 0x40,
  DT_NOPREFIX = 0x80,
  DT_NOCLIP = 0x100,
};

// Object types stored in HGDIOBJ__::type (also the placeholders SelectObject returns).
enum { TYPE_PEN = 1, TYPE_BRUSH = 2, TYPE_FONT = 3, TYPE_BITMAP = 4 };

enum { NULL_PEN = 1, NULL_BRUSH = 2 };
enum { TRANSPARENT = 0, OPAQUE = 1 };
enum { PS_SOLID = 0 };
enum { FW_NORMAL = 400, FW_BOLD = 700 };
enum { DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4 };
enum : unsigned { SRCCOPY = 0x00CC0020u, SRCCOPY_USEALPHACHAN = 0xdeadbeefu };
