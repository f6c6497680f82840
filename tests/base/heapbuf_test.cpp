#include "base/heapbuf.h"

#include <gtest/gtest.h>

TEST(HeapBuf, AllocationRuleFollowsPagedGrowth) {
  SkyHeapBuf hb(4096);
  hb.Resize(100);
  EXPECT_EQ(hb.GetAllocated(), 4000);
  hb.Resize(4001);
  EXPECT_EQ(hb.GetAllocated(), 8096);

  SkyHeapBuf big(4096);
  big.Resize(1000000);
  EXPECT_EQ(big.GetAllocated(), 1499040);
  big.Resize(749520, true);
  EXPECT_EQ(big.GetAllocated(), 1499040) << "shrinking only below half the allocation";
  big.Resize(749519, true);
  EXPECT_LT(big.GetAllocated(), 1499040);
  EXPECT_EQ(big.GetSize(), 749519);
}

TEST(HeapBuf, SmallGranularityAddsHalfOrGranularity) {
  SkyHeapBuf hb(128);
  hb.Resize(4);
  EXPECT_EQ(hb.GetAllocated(), 132);
  hb.Resize(1000);
  EXPECT_EQ(hb.GetAllocated(), 1500);
}

TEST(HeapBuf, SameSizeAndZeroSize) {
  SkyHeapBuf hb;
  hb.Resize(100);
  void* before = hb.Get();
  EXPECT_EQ(hb.Resize(100, true), before);
  EXPECT_EQ(hb.GetAllocated(), 4000);

  EXPECT_EQ(hb.Resize(0, false), nullptr);
  EXPECT_EQ(hb.Get(), nullptr);
  EXPECT_EQ(hb.GetAllocated(), 4000) << "no shrink keeps the block";

  hb.Resize(10);
  EXPECT_EQ(hb.Resize(0, true), nullptr);
  EXPECT_EQ(hb.GetAllocated(), 0) << "shrinking to 0 frees";
  EXPECT_EQ(hb.Resize(-5), nullptr);
  EXPECT_EQ(hb.GetSize(), 0);
}

TEST(HeapBuf, GrowthKeepsContentsAndHugeRequestsFailCleanly) {
  SkyHeapBuf hb;
  unsigned char* p = static_cast<unsigned char*>(hb.Resize(300));
  for (int i = 0; i < 300; ++i) p[i] = static_cast<unsigned char>(i);
  p = static_cast<unsigned char*>(hb.Resize(20000));
  for (int i = 0; i < 300; ++i) ASSERT_EQ(p[i], static_cast<unsigned char>(i));

  EXPECT_EQ(hb.ResizeOK(0x7fffff00), nullptr) << "allocation that cannot be sized fails";
  EXPECT_EQ(hb.GetSize(), 20000);
  EXPECT_EQ(static_cast<unsigned char*>(hb.Get())[299], 299 & 0xff);
}

TEST(TypedBuf, InsertAtEdgesAndOutOfRange) {
  SkyTypedBuf<int> tb;
  EXPECT_NE(tb.Add(2), nullptr);
  EXPECT_NE(tb.Insert(0, 0), nullptr);
  EXPECT_NE(tb.Insert(1, 1), nullptr);
  EXPECT_NE(tb.Insert(3, 3), nullptr);
  EXPECT_EQ(tb.Insert(9, 5), nullptr);
  EXPECT_EQ(tb.Insert(9, -1), nullptr);
  ASSERT_EQ(tb.GetSize(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(tb.Get()[i], i);

  int* stored = tb.Insert(tb.Get()[3], 0);  // an element of the buffer itself
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(*stored, 3);
  EXPECT_EQ(tb.Resize(0x40000000), tb.Get()) << "oversized count leaves the buffer";
  EXPECT_EQ(tb.GetSize(), 5);
}
