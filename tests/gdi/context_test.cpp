// Memory contexts, clip state, colours and system colours.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "gdi/gdi_p.h"

namespace {

TEST(GdiContext, MemContextIsAlignedAndZeroed) {
  for (int w : {1, 3, 17, 640}) {
    HDC dc = GDI_CreateMemContext(nullptr, w, 7);
    ASSERT_NE(dc, nullptr);
    auto* fb = static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc));
    ASSERT_NE(fb, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(fb) % 64, 0u);
    EXPECT_GE(fb, static_cast<unsigned char*>(dc->ownedData));
    EXPECT_LT(fb, static_cast<unsigned char*>(dc->ownedData) + 64);
    for (int i = 0; i < w * 7 * 4; ++i) ASSERT_EQ(fb[i], 0) << "byte " << i;
    EXPECT_EQ(GetTextColor(dc), 0);
    memset(fb, 0xAB, static_cast<size_t>(w) * 7 * 4);  // whole buffer is writable
    GDI_DeleteGfxContext(dc);
  }
}

TEST(GdiContext, BadSizesGiveNull) {
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 0, 10), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 10, -1), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 0x7fffffff, 0x7fffffff), nullptr);
  EXPECT_EQ(GDI_CreateMemContext(nullptr, 65536, 65536), nullptr);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(nullptr), nullptr);
  GDI_DeleteGfxContext(nullptr);
}

TEST(GdiContext, WrappedSurfaceHasNoOwnedFrameBuffer) {
  uint32_t px[4 * 3] = {};
  HDC dc = GDI_CreateGfxContext(px, 3, 3, 4);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GDI_GetCtxFrameBuffer(dc), nullptr);
  GDI_SetPixel(dc, 2, 1, 0x0A0B0C);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&px[4 + 2])[1], 0x0A);
  EXPECT_EQ(reinterpret_cast<unsigned char*>(&px[4 + 2])[3], 0x0C);
  EXPECT_FALSE(GDI_IsRetinaDC(dc));
  GDI_DeleteGfxContext(dc);
  EXPECT_EQ(GDI_CreateGfxContext(px, 5, 3, 4), nullptr);  // span shorter than a row
  EXPECT_EQ(GDI_CreateGfxContext(nullptr, 3, 3, 4), nullptr);
}

TEST(GdiContext, ColoursAndModesReturnPrevious) {
  HDC dc = GDI_CreateMemContext(nullptr, 2, 2);
  EXPECT_EQ(SetTextColor(dc, 0x112233), 0);
  EXPECT_EQ(GetTextColor(dc), 0x112233);
  EXPECT_EQ(dc->curtextcol_color.r, 0x11);
  EXPECT_EQ(dc->curtextcol_color.b, 0x33);
  EXPECT_EQ(SetBkColor(dc, 0xffffff), 0);
  EXPECT_EQ(SetBkColor(dc, 1), 0xffffff);
  EXPECT_EQ(SetBkMode(dc, OPAQUE), 0);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  GDI_DeleteGfxContext(dc);
  EXPECT_EQ(SetTextColor(nullptr, 5), 0);
  EXPECT_EQ(GetTextColor(nullptr), 0);
}

TEST(GdiContext, ClipRegionsNestAndIntersect) {
  HDC dc = GDI_CreateMemContext(nullptr, 20, 20);
  HBRUSH br = CreateSolidBrush(0xffffff);
  const RECT all{0, 0, 20, 20};
  GDI_PushClipRegion(dc);
  const RECT a{2, 2, 10, 10}, b{5, 0, 20, 6};
  GDI_SetClipRegion(dc, &a);
  GDI_SetClipRegion(dc, &b);
  GDI_FillRect(dc, &all, br);
  auto* fb = static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc));
  int lit = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool in = x >= 5 && x < 10 && y >= 2 && y < 6;
      EXPECT_EQ(fb[(y * 20 + x) * 4 + 1], in ? 255 : 0) << x << "," << y;
      lit += in;
    }
  EXPECT_EQ(lit, 20);
  GDI_PopClipRegion(dc);
  GDI_PopClipRegion(dc);  // unbalanced pop is ignored
  GDI_FillRect(dc, &all, br);
  EXPECT_EQ(fb[1], 255);
  for (int i = 0; i < 100; ++i) GDI_PushClipRegion(dc);  // deeper than the saved states
  for (int i = 0; i < 100; ++i) GDI_PopClipRegion(dc);
  EXPECT_EQ(dc->ctx.state.clip.right, 20);
  DeleteObject(br);
  GDI_DeleteGfxContext(dc);
}

TEST(GdiContext, SysColorTable) {
  EXPECT_EQ(GetSysColor(0), 0x606060);
  EXPECT_EQ(GetSysColor(1), 0xE0E0E0);
  EXPECT_EQ(GetSysColor(2), 0xC0C0C0);
  EXPECT_EQ(GetSysColor(3), 0);
  EXPECT_EQ(GetSysColor(4), 0xC0C0C0);
  EXPECT_EQ(GetSysColor(5), 0x202020);
  EXPECT_EQ(GetSysColor(6), 0x303030);
  EXPECT_EQ(GetSysColor(7), 0xC0C0C0);
  EXPECT_EQ(GetSysColor(8), 0xFFF0C8);
  EXPECT_EQ(GetSysColor(-1), 0);
  EXPECT_EQ(GetSysColor(9), 0);
}

}  // namespace
