// Rotated, delta and transform blits against the reference.
#include <gtest/gtest.h>

#include <memory>

#include "random_case.h"
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "reference.h"

namespace {

TEST(RotatedBlit, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(31);
  int drawn = 0;
  for (int iter = 0; iter < 6000; ++iter) {
    std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 36, 24)), src(RandomBitmap(rng, 24, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*dest);
    const Img before = ref;
    const int dstx = g.pos(dest->getWidth()), dsty = g.pos(dest->getHeight());
    const int dstw = g.size(dest->getWidth()), dsth = g.size(dest->getHeight());
    const float sw = (float)src->getWidth(), sh = (float)src->getHeight();
    const float srcx = g.real(-sw / 2, sw), srcy = g.real(-sh / 2, sh);
    const float srcw = g.real(-sw / 4, sw * 1.5f), srch = g.real(-sh / 4, sh * 1.5f);
    const float angle = g.real(-7, 7);
    const bool clip = rng() % 2;
    const float alpha = RandomBlitAlpha(rng);
    const int mode = RandomBlitMode(rng);
    const float cx = g.real(-5, 5), cy = g.real(-5, 5);
    PX_RotatedBlit(dest.get(), src.get(), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, angle,
                   clip, alpha, mode, cx, cy);
    RefRotatedBlit(ref, ImgOf(*src), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, angle, clip,
                   alpha, mode, cx, cy);
    ASSERT_TRUE(ImgOf(*dest).px == ref.px) << FirstDiff(ImgOf(*dest), ref) << " iter " << iter;
    ASSERT_TRUE(dest->paddingIntact());
    drawn += ref.px != before.px;
  }
  EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
}

TEST(RotatedBlit, ZeroAngleReproducesTheSource) {
  std::mt19937 rng(32);
  TestBitmap src(13, 9), dest(13, 9);
  FillRandom(src, rng);
  PX_Clear(&dest, 0);
  PX_RotatedBlit(&dest, &src, 0, 0, 13, 9, 0, 0, 13, 9, 0.0f, false, 1.0f, 0, 0, 0);
  EXPECT_EQ(PX_BitmapCmp(&dest, &src), 0);
}

// A weight below 1/256 leaves every pixel alone in every mode, HSV adjust
// (which would rewrite a pixel even at weight 0) included.
TEST(RotatedBlit, ZeroWeightChangesNothing) {
  std::mt19937 rng(33);
  TestBitmap src(12, 10), dest(12, 10, 1, true);
  FillRandom(src, rng);
  FillRandom(dest, rng);
  const Img before = ImgOf(dest);
  for (int mode : {0, 1, 2, 3, 4, 5, 0x10000, 0x10003, 0x10005})
    for (int filter : {0, (int)PX_FILTER_BILINEAR})
      for (float alpha : {0.0f, 0.0039f, -0.0039f})
        PX_RotatedBlit(&dest, &src, -2, 1, 14, 9, 0.5f, 0, 11, 10, 0.3f, false, alpha,
                       mode | filter, 0.5f, -1);
  EXPECT_EQ(ImgOf(dest).px, before.px);
  EXPECT_TRUE(dest.paddingIntact());
  // The same call at a weight of 1/256 does draw.
  PX_RotatedBlit(&dest, &src, -2, 1, 14, 9, 0.5f, 0, 11, 10, 0.3f, false, 0.004f,
                 PX_COMBINE_HSVADJUST, 0.5f, -1);
  EXPECT_NE(ImgOf(dest).px, before.px);
}

