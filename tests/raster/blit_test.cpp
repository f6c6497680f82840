// Plain and scaled blits against the reference.
#include <gtest/gtest.h>

#include <memory>

#include "random_case.h"
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "raster/pixels/cpu_p.h"
#include "reference.h"

namespace {

TEST(Blit, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(21);
  int drawn = 0;
  for (int iter = 0; iter < 4000; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 40, 20)), src(RandomBitmap(rng, 40, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const int dstx = g.pos(dest->getWidth()), dsty = g.pos(dest->getHeight());
    const float alpha = RandomBlitAlpha(rng);
    const int mode = RandomBlitMode(rng);
    if (rng() % 3 == 0) {
      PX_Blit(dest.get(), src.get(), dstx, dsty, nullptr, alpha, mode);
      RefBlit(ref, ImgOf(*src), dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), alpha, mode);
    } else {
      const RECT r = {g.pos(src->getWidth()), g.pos(src->getHeight()), g.pos(src->getWidth() * 2),
                      g.pos(src->getHeight() * 2)};
      PX_Blit(dest.get(), src.get(), dstx, dsty, &r, alpha, mode);
      RefBlit(ref, ImgOf(*src), dstx, dsty, r.left, r.top, r.right, r.bottom, alpha, mode);
    }
    ASSERT_TRUE(ImgOf(*dest).px == ref.px)
        << FirstDiff(ImgOf(*dest), ref) << " iter " << iter << " mode " << mode << " alpha "
        << alpha << " at " << dstx << "," << dsty;
    ASSERT_TRUE(dest->paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 800) << "too few cases drew anything (" << drawn << ")";
}

TEST(Blit, NegativeDestinationSkipsSourceColumns) {
  TestBitmap src(6, 1), dest(6, 1);
  for (int x = 0; x < 6; ++x) src.at(x, 0) = 100 + x;
  PX_Clear(&dest, 0);
  PX_Blit(&dest, &src, -3, 0, nullptr, 1.0f, 0);
  EXPECT_EQ(dest.at(0, 0), 103u);
  EXPECT_EQ(dest.at(2, 0), 105u);
  EXPECT_EQ(dest.at(3, 0), 0u);
  PX_Blit(&dest, &src, 0, 0, 1, 0, 2, 1, 1.0f, PX_COMBINE_CHANCOPY | (3 << 2) | 0);
  EXPECT_EQ(dest.at(0, 0), 103u | 101u << 24);  // alpha of 101 into the blue byte
  PX_Blit(nullptr, &src, 0, 0, nullptr, 1.0f, 0);
  PX_Blit(&dest, nullptr, 0, 0, nullptr, 1.0f, 0);
}

TEST(ScaledBlit, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(22);
  int drawn = 0;
  for (int iter = 0; iter < 4000; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 40, 24)), src(RandomBitmap(rng, 30, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const int dstx = g.pos(dest->getWidth()), dsty = g.pos(dest->getHeight());
    int dstw = g.size(dest->getWidth()), dsth = g.size(dest->getHeight());
    const float sw = (float)src->getWidth(), sh = (float)src->getHeight();
    float srcx = g.real(-sw / 2, sw), srcy = g.real(-sh / 2, sh);
    float srcw = g.real(-sw / 4, sw * 1.5f), srch = g.real(-sh / 4, sh * 1.5f);
    if (rng() % 6 == 0) {  // unscaled, possibly at a half-pixel offset
      srcw = (float)dstw;
      srch = (float)dsth;
      srcx = (float)(int)(rng() % 10) + (rng() % 2 ? 0.5f : 0.01f);
    }
    if (rng() % 6 == 0) {  // reductions by 2 and by 4 take the box filter
      const int k = rng() % 2 ? 2 : 4;
      dstw = src->getWidth() / k + 1;
      dsth = src->getHeight() / k + 1;
      srcx = srcy = 0;
      srcw = (float)dstw * k;
      srch = (float)dsth * k;
    }
    const float alpha = RandomBlitAlpha(rng);
    const int mode = RandomBlitMode(rng);
    PX_ScaledBlit(dest.get(), src.get(), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha,
                  mode);
    RefScaledBlit(ref, ImgOf(*src), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha, mode);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px)
        << FirstDiff(ImgOf(*dest), ref) << "iter " << iter << " mode " << mode << " alpha " << alpha
        << " dst " << dstx << "," << dsty << " " << dstw << "x" << dsth << " src " << srcx << ","
        << srcy << " " << srcw << "x" << srch;
    ASSERT_TRUE(dest->paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 800) << "too few cases drew anything (" << drawn << ")";
}

// The opaque bilinear and box-filter paths have their own vector kernels.
// Runs body once per vector level (each capped to what the processor has).
template <class F>
void ForEachSimdLevel(F body) {
  for (PxSimd level : {kPxAvx512, kPxAvx2, kPxSse2, kPxScalar}) {
    px_limit_simd(level);
    body();
  }
  px_limit_simd(kPxAvx512);
}

TEST(ScaledBlit, OpaqueFilteredScalingMatchesReference) {
  ForEachSimdLevel([] {
    std::mt19937 rng(24);
    int drawn = 0;
    for (int iter = 0; iter < 1000; ++iter) {
      std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 50, 40)), src(RandomBitmap(rng, 60, 50));
      CaseGen g(rng);
      Img ref = ImgOf(*dest);
      const Img before = ref;
      const float sw = (float)src->getWidth(), sh = (float)src->getHeight();
      const int dstx = g.pos(dest->getWidth()), dsty = g.pos(dest->getHeight());
      const int dstw = g.size(dest->getWidth() * 2), dsth = g.size(dest->getHeight() * 2);
      const float srcx = g.real(-sw / 4, sw), srcy = g.real(-sh / 4, sh);
      const float srcw = g.real(0, sw * 1.2f), srch = g.real(0, sh * 1.2f);
      const float alpha = rng() % 8 ? 1.0f : 0.5f;
      PX_ScaledBlit(dest.get(), src.get(), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha,
                    PX_FILTER_BILINEAR);
      RefScaledBlit(ref, ImgOf(*src), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, alpha,
                    PX_FILTER_BILINEAR);
      ASSERT_TRUE(ImgOf(*dest).px == ref.px) << FirstDiff(ImgOf(*dest), ref) << " iter " << iter;
      ASSERT_TRUE(dest->paddingIntact());
      drawn += ref.px != before.px;
    }
    EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
  });
}

