// Handle pools, quarantine, validity assertions, selection and deletion.
#include <gtest/gtest.h>

#include <cstdint>

#include "gdi/gdi_p.h"

namespace {

HGDIOBJ Placeholder(int type) { return reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(type)); }

TEST(GdiPool, FreedContextIsQuarantinedUntil8192MoreAreFreed) {
  HDC first = GDI_CreateMemContext(nullptr, 1, 1);
  ASSERT_NE(first, nullptr);
  GDI_DeleteGfxContext(first);
  EXPECT_EQ(first->_infreelist, 1);
  int freedAfter = 0;
  bool reused = false;
  while (!reused && freedAfter < 40000) {
    HDC__* ct = GDI_GDP_CTX_NEW();
    reused = ct == first;
    GDI_GDP_CTX_DELETE(ct);
    if (!reused) ++freedAfter;
  }
  EXPECT_TRUE(reused);
  EXPECT_GE(freedAfter, 8192);
  EXPECT_EQ(first->_infreelist, 1);
  EXPECT_LE(GDI_GDP_FreeCtxCount(), 8193);
}

TEST(GdiPool, ReusedRecordComesBackCleared) {
  for (int i = GDI_GDP_FreeObjCount(); i <= 8192; ++i) GDP_OBJECT_DELETE(GDP_OBJECT_NEW());
  HGDIOBJ__* p = GDP_OBJECT_NEW();  // taken from the front of the free list
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->_infreelist, 0);
  EXPECT_EQ(p->type, 0);
  EXPECT_EQ(p->additional_refcnt, 0);
  GDP_OBJECT_DELETE(p);
}

TEST(GdiPool, ValidityOfNullAndPlaceholders) {
  EXPECT_FALSE(HDC_VALID(nullptr));
  EXPECT_FALSE(HGDIOBJ_VALID(nullptr));
  for (int t = 1; t <= 4; ++t) EXPECT_FALSE(HGDIOBJ_VALID(Placeholder(t)));
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_TRUE(HGDIOBJ_VALID(pen, TYPE_PEN));
  EXPECT_TRUE(HGDIOBJ_VALID(pen));
  DeleteObject(pen);
}

using GdiPoolDeathTest = ::testing::Test;

TEST_F(GdiPoolDeathTest, UseOfFreedHandlesStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  HDC dc = GDI_CreateMemContext(nullptr, 4, 4);
  GDI_DeleteGfxContext(dc);
  EXPECT_DEATH(SetTextColor(dc, 0), "!ct->_infreelist");
  EXPECT_DEATH(GDI_DeleteGfxContext(dc), "!ct->_infreelist");
  HBRUSH br = CreateSolidBrush(0);
  DeleteObject(br);
  EXPECT_DEATH(DeleteObject(br), "!p->_infreelist");
  EXPECT_DEATH(GDP_OBJECT_DELETE(br), "!p->_infreelist");
  HPEN pen = CreatePen(PS_SOLID, 1, 0);
  EXPECT_DEATH(HGDIOBJ_VALID(pen, TYPE_FONT), "reqType == p->type");
  DeleteObject(pen);
}

TEST(GdiObjects, SelectReturnsTypeNumberThenPrevious) {
  HDC dc = GDI_CreateMemContext(nullptr, 2, 2);
  HFONT font = CreateFont(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HFONT font2 = CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  EXPECT_EQ(SelectObject(dc, font), Placeholder(TYPE_FONT));
  EXPECT_EQ(SelectObject(dc, font2), font);
  EXPECT_EQ(SelectObject(dc, Placeholder(TYPE_FONT)), font2);
  EXPECT_EQ(dc->curfont, nullptr);
  EXPECT_EQ(SelectObject(dc, Placeholder(TYPE_FONT)), Placeholder(TYPE_FONT));

  HPEN pen = CreatePen(PS_SOLID, 2, 0xff);
  HBRUSH br = CreateSolidBrush(0xff00);
  EXPECT_EQ(SelectObject(dc, pen), Placeholder(TYPE_PEN));
  EXPECT_EQ(SelectObject(dc, br), Placeholder(TYPE_BRUSH));
  EXPECT_EQ(dc->curpen, pen);
  EXPECT_EQ(dc->curbrush, br);
  EXPECT_EQ(dc->curfont, nullptr);  // slots are independent
  EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_PEN)), pen);
  EXPECT_EQ(SelectObject(dc, Placeholder(TYPE_PEN)), GetStockObject(NULL_PEN));

  HBITMAP bm = CreateBitmap(2, 2, 1, 32, nullptr);
  EXPECT_EQ(SelectObject(dc, bm), nullptr);
  EXPECT_EQ(SelectObject(dc, Placeholder(TYPE_BITMAP)), nullptr);
  EXPECT_EQ(SelectObject(nullptr, pen), nullptr);
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  for (HGDIOBJ o : {font, font2, pen, br, bm}) DeleteObject(o);
  GDI_DeleteGfxContext(dc);
}

TEST(GdiObjects, StockObjectsAreStaticAndNeverFreed) {
  HGDIOBJ pen = GetStockObject(NULL_PEN), br = GetStockObject(NULL_BRUSH);
  ASSERT_NE(pen, nullptr);
  ASSERT_NE(br, nullptr);
  EXPECT_EQ(pen->type, TYPE_PEN);
  EXPECT_EQ(pen->wid, -1);
  EXPECT_EQ(br->type, TYPE_BRUSH);
  EXPECT_EQ(br->wid, -1);
  EXPECT_EQ(GetStockObject(0), nullptr);
  EXPECT_EQ(GetStockObject(3), nullptr);
  const int freed = GDI_GDP_FreeObjCount();
  DeleteObject(pen);
  DeleteObject(br);
  EXPECT_EQ(GDI_GDP_FreeObjCount(), freed);
  EXPECT_EQ(pen->_infreelist, 0);
  EXPECT_EQ(GetStockObject(NULL_PEN), pen);
}

TEST(GdiObjects, CloneAddsReferencesThatDeleteConsumes) {
  HBRUSH br = CreateSolidBrush(0x123456);
  EXPECT_EQ(GDI_CloneGDIObject(br), br);
  EXPECT_EQ(GDI_CloneGDIObject(br), br);
  DeleteObject(br);
  DeleteObject(br);
  EXPECT_EQ(br->_infreelist, 0);
  EXPECT_EQ(br->additional_refcnt, 0);
  DeleteObject(br);
  EXPECT_EQ(br->_infreelist, 1);
}

TEST(GdiObjects, PenAndBrushRecords) {
  HPEN pen = CreatePen(PS_SOLID, -5, 0x102030);
  EXPECT_EQ(pen->type, TYPE_PEN);
  EXPECT_EQ(pen->wid, 0);
  EXPECT_EQ(pen->color.r, 0x10);
  EXPECT_EQ(pen->color.g, 0x20);
  EXPECT_EQ(pen->color.b, 0x30);
  EXPECT_FLOAT_EQ(pen->color.a, 1.0f);
  HBRUSH br = CreateSolidBrushAlpha(0xff0000, 0.25f);
  EXPECT_EQ(br->type, TYPE_BRUSH);
  EXPECT_EQ(br->wid, 0);
  EXPECT_FLOAT_EQ(br->color.a, 0.25f);
  DeleteObject(pen);
  DeleteObject(br);
}

}  // namespace