void RandomDeltaCase(std::mt19937& rng, bool withAlpha, int* drawn) {
  std::unique_ptr<TestBitmap> dest(RandomBitmap(rng, 36, 24)), src(RandomBitmap(rng, 24, 20));
  CaseGen g(rng);
  Img ref = ImgOf(*dest);
  const Img before = ref;
  const int dstx = g.pos(dest->getWidth()), dsty = g.pos(dest->getHeight());
  const int dstw = g.size(dest->getWidth()), dsth = g.size(dest->getHeight());
  const float sw = (float)src->getWidth(), sh = (float)src->getHeight();
  const float srcx = g.real(-sw / 2, sw), srcy = g.real(-sh / 2, sh);
  const float srcw = g.real(-sw / 4, sw * 1.5f), srch = g.real(-sh / 4, sh * 1.5f);
  double st[6];
  for (double& v : st) v = g.real(-1.5f, 1.5f);
  if (rng() % 2) st[4] = st[5] = 0;  // first order only
  if (rng() % 2) st[1] = st[2] = 0;  // no shear
  st[4] *= 0.05;
  st[5] *= 0.05;
  const bool clip = rng() % 2;
  const float alpha = RandomBlitAlpha(rng);
  const int mode = RandomBlitMode(rng);
  double da[3] = {0, 0, 0};
  if (withAlpha && rng() % 4)
    for (double& v : da) v = g.real(-0.1f, 0.1f);
  if (withAlpha)
    PX_DeltaBlitAlpha(dest.get(), src.get(), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, st[0],
                      st[1], st[2], st[3], st[4], st[5], clip, alpha, mode, da[0], da[1], da[2]);
  else
    PX_DeltaBlit(dest.get(), src.get(), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, st[0],
                 st[1], st[2], st[3], st[4], st[5], clip, alpha, mode);
  RefDeltaBlit(ref, ImgOf(*src), dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, st[0], st[1],
               st[2], st[3], st[4], st[5], clip, alpha, mode, da[0], da[1], da[2]);
  ASSERT_TRUE(ImgOf(*dest).px == ref.px)
      << FirstDiff(ImgOf(*dest), ref) << " mode " << mode << " alpha " << alpha << " dst " << dstx
      << "," << dsty << " " << dstw << "x" << dsth << " src " << srcx << "," << srcy << " " << srcw
      << "x" << srch << " steps " << st[0] << " " << st[1] << " " << st[2] << " " << st[3] << " "
      << st[4] << " " << st[5] << " clip " << clip << " srcsize " << src->getWidth() << "x"
      << src->getHeight() << " flipped " << src->isFlipped();
  ASSERT_TRUE(dest->paddingIntact());
  *drawn += ref.px != before.px;
}

TEST(DeltaBlit, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(33);
  int drawn = 0;
  for (int iter = 0; iter < 6000; ++iter) {
    RandomDeltaCase(rng, false, &drawn);
    if (HasFatalFailure()) FAIL() << "iter " << iter;
  }
  EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
}

TEST(DeltaBlitAlpha, MatchesReferenceOnRandomCases) {
  std::mt19937 rng(34);
  int drawn = 0;
  for (int iter = 0; iter < 6000; ++iter) {
    RandomDeltaCase(rng, true, &drawn);
    if (HasFatalFailure()) FAIL() << "iter " << iter;
  }
  EXPECT_GT(drawn, 300) << "too few cases drew anything (" << drawn << ")";
}

TEST(DeltaBlit, SecondOrderTermsSurviveClipping) {
  // A walk clipped at the top-left edge lands every visible pixel where the
  // unclipped walk puts it.
  std::mt19937 rng(35);
  TestBitmap src(16, 16);
  FillRandom(src, rng);
  TestBitmap big(30, 30), small(20, 20);
  PX_Clear(&big, 0);
  PX_Clear(&small, 0);
  PX_DeltaBlit(&big, &src, 0, 0, 30, 30, 0, 0, 16, 16, 0.5, 0, 0, 0.5, 1.0 / 64, 0, false, 1.0f, 0);
  PX_DeltaBlit(&small, &src, -10, -10, 30, 30, 0, 0, 16, 16, 0.5, 0, 0, 0.5, 1.0 / 64, 0, false,
               1.0f, 0);
  int same = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) same += small.at(x, y) == big.at(x + 10, y + 10);
  EXPECT_EQ(same, 400);
}

TEST(DeltaBlitAlpha, ZeroStepsDrawLikeDeltaBlit) {
  std::mt19937 rng(36);
  TestBitmap src(10, 10), a(12, 12), b(12, 12);
  FillRandom(src, rng);
  FillRandom(a, rng);
  PX_Blit(&b, &a, 0, 0, nullptr, 1.0f, 0);
  PX_DeltaBlit(&a, &src, 1, 1, 10, 10, 0, 0, 10, 10, 0.9, 0.1, -0.1, 0.9, 0, 0, false, 0.6f, 2);
  PX_DeltaBlitAlpha(&b, &src, 1, 1, 10, 10, 0, 0, 10, 10, 0.9, 0.1, -0.1, 0.9, 0, 0, false, 0.6f, 2,
                    0, 0, 0);
  EXPECT_EQ(PX_BitmapCmp(&a, &b), 0);
}

