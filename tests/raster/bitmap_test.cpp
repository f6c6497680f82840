// Memory and system bitmaps: spans, alignment, growth and failure.
#include <gtest/gtest.h>

#include <cstdint>

#include "raster/raster.h"

namespace {

TEST(MemBitmap, SpanFollowsLineAlignment) {
  PX_MemBitmap b(10, 10, 4);
  EXPECT_EQ(b.getRowSpan(), 12);
  EXPECT_EQ((uintptr_t)b.getBits() % 64, 0u);
  PX_MemBitmap plain(10, 3);
  EXPECT_EQ(plain.getRowSpan(), 10);
  PX_MemBitmap odd(10, 3, 6);  // lowest set bit 2: pairs of pixels
  EXPECT_EQ(odd.getRowSpan(), 10);
  PX_MemBitmap wide(10, 3, 64);  // held at 16 pixels
  EXPECT_EQ(wide.getRowSpan(), 16);
}

TEST(MemBitmap, ResizeReportsChangeAndKeepsStorage) {
  PX_MemBitmap b(8, 8, 4);
  PX_pixel* first = b.getBits();
  EXPECT_FALSE(b.resize(8, 8));
  EXPECT_TRUE(b.resize(4, 4));
  EXPECT_EQ(b.getBits(), first);  // never shrinks
  EXPECT_TRUE(b.resize(100, 50));
  ASSERT_NE(b.getBits(), nullptr);
  EXPECT_EQ(b.getWidth(), 100);
  PX_Clear(&b, 0x12345678);  // the whole buffer is writable
  EXPECT_EQ(PX_GetPixel(&b, 99, 49), 0x12345678u);
}

TEST(MemBitmap, EmptyAndImpossibleSizesGiveNoStorage) {
  PX_MemBitmap b(0, 5);
  EXPECT_EQ(b.getBits(), nullptr);
  EXPECT_TRUE(b.resize(-3, 4));
  EXPECT_EQ(b.getBits(), nullptr);
  EXPECT_EQ(b.getWidth(), 0);
  EXPECT_TRUE(b.resize(INT32_MAX, INT32_MAX));
  EXPECT_EQ(b.getBits(), nullptr);
  EXPECT_EQ(b.getWidth(), 0);
  EXPECT_EQ(b.getHeight(), 0);
  EXPECT_TRUE(b.resize(3, 3));
  EXPECT_NE(b.getBits(), nullptr);
}

TEST(SysBitmap, SpanPaddedToFourAndKeptOnShrink) {
  PX_SysBitmap b(10, 10);
  ASSERT_NE(b.getBits(), nullptr);
  EXPECT_NE(b.getDC(), nullptr);
  EXPECT_EQ(b.getRowSpan(), 12);
  EXPECT_EQ(PX_GetPixel(&b, 9, 9), 0u);  // starts zero-filled
  PX_pixel* bits = b.getBits();
  EXPECT_TRUE(b.resize(8, 8));
  EXPECT_EQ(b.getRowSpan(), 12);
  EXPECT_EQ(b.getBits(), bits);
  EXPECT_FALSE(b.resize(8, 8));
  EXPECT_TRUE(b.resize(20, 4));
  EXPECT_EQ(b.getRowSpan(), 20);
  PX_Clear(&b, 0xFFFFFFFF);
  EXPECT_EQ(PX_GetPixel(&b, 19, 3), 0xFFFFFFFFu);
}

TEST(SysBitmap, EmptySizeHasNoStorage) {
  PX_SysBitmap b(0, 0);
  EXPECT_EQ(b.getBits(), nullptr);
  EXPECT_EQ(b.getDC(), nullptr);
  EXPECT_TRUE(b.resize(-1, 5));
  EXPECT_EQ(b.getBits(), nullptr);
  EXPECT_EQ(b.getWidth(), 0);
}

}  // namespace
