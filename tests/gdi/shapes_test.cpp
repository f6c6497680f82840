// Brush fills, pen strokes, bitmaps and image lists.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "gdi/gdi_p.h"

namespace {

struct Canvas {
  HDC dc;
  int w, h;
  Canvas(int w_, int h_) : dc(GDI_CreateMemContext(nullptr, w_, h_)), w(w_), h(h_) {}
  ~Canvas() { GDI_DeleteGfxContext(dc); }
  const unsigned char* Px(int x, int y) const {
    return static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc)) + (y * w + x) * 4;
  }
  int Count(int channel, int value) const {
    int n = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) n += Px(x, y)[channel] == value;
    return n;
  }
};

TEST(GdiShapes, FillRectIsPixelExact) {
  Canvas c(10, 10);
  HBRUSH br = CreateSolidBrush(0x102030);
  const RECT r{2, 3, 7, 5};
  GDI_FillRect(c.dc, &r, br);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) {
      const bool in = x >= 2 && x < 7 && y >= 3 && y < 5;
      EXPECT_EQ(c.Px(x, y)[1], in ? 0x10 : 0) << x << "," << y;
      EXPECT_EQ(c.Px(x, y)[3], in ? 0x30 : 0) << x << "," << y;
      EXPECT_EQ(c.Px(x, y)[0], 0);
    }
  const RECT neg{7, 5, 2, 3}, outside{-50, -50, -10, -10},
      huge{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  GDI_FillRect(c.dc, &neg, br);
  GDI_FillRect(c.dc, &outside, br);
  EXPECT_EQ(c.Count(1, 0x10), 10);
  GDI_FillRect(c.dc, &huge, br);
  EXPECT_EQ(c.Count(1, 0x10), 100);
  GDI_FillRect(c.dc, &r, GetStockObject(NULL_BRUSH));
  GDI_FillRect(nullptr, &r, br);
  GDI_FillRect(c.dc, nullptr, br);
  DeleteObject(br);
}

TEST(GdiShapes, HalfAlphaBrushBlends) {
  Canvas c(2, 2);
  HBRUSH br = CreateSolidBrushAlpha(0xFF0000, 0.5f);
  const RECT r{0, 0, 2, 2};
  GDI_FillRect(c.dc, &r, br);
  EXPECT_EQ(c.Px(1, 1)[1], (255 * 128 + 127) / 255);
  DeleteObject(br);
}

TEST(GdiShapes, RectangleFillsAndOutlines) {
  Canvas c(12, 12);
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFF0000);
  HBRUSH br = CreateSolidBrush(0x0000FF);
  SelectObject(c.dc, pen);
  SelectObject(c.dc, br);
  Rectangle(c.dc, 1, 2, 9, 10);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool in = x >= 1 && x < 9 && y >= 2 && y < 10;
      const bool edge = in && (x == 1 || x == 8 || y == 2 || y == 9);
      EXPECT_EQ(c.Px(x, y)[1], edge ? 255 : 0) << x << "," << y;
      EXPECT_EQ(c.Px(x, y)[3], in && !edge ? 255 : 0) << x << "," << y;
    }
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  Rectangle(c.dc, 0, 0, 12, 12);  // brush only now
  EXPECT_EQ(c.Count(3, 255), 144);
  DeleteObject(pen);
  DeleteObject(br);
}

TEST(GdiShapes, LinesFollowThePen) {
  Canvas c(10, 10);
  HPEN pen = CreatePen(PS_SOLID, 1, 0xFFFFFF);
  SelectObject(c.dc, pen);
  POINT old{-1, -1};
  MoveToEx(c.dc, 0, 4, &old);
  EXPECT_EQ(old.x, 0);
  GDI_LineTo(c.dc, 10, 4);
  for (int x = 0; x < 10; ++x) {
    EXPECT_GT(c.Px(x, 4)[1], 100) << x;
    EXPECT_EQ(c.Px(x, 3)[1], 0) << x;
    EXPECT_EQ(c.Px(x, 5)[1], 0) << x;
  }
  MoveToEx(c.dc, 0, 0, &old);
  EXPECT_EQ(old.x, 10);
  EXPECT_EQ(old.y, 4);
  SelectObject(c.dc, GetStockObject(NULL_PEN));
  GDI_LineTo(c.dc, 9, 9);  // null pen draws nothing
  EXPECT_EQ(c.Px(5, 5)[1], 0);
  DeleteObject(pen);
}

