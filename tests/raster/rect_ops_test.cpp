// Gradient fill, multiply-add, blur and halving against the reference.
#include <gtest/gtest.h>

#include <climits>
#include <memory>

#include "random_case.h"
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "reference.h"

namespace {

TEST(GradRect, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(41);
  int drawn = 0;
  for (int iter = 0; iter < 2000; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 30, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const int x = g.pos(dest->getWidth()), y = g.pos(dest->getHeight());
    const int w = g.size(dest->getWidth()), h = g.size(dest->getHeight());
    float st[4], dx[4], dy[4];
    for (int k = 0; k < 4; ++k) {
      st[k] = g.real(-0.5f, 1.5f);
      dx[k] = g.real(-0.05f, 0.05f);
      dy[k] = g.real(-0.05f, 0.05f);
    }
    if (rng() % 4 == 0) {
      st[3] = 1.0f;
      dx[3] = dy[3] = 0;
    }
    const int mode = (int)(rng() % 8);
    PX_GradRect(dest.get(), x, y, w, h, st[0], st[1], st[2], st[3], dx[0], dx[1], dx[2], dx[3],
                dy[0], dy[1], dy[2], dy[3], mode);
    RefGradRect(ref, x, y, w, h, st, dx, dy, mode);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px)
        << FirstDiff(ImgOf(*dest), ref) << " iter " << iter << " mode " << mode;
    ASSERT_TRUE(dest->paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 400) << "too few cases drew anything (" << drawn << ")";
}

// Colours far above opaque and steep ramps, also from far-off origins whose
// starts move by billions: every value is exact (held only at the int range).
TEST(GradRect, LargeColoursMatchReference) {
  std::mt19937 rng(43);
  for (int iter = 0; iter < 1500; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 30, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const int x = g.pos(dest->getWidth()), y = g.pos(dest->getHeight());
    const int w = g.size(dest->getWidth()), h = g.size(dest->getHeight());
    float st[4], dx[4], dy[4];
    for (int k = 0; k < 4; ++k) {
      st[k] = g.real(-150, 150);
      dx[k] = g.real(-20, 20);
      dy[k] = g.real(-20, 20);
    }
    const int mode = (int)(rng() % 7);
    PX_GradRect(dest.get(), x, y, w, h, st[0], st[1], st[2], st[3], dx[0], dx[1], dx[2], dx[3],
                dy[0], dy[1], dy[2], dy[3], mode);
    RefGradRect(ref, x, y, w, h, st, dx, dy, mode);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px)
        << FirstDiff(ImgOf(*dest), ref) << " iter " << iter << " mode " << mode;
    ASSERT_TRUE(dest->paddingIntact());
  }
}

// The steepest ramps seen from the farthest visible origin: values run far
// beyond the int range and are held at its ends.
TEST(GradRect, FarOffOriginWithSteepestRamps) {
  std::mt19937 rng(45);
  const float big = 1e9f;
  const float st[4] = {big, big, -big, big}, dx[4] = {-big, -big, big, -big},
              dy[4] = {-big, -big, big, -big};
  for (int mode = 0; mode < 6; ++mode) {
    TestBitmap bm(8, 4);
    FillRandom(bm, rng);
    Img ref = ImgOf(bm);
    const Img before = ref;
    PX_GradRect(&bm, INT_MIN + 4, INT_MIN + 3, INT_MAX, INT_MAX, st[0], st[1], st[2], st[3], dx[0],
                dx[1], dx[2], dx[3], dy[0], dy[1], dy[2], dy[3], mode);
    RefGradRect(ref, INT_MIN + 4, INT_MIN + 3, INT_MAX, INT_MAX, st, dx, dy, mode);
    ASSERT_NE(ImgOf(bm).px, before.px) << mode;
    ASSERT_TRUE(ImgOf(bm).px == ref.px) << FirstDiff(ImgOf(bm), ref) << " mode " << mode;
  }
}

// A flat gradient is the single-pixel combine of its values at weight alpha.
TEST(GradRect, FlatRampIsCombinePixels2Clamp) {
  std::mt19937 rng(44);
  for (int mode = 0; mode < 6; ++mode) {
    TestBitmap bm(6, 3), want(6, 3);
    FillRandom(bm, rng);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 6; ++x) want.at(x, y) = bm.at(x, y);
    PX_GradRect(&bm, 0, 0, 6, 3, 3.0f, 0.5f, -2.0f, 20.0f, 0, 0, 0, 0, 0, 0, 0, 0, mode);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 6; ++x) {
        PX_CombinePixels2Clamp(&want.at(x, y), 765, 127, -510, 5120, 5120, mode);
        ASSERT_EQ(bm.at(x, y), want.at(x, y)) << mode;
      }
  }
}