TEST(TransformBlit, IdentityMeshCopiesAndCellsMatchReference) {
  std::mt19937 rng(37);
  TestBitmap src(16, 12), dest(16, 12);
  FillRandom(src, rng);
  PX_Clear(&dest, 0);
  const float pts[] = {0, 0, 8, 0, 16, 0, 0, 6, 8, 6, 16, 6, 0, 12, 8, 12, 16, 12};
  PX_TransformBlit(&dest, &src, 0, 0, 16, 12, pts, 3, 3, 1.0f, 0);
  EXPECT_EQ(PX_BitmapCmp(&dest, &src), 0);

  for (int iter = 0; iter < 300; ++iter) {
    std::unique_ptr<TestBitmap> d(RandomBitmap(rng, 30, 30)), s(RandomBitmap(rng, 20, 20));
    CaseGen g(rng);
    Img ref = ImgOf(*d);
    const Img simg = ImgOf(*s);
    const int dw = (int)(rng() % 40) + 1, dh = (int)(rng() % 40) + 1;
    const int dx = (int)(rng() % 40) - 20, dy = (int)(rng() % 40) - 20;
    const int gw = 2 + rng() % 3, gh = 2 + rng() % 3;
    std::vector<double> p((size_t)gw * gh * 3);
    for (double& v : p) v = g.real(-4, 24);
    for (size_t i = 2; i < p.size(); i += 3) p[i] = g.real(0, 1);
    const int mode = RandomBlitMode(rng);
    PX_TransformBlit2Alpha(d.get(), s.get(), dx, dy, dw, dh, p.data(), gw, gh, mode);
    double y = dy;
    for (int r = 0; r + 1 < gh; ++r) {
      const int y0 = (int)y;
      y += (double)dh / (gh - 1);
      const int ch = (int)y - y0;
      double x = dx;
      for (int c = 0; c + 1 < gw; ++c) {
        const int x0 = (int)x;
        x += (double)dw / (gw - 1);
        const int cw = (int)x - x0;
        if (cw <= 0 || ch <= 0) continue;
        auto P = [&](int cc, int rr, int k) { return p[((size_t)rr * gw + cc) * 3 + k]; };
        const double dsdx = (P(c + 1, r, 0) - P(c, r, 0)) / cw,
                     dtdx = (P(c + 1, r, 1) - P(c, r, 1)) / cw;
        const double dsdy = (P(c, r + 1, 0) - P(c, r, 0)) / ch,
                     dtdy = (P(c, r + 1, 1) - P(c, r, 1)) / ch;
        const double dadx = (P(c + 1, r, 2) - P(c, r, 2)) / cw,
                     dady = (P(c, r + 1, 2) - P(c, r, 2)) / ch;
        RefDeltaBlit(
            ref, simg, x0, y0, cw, ch, (float)P(c, r, 0), (float)P(c, r, 1),
            (float)(P(c + 1, r, 0) - P(c, r, 0)), (float)(P(c + 1, r, 1) - P(c, r, 1)), dsdx, dtdx,
            dsdy, dtdy, ((P(c + 1, r + 1, 0) - P(c, r + 1, 0)) / cw - dsdx) / ch,
            ((P(c + 1, r + 1, 1) - P(c, r + 1, 1)) / cw - dtdx) / ch, false, (float)P(c, r, 2),
            mode, dadx, dady, ((P(c + 1, r + 1, 2) - P(c, r + 1, 2)) / cw - dadx) / ch);
      }
    }
    ASSERT_TRUE(ImgOf(*d).px == ref.px) << FirstDiff(ImgOf(*d), ref) << " iter " << iter;
  }
}

TEST(TransformBlit, DegenerateArgumentsDrawNothing) {
  TestBitmap src(4, 4), dest(4, 4);
  PX_Clear(&src, 1);
  PX_Clear(&dest, 0);
  const float pts[] = {0, 0, 4, 0, 0, 4, 4, 4};
  PX_TransformBlit(&dest, &src, 0, 0, 4, 4, pts, 1, 2, 1.0f, 0);
  PX_TransformBlit(&dest, &src, 0, 0, 0, 4, pts, 2, 2, 1.0f, 0);
  PX_TransformBlit(&dest, &src, 0, 0, 4, 4, nullptr, 2, 2, 1.0f, 0);
  PX_TransformBlit2(&dest, nullptr, 0, 0, 4, 4, nullptr, 2, 2, 1.0f, 0);
  EXPECT_EQ(dest.at(1, 1), 0u);
}

}  // namespace