TEST(GdiShapes, EllipsePolygonAndCurvesStayInBounds) {
  Canvas c(40, 40);
  HPEN pen = CreatePen(PS_SOLID, 3, 0x00FF00);
  HBRUSH br = CreateSolidBrush(0xFF0000);
  SelectObject(c.dc, pen);
  SelectObject(c.dc, br);
  Ellipse(c.dc, 10, 10, 30, 30);
  EXPECT_EQ(c.Px(20, 20)[1], 255);  // centre filled
  EXPECT_EQ(c.Px(10, 10)[1], 0);    // corner of the box outside the ellipse
  EXPECT_GT(c.Px(11, 20)[2], 200);  // outline on the left
  const POINT tri[3] = {{0, 0}, {39, 0}, {0, 39}};
  GDI_Polygon(c.dc, tri, 3);
  EXPECT_EQ(c.Px(5, 5)[1], 255);
  GDI_Polygon(c.dc, tri, 1);
  GDI_Polygon(c.dc, nullptr, 3);
  RoundRect(c.dc, 2, 2, 38, 38, 9, 9);
  MoveToEx(c.dc, 0, 39, nullptr);
  const POINT bez[3] = {{-1000, -1000}, {1000, 1000}, {39, 39}};
  PolyBezierTo(c.dc, bez, 3);
  POINT cur;
  MoveToEx(c.dc, 0, 0, &cur);
  EXPECT_EQ(cur.x, 39);
  const POINT lines[4] = {{0, 0}, {39, 39}, {39, 0}, {0, 39}};
  const int counts[3] = {2, -5, 2};
  PolyPolyline(c.dc, lines, counts, 3);
  GDI_SetPixel(c.dc, 39, 39, 0x123456);
  EXPECT_EQ(c.Px(39, 39)[1], 0x12);
  GDI_SetPixel(c.dc, 40, 0, 0);  // outside: ignored
  DeleteObject(pen);
  DeleteObject(br);
}

TEST(GdiShapes, DialogBackgroundUsesFaceColour) {
  Canvas c(3, 3);
  const RECT r{0, 0, 3, 3};
  GDI_FillDialogBackground(c.dc, &r, 0);
  EXPECT_EQ(c.Count(1, 0xC0), 9);
}

TEST(GdiBitmaps, CreateDrawAndDescribe) {
  uint32_t px[4];
  const unsigned char argb[4][4] = {
      {255, 255, 0, 0}, {255, 0, 255, 0}, {0, 9, 9, 9}, {255, 0, 0, 255}};
  memcpy(px, argb, sizeof(px));
  HBITMAP bm = CreateBitmap(2, 2, 1, 32, px);
  ASSERT_NE(bm, nullptr);
  BITMAP info{0, 0};
  EXPECT_EQ(GetObject(bm, sizeof(info), &info), (int)sizeof(info));
  EXPECT_EQ(info.bmWidth, 2);
  EXPECT_EQ(info.bmHeight, 2);
  EXPECT_EQ(GetObject(bm, 1, &info), 0);
  EXPECT_EQ(CreateBitmap(2, 2, 1, 24, px), nullptr);
  EXPECT_EQ(CreateBitmap(-2, 2, 1, 32, px), nullptr);
  EXPECT_EQ(CreateBitmap(0x7fffffff, 0x7fffffff, 1, 32, nullptr), nullptr);
  EXPECT_EQ(LoadNamedImage("x", false), nullptr);

  Canvas c(4, 4);
  const RECT r{0, 0, 4, 4};
  DrawImageInRect(c.dc, bm, &r);  // each source pixel becomes a 2 x 2 block
  EXPECT_EQ(c.Px(1, 1)[1], 255);
  EXPECT_EQ(c.Px(2, 0)[2], 255);
  EXPECT_EQ(c.Px(0, 3)[1], 0);  // transparent source pixel
  EXPECT_EQ(c.Px(3, 3)[3], 255);

  ICONINFO ii{true, 0, 0, nullptr, bm};
  HICON icon = CreateIconIndirect(&ii);
  ASSERT_NE(icon, nullptr);
  EXPECT_NE(icon->image, bm->image);  // the icon owns a copy
  HIMAGELIST list = ImageList_CreateEx();
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 0);
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 1);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 0, nullptr), -1);
  EXPECT_TRUE(ImageList_Remove(list, 1));
  EXPECT_FALSE(ImageList_Remove(list, 5));
  ImageList_Destroy(list);
  ImageList_Destroy(nullptr);
  DeleteObject(icon);
  DeleteObject(bm);
  EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
}

}  // namespace