TEST(Blit, SourceAlphaRowsMatchReference) {
  ForEachSimdLevel([] {
    std::mt19937 rng(25);
    for (int iter = 0; iter < 1000; ++iter) {
      std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 40, 8)), src(RandomBitmap(rng, 40, 8));
      Img ref = ImgOf(*dest);
      const float alpha = rng() % 3 ? 1.0f : (float)(1 + rng() % 256) / 256.0f;
      PX_Blit(dest.get(), src.get(), 0, 0, nullptr, alpha, PX_USE_SOURCE_ALPHA);
      RefBlit(ref, ImgOf(*src), 0, 0, 0, 0, src->getWidth(), src->getHeight(), alpha,
              PX_USE_SOURCE_ALPHA);
      ASSERT_TRUE(ImgOf(*dest).px == ref.px)
          << FirstDiff(ImgOf(*dest), ref) << " alpha " << alpha << " level " << px_simd();
    }
  });
}

// Runs of transparent, opaque and mixed source pixels (the vector kernels
// skip or copy whole groups) with channels at their extremes.
TEST(Blit, SourceAlphaRunsAndExtremesMatchReference) {
  ForEachSimdLevel([] {
    std::mt19937 rng(26);
    auto chan = [&] {
      const uint32_t edge[] = {0, 1, 127, 128, 254, 255};
      return rng() % 2 ? edge[rng() % 6] : rng() % 256;
    };
    for (int iter = 0; iter < 300; ++iter) {
      TestBitmap src(67, 3), dest(67, 3);
      for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 67;) {
          const int kind = (int)(rng() % 3), run = 1 + (int)(rng() % 20);
          for (int k = 0; k < run && x < 67; ++k, ++x) {
            const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : chan();
            src.at(x, y) = chan() << 24 | chan() << 16 | chan() << 8 | a;
            dest.at(x, y) = chan() << 24 | chan() << 16 | chan() << 8 | chan();
          }
        }
      Img ref = ImgOf(dest);
      const float alpha = rng() % 2 ? 1.0f : (float)(1 + rng() % 256) / 256.0f;
      // Any start in source and destination, so vector groups fall anywhere.
      const RECT r = {(int)(rng() % 9), 0, 67, 3};
      const int dstx = (int)(rng() % 9);
      PX_Blit(&dest, &src, dstx, 0, &r, alpha, PX_USE_SOURCE_ALPHA);
      RefBlit(ref, ImgOf(src), dstx, 0, r.left, r.top, r.right, r.bottom, alpha,
              PX_USE_SOURCE_ALPHA);
      ASSERT_TRUE(ImgOf(dest).px == ref.px)
          << FirstDiff(ImgOf(dest), ref) << " alpha " << alpha << " level " << px_simd();
    }
  });
}

TEST(ScaledBlit, UnscaledEqualsBlitAndMirrorReverses) {
  std::mt19937 rng(23);
  TestBitmap src(9, 7);
  FillRandom(src, rng);
  TestBitmap a(12, 10), b(12, 10);
  PX_Clear(&a, 0);
  PX_Clear(&b, 0);
  PX_ScaledBlit(&a, &src, 1, 2, 9, 7, 0, 0, 9, 7, 0.7f, PX_USE_SOURCE_ALPHA);
  PX_Blit(&b, &src, 1, 2, nullptr, 0.7f, PX_USE_SOURCE_ALPHA);
  EXPECT_EQ(PX_BitmapCmp(&a, &b), 0);
  PX_ScaledBlit(&a, &src, 0, 0, -9, 7, 0, 0, 9, 7, 1.0f, 0);  // mirrored, left of 0
  PX_Clear(&a, 0);
  PX_ScaledBlit(&a, &src, 9, 0, -9, 7, 0, 0, 9, 7, 1.0f, 0);
  for (int x = 0; x < 9; ++x) EXPECT_EQ(a.at(x, 3), src.at(8 - x, 3));
}

TEST(ScaledBlit, BilinearEdgesNeverReadPastTheSource) {
  // A 1-pixel source scaled up: every sample is the last column and row.
  TestBitmap src(1, 1), dest(8, 8);
  src.at(0, 0) = 0x80402010;
  PX_Clear(&dest, 0);
  PX_ScaledBlit(&dest, &src, 0, 0, 8, 8, 0, 0, 1, 1, 1.0f, PX_FILTER_BILINEAR);
  EXPECT_EQ(dest.at(7, 7), 0x80402010u);
  EXPECT_EQ(dest.at(0, 0), 0x80402010u);
}

}  // namespace
