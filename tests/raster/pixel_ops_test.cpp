// Fills, pixels, clears, masks, comparison and flood fill.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "random_case.h"
#include "raster/raster.h"
#include "raster/pixels/cpu_p.h"
#include "reference.h"

namespace {

float RandomAlpha(std::mt19937& rng) {
  const float fixed[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.0f, 0.001f, 1.5f, -0.5f};
  return rng() % 2 ? fixed[rng() % 8] : (float)(rng() % 1000) / 999.0f;
}

int RandomSolidMode(std::mt19937& rng) {
  const int modes[] = {0, 1, 2, 3, 4, 5, 6, 0x10000, 0x10001, 0x10003, 0x10005, 0x100};
  return modes[rng() % 12];
}

TEST(FillRect, MatchesReferenceOnRandomRectangles) {
  std::mt19937 rng(11);
  int drawn = 0;
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap bm(1 + rng() % 33, 1 + rng() % 20, rng() % 3, rng() % 2);
    FillRandom(bm, rng);
    CaseGen g(rng);
    Img ref = ImgOf(bm);
    const Img before = ref;
    const int x = g.pos(bm.getWidth()), y = g.pos(bm.getHeight());
    const int w = g.size(bm.getWidth()), h = g.size(bm.getHeight());
    const uint32_t colour = RandomPixel(rng);
    const float alpha = RandomAlpha(rng);
    const int mode = RandomSolidMode(rng);
    PX_FillRect(&bm, x, y, w, h, colour, alpha, mode);
    RefFillRect(ref, x, y, w, h, colour, alpha, mode);
    ASSERT_TRUE(ImgOf(bm).px == ref.px)
        << FirstDiff(ImgOf(bm), ref) << " iter " << iter << " mode " << mode << " alpha " << alpha;
    ASSERT_TRUE(bm.paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 600) << "too few cases drew anything (" << drawn << ")";
}

// Opaque fills store whole runs with the widest stores the level has; rows
// that follow each other in memory (no padding) are filled as one run, from
// the bottom row's start when the bitmap is stored flipped.
TEST(FillRect, OpaqueFillsMatchReferenceAtEveryVectorLevel) {
  std::mt19937 rng(12);
  for (PxSimd level : {kPxAvx512, kPxAvx2, kPxSse2, kPxScalar}) {
    px_limit_simd(level);
    for (int iter = 0; iter < 400; ++iter) {
      TestBitmap bm(1 + rng() % 70, 1 + rng() % 9, rng() % 2 ? 0 : 1 + rng() % 9, rng() % 2);
      FillRandom(bm, rng);
      Img ref = ImgOf(bm);
      const bool whole = rng() % 2;
      const int x = whole ? 0 : (int)(rng() % bm.getWidth());
      const int y = whole ? 0 : (int)(rng() % bm.getHeight());
      const int w = whole ? bm.getWidth() : 1 + (int)(rng() % bm.getWidth());
      const int h = whole ? bm.getHeight() : 1 + (int)(rng() % bm.getHeight());
      const uint32_t colour = RandomPixel(rng);
      PX_FillRect(&bm, x, y, w, h, colour, 1.0f, 0);
      RefFillRect(ref, x, y, w, h, colour, 1.0f, 0);
      ASSERT_TRUE(ImgOf(bm).px == ref.px)
          << FirstDiff(ImgOf(bm), ref) << " level " << level << " iter " << iter;
      ASSERT_TRUE(bm.paddingIntact()) << " level " << level << " iter " << iter;
    }
  }
  px_limit_simd(kPxAvx512);
}

TEST(FillRect, ClipsAndAveragesAlpha) {
  TestBitmap bm(6, 4);
  PX_Clear(&bm, 0);
  PX_FillRect(&bm, -2, 0, 4, 1, 0xFFFFFFFF, 1.0f, 0);  // width shortened to 2
  EXPECT_EQ(bm.at(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(bm.at(2, 0), 0u);
  PX_FillRect(&bm, 6, 0, 4, 4, 0xFFFFFFFF, 1.0f, 0);  // right of the bitmap
  EXPECT_EQ(bm.at(5, 1), 0u);
  PX_FillRect(&bm, 0, 2, 6, 1, 0xFEFEFEFE, 0.5f, 0);
  EXPECT_EQ(bm.at(3, 2), 0x7f7f7f7fu);  // alpha byte averaged too
}

TEST(FillRect, OpaqueAlphaWeightDoesNotWrap) {
  // Above opaque weight the weight, used as source alpha, saturates at 255
  // (300 + (255 - 300) x -44 / 256 = 307 would otherwise wrap to 51).
  TestBitmap bm(1, 1);
  bm.at(0, 0) = PX_PackRGBA(0, 0, 0, 255);
  PX_FillRect(&bm, 0, 0, 1, 1, PX_PackRGBA(255, 0, 0, 0), 300.0f / 256.0f, 0);
  EXPECT_EQ(bm.at(0, 0), PX_PackRGBA(255, 0, 0, 255));
}

TEST(PutPixel, MatchesReferenceAndIgnoresOutside) {
  std::mt19937 rng(12);
  int drawn = 0;
  for (int iter = 0; iter < 3000; ++iter) {
    TestBitmap bm(1 + rng() % 9, 1 + rng() % 9, rng() % 2, rng() % 2);
    FillRandom(bm, rng);
    Img ref = ImgOf(bm);
    const Img before = ref;
    const int x = (int)(rng() % (bm.getWidth() + 2)) - 1;
    const int y = (int)(rng() % (bm.getHeight() + 2)) - 1;
    const uint32_t colour = RandomPixel(rng);
    const float alpha = RandomAlpha(rng);
    const int mode = RandomSolidMode(rng);
    PX_PutPixel(&bm, x, y, colour, alpha, mode);
    RefPutPixel(ref, x, y, colour, alpha, mode);
    ASSERT_TRUE(ImgOf(bm).px == ref.px) << FirstDiff(ImgOf(bm), ref) << iter;
    ASSERT_EQ(PX_GetPixel(&bm, x, y), ref.inside(x, y) ? ref.at(x, y) : 0u);
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 600) << "too few cases drew anything (" << drawn << ")";
}

TEST(PixelOps, NullAndEmptyBitmapsAreIgnored) {
  PX_MemBitmap empty;
  for (PX_IBitmap* bm : {(PX_IBitmap*)nullptr, (PX_IBitmap*)&empty}) {
    PX_Clear(bm, 1);
    PX_ClearRect(bm, 0, 0, 5, 5, 0, 1);
    PX_FillRect(bm, 0, 0, 5, 5, 1, 1.0f, 0);
    PX_PutPixel(bm, 0, 0, 1, 1.0f, 0);
    EXPECT_EQ(PX_GetPixel(bm, 0, 0), 0u);
    PX_ProcessRect(
        bm, 0, 0, 5, 5, [](PX_pixel*, void*) { FAIL(); }, nullptr);
    PX_SetAlphaFromColorMask(bm, 0);
    PX_SimpleFill(bm, 0, 0, 1);
    PX_Copy(bm, nullptr);
  }
  EXPECT_EQ(PX_BitmapCmp(nullptr, nullptr), 0);
  EXPECT_EQ(PX_BitmapCmp(nullptr, &empty), -1);
  EXPECT_EQ(PX_BitmapCmp(&empty, nullptr), 1);
}

TEST(PixelOps, ClearRectAndProcessRectHonourFlipAndClip) {
  TestBitmap bm(5, 4, 2, true);
  PX_Clear(&bm, 0x11111111);
  EXPECT_TRUE(bm.paddingIntact());
  PX_ClearRect(&bm, -1, 1, 3, 2, 0xFF, 0x22000000);
  EXPECT_EQ(bm.at(0, 1), 0x22000011u);
  EXPECT_EQ(bm.at(1, 2), 0x22000011u);
  EXPECT_EQ(bm.at(2, 1), 0x11111111u);
  EXPECT_EQ(bm.at(0, 0), 0x11111111u);
  int count = 0;
  PX_ProcessRect(
      &bm, 3, 2, 10, 10, [](PX_pixel* p, void* n) { *p = ++*(int*)n; }, &count);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(bm.at(3, 2), 1u);  // top row first
  EXPECT_EQ(bm.at(4, 3), 4u);
  EXPECT_TRUE(bm.paddingIntact());
}

TEST(PixelOps, AlphaFromColourMask) {
  TestBitmap bm(3, 1);
  bm.at(0, 0) = 0x33221177;
  bm.at(1, 0) = 0x33221100;
  bm.at(2, 0) = 0x44221100;
  PX_SetAlphaFromColorMask(&bm, 0x33221100);
  EXPECT_EQ(bm.at(0, 0), 0x33221100u);
  EXPECT_EQ(bm.at(1, 0), 0x33221100u);
  EXPECT_EQ(bm.at(2, 0), 0x442211FFu);
  PX_SetAlphaFromColorMask(&bm, 0x33221101);  // alpha in the colour: nothing matches
  EXPECT_EQ(bm.at(0, 0), 0x332211FFu);
}

TEST(PixelOps, CopyResizesAndCopies) {
  TestBitmap src(7, 5, 1, true);
  std::mt19937 rng(3);
  FillRandom(src, rng);
  PX_MemBitmap dest(2, 2, 4);
  PX_Copy(&dest, &src);
  EXPECT_EQ(dest.getWidth(), 7);
  EXPECT_EQ(PX_BitmapCmp(&dest, &src), 0);
}

TEST(BitmapCmp, SizesOrderAndBoundingBox) {
  TestBitmap a(6, 8), b(6, 8, 3, true), c(7, 8);
  PX_Clear(&a, 5);
  PX_Clear(&b, 5);
  int box[4] = {9, 9, 9, 9};
  EXPECT_EQ(PX_BitmapCmp(&a, &b, box), 0);
  EXPECT_EQ(box[0] + box[1] + box[2] + box[3], 0);
  EXPECT_EQ(PX_BitmapCmp(&a, &c), 1);  // b.width - a.width
  b.at(3, 5) = 6;
  EXPECT_NE(PX_BitmapCmp(&a, &b), 0);
  EXPECT_EQ(PX_BitmapCmp(&a, &b, box), 1);
  EXPECT_EQ(box[0], 3);
  EXPECT_EQ(box[1], 5);
  EXPECT_EQ(box[2], 1);
  EXPECT_EQ(box[3], 1);
  EXPECT_EQ(PX_BitmapCmpEx(&a, &b, 0xFFFFFFF0, box), 0);  // masked out
  b.at(0, 6) = 7;
  b.at(5, 2) = 7;
  EXPECT_EQ(PX_BitmapCmp(&a, &b, box), 1);
  EXPECT_EQ(box[0], 0);
  EXPECT_EQ(box[1], 2);
  EXPECT_EQ(box[2], 6);
  EXPECT_EQ(box[3], 5);
}

TEST(BitmapCmp, RandomBoundingBoxes) {
  std::mt19937 rng(4);
  for (int iter = 0; iter < 500; ++iter) {
    const int w = 1 + rng() % 20, h = 1 + rng() % 20;
    TestBitmap a(w, h, 0, rng() % 2), b(w, h, 1, rng() % 2);
    PX_Clear(&a, 0);
    PX_Clear(&b, 0);
    int l = w, t = h, r = -1, btm = -1;
    for (int n = rng() % 4; n > 0; --n) {
      const int x = rng() % w, y = rng() % h;
      b.at(x, y) = 1;
      l = std::min(l, x);
      r = std::max(r, x);
      t = std::min(t, y);
      btm = std::max(btm, y);
    }
    int box[4];
    const int res = PX_BitmapCmp(&a, &b, box);
    if (r < 0) {
      ASSERT_EQ(res, 0);
    } else {
      ASSERT_EQ(res, 1);
      ASSERT_EQ(box[0], l);
      ASSERT_EQ(box[1], t);
      ASSERT_EQ(box[2], r - l + 1);
      ASSERT_EQ(box[3], btm - t + 1);
    }
  }
}

TEST(SimpleFill, FillsRunsAnchoredOnTheColumn) {
  // 0 = open, 1 = wall. The top-right pocket and the open pixel below row 2
  // are reachable only through runs not anchored on column 0.
  const char* rows[] = {"0010", "0010", "0000", "1101", "0001"};
  TestBitmap bm(4, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 4; ++x) bm.at(x, y) = rows[y][x] == '1' ? 0xFF : 0;
  PX_SimpleFill(&bm, 0, 0, 0x100, 0xFFFFFFFF, 0);
  const char* want[] = {"2210", "2210", "2222", "1101", "0001"};
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint32_t expect = want[y][x] == '2' ? 0x100 : want[y][x] == '1' ? 0xFF : 0;
      EXPECT_EQ(bm.at(x, y), expect) << x << "," << y;
    }
  // Starting on a wall pixel fills the wall up its column, keeping masked bits.
  PX_SimpleFill(&bm, 3, 4, 0x7, 0xFFFFFFFF, 0xF0);
  EXPECT_EQ(bm.at(3, 4), 0xF7u);
  EXPECT_EQ(bm.at(3, 3), 0xF7u);
  EXPECT_EQ(bm.at(3, 2), 0x100u);
  PX_SimpleFill(&bm, -1, 0, 1);
  PX_SimpleFill(&bm, 0, 5, 1);
}

}  // namespace