TEST(GradRect, OpaqueRampWritesExactColours) {
  TestBitmap bm(4, 1);
  PX_Clear(&bm, 0);
  PX_GradRect(&bm, 0, 0, 4, 1, 0, 0.5f, 1, 1, 0.25f, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(PX_GETR(bm.at(0, 0)), 0u);
  EXPECT_EQ(PX_GETR(bm.at(2, 0)), 127u);  // 2 x 0.25 x 255 = 127.5, truncated
  EXPECT_EQ(PX_GETG(bm.at(3, 0)), 127u);
  EXPECT_EQ(PX_GETB(bm.at(3, 0)), 255u);
  EXPECT_EQ(PX_GETA(bm.at(3, 0)), 255u);  // 256 clamped
}

TEST(MultiplyAddRect, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(42);
  int drawn = 0;
  for (int iter = 0; iter < 1500; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 30, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const int x = g.pos(dest->getWidth()), y = g.pos(dest->getHeight());
    const int w = g.size(dest->getWidth()), h = g.size(dest->getHeight());
    float sc[4], add[4];
    for (int k = 0; k < 4; ++k) {
      sc[k] = g.real(-1, 3);
      add[k] = g.real(-300, 300);
    }
    PX_MultiplyAddRect(dest.get(), x, y, w, h, sc[0], sc[1], sc[2], sc[3], add[0], add[1], add[2],
                       add[3]);
    RefMultiplyAdd(ref, x, y, w, h, sc, add);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px) << FirstDiff(ImgOf(*dest), ref) << " iter " << iter;
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
}

TEST(Blur, UniformInteriorLosesOnlyTruncation) {
  TestBitmap src(5, 5), dest(5, 5);
  PX_Clear(&src, 0xFFFFFFFF);
  PX_Blur(&dest, &src, 0, 0, 0, 0, 5, 5);
  EXPECT_EQ(dest.at(2, 2), 0xFBFBFBFBu);  // 127 + 4 x 31 = 251
  EXPECT_EQ(dest.at(0, 2), 0xFCFCFCFCu);  // 127 + 63 + 31 + 31
  EXPECT_EQ(dest.at(0, 0), 0xFDFDFDFDu);  // 127 + 63 + 63
}

TEST(Blur, MatchesReferenceIncludingInPlace) {
  std::mt19937 rng(43);
  int drawn = 0;
  for (int iter = 0; iter < 4000; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 30, 20)), src(RandomBitmap(rng, 30, 20));
    const bool inPlace = rng() % 3 == 0;
    TestBitmap* s = inPlace ? dest.get() : src.get();
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const Img simg = ImgOf(*s);
    const int dx = g.pos(dest->getWidth()), dy = g.pos(dest->getHeight());
    const int sx = g.pos(s->getWidth()), sy = g.pos(s->getHeight());
    const int sw = g.size(s->getWidth()), sh = g.size(s->getHeight());
    PX_Blur(dest.get(), s, dx, dy, sx, sy, sw, sh);
    RefBlur(ref, simg, dx, dy, sx, sy, sw, sh);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px)
        << FirstDiff(ImgOf(*dest), ref) << " iter " << iter << (inPlace ? " in place" : "");
    ASSERT_TRUE(dest->paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
}

TEST(HalveBlitAA, AveragesBlocksAndMatchesReference) {
  TestBitmap src(5, 4), dest(4, 4);
  PX_Clear(&src, 0x80808080);
  PX_Clear(&dest, 1);
  PX_HalveBlitAA(&dest, &src);
  EXPECT_EQ(dest.at(1, 1), 0x80808080u);
  EXPECT_EQ(dest.at(2, 0), 1u);  // a 5-wide source gives 2 columns
  std::mt19937 rng(44);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap s(1 + rng() % 30, 1 + rng() % 30, rng() % 3),
        d(1 + rng() % 20, 1 + rng() % 20, rng() % 2);
    FillRandom(s, rng);
    FillRandom(d, rng);
    Img ref = ImgOf(d);
    PX_HalveBlitAA(&d, &s);
    RefHalve(ref, ImgOf(s));
    ASSERT_TRUE(ImgOf(d).px == ref.px) << FirstDiff(ImgOf(d), ref);
    ASSERT_TRUE(d.paddingIntact());
  }
}

}  // namespace
