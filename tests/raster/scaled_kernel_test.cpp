// The opaque bilinear and box-reduction kernels against the reference on
// bitmaps wide enough for every vector width, their tails and the source edges.
#include <gtest/gtest.h>

#include "random_case.h"
#include "raster/raster.h"
#include "raster/blit/blit.h"
#include "raster/blit/scaled_p.h"
#include "raster/pixels/cpu_p.h"
#include "reference.h"

namespace {

// Scales a random source of sw x sh to dw x dh at offset (sx, sy), at every
// vector level, and compares each result with the reference.
void ExpectMatches(std::mt19937& rng, int sw, int sh, int dstx, int dsty, int dw, int dh, float sx,
                   float sy, float srcw, float srch) {
  const bool flipped = rng() % 2;
  TestBitmap src(sw, sh, (int)(rng() % 3), flipped);
  FillRandom(src, rng);
  TestBitmap start(dw + 5, dh + 3, (int)(rng() % 3), !flipped);
  FillRandom(start, rng);
  Img ref = ImgOf(start);
  RefScaledBlit(ref, ImgOf(src), dstx, dsty, dw, dh, sx, sy, srcw, srch, 1.0f, PX_FILTER_BILINEAR);
  for (PxSimd level : {kPxAvx512, kPxAvx2, kPxSse2, kPxScalar}) {
    px_limit_simd(level);
    TestBitmap dest(dw + 5, dh + 3, 0, !flipped);
    PX_Copy(&dest, &start);
    PX_ScaledBlit(&dest, &src, dstx, dsty, dw, dh, sx, sy, srcw, srch, 1.0f, PX_FILTER_BILINEAR);
    ASSERT_TRUE(ImgOf(dest).px == ref.px)
        << FirstDiff(ImgOf(dest), ref) << " level " << px_simd() << " src " << sw << "x" << sh
        << " at " << sx << "," << sy << " size " << srcw << "x" << srch << " dst " << dstx << ","
        << dsty << " " << dw << "x" << dh;
  }
  px_limit_simd(kPxAvx512);
}

TEST(ScaledKernels, UpscalingMatchesReferenceAtEveryLevel) {
  std::mt19937 rng(31);
  for (int iter = 0; iter < 60; ++iter) {
    const int sw = 2 + (int)(rng() % 40), sh = 2 + (int)(rng() % 20);
    const int dw = sw + (int)(rng() % (3 * sw + 20)), dh = sh + (int)(rng() % (2 * sh + 5));
    // Whole source (reaching its last column and row), or a fractional window.
    const bool whole = rng() % 2;
    const float sx = whole ? 0.0f : (float)(rng() % 1000) / 997.0f;
    const float sy = whole ? 0.0f : (float)(rng() % 1000) / 991.0f;
    ExpectMatches(rng, sw, sh, (int)(rng() % 5) - 2, (int)(rng() % 3), dw, dh, sx, sy,
                  (float)sw - sx, (float)sh - sy);
  }
}

TEST(ScaledKernels, MildReductionMatchesReferenceAtEveryLevel) {
  std::mt19937 rng(32);
  for (int iter = 0; iter < 40; ++iter) {
    const int sw = 16 + (int)(rng() % 60), sh = 4 + (int)(rng() % 20);
    const int dw = sw * 2 / 3 + (int)(rng() % (sw / 3)), dh = sh * 2 / 3 + 1;
    ExpectMatches(rng, sw, sh, 0, 0, dw, dh, 0.25f, 0.5f, (float)sw - 0.25f, (float)sh - 0.5f);
  }
}

TEST(ScaledKernels, BoxReductionsMatchReferenceAtEveryLevel) {
  std::mt19937 rng(33);
  for (int iter = 0; iter < 80; ++iter) {
    const int dw = 1 + (int)(rng() % 40), dh = 1 + (int)(rng() % 12);
    // By exactly two (its own kernel), and by factors between 1.7 and 3.
    const float k = iter % 2 ? 2.0f : 1.7f + (float)(rng() % 130) / 100.0f;
    const int sw = (int)((float)dw * k) + (int)(rng() % 3), sh = (int)((float)dh * k) + 1;
    const float sx = iter % 4 < 2 ? 0.0f : (float)(rng() % 3);
    ExpectMatches(rng, sw, sh, (int)(rng() % 3) - 1, 0, dw, dh, sx, 0.0f, (float)dw * k,
                  (float)dh * k);
  }
}

// Halvings whose first or last sampled row is the source's top or bottom row
// (a box of two rows), at widths around the 8-pixel vector groups.
TEST(ScaledKernels, HalvingAtTheTopAndBottomRowsMatchesReference) {
  std::mt19937 rng(34);
  for (int iter = 0; iter < 60; ++iter) {
    const int dw = 1 + (int)(rng() % 30), dh = 1 + (int)(rng() % 6);
    const float sx = (float)(rng() % 2), sy = (float)(iter % 2);
    // Height 2 dh - 1 + sy puts the last sample on the last row.
    const int sw = 2 * dw + (int)(rng() % 3), sh = 2 * dh - 1 + (int)sy + (int)(rng() % 2);
    ExpectMatches(rng, sw, sh, (int)(rng() % 3) - 1, 0, dw, dh, sx, sy, 2.0f * (float)dw,
                  2.0f * (float)dh);
  }
}

// The editor's sizes: many vector groups a row, rows sharing source rows in
// twos and threes, and the halving's row sums carried down every row.
TEST(ScaledKernels, EditorSizedScalingMatchesReference) {
  std::mt19937 rng(35);
  ExpectMatches(rng, 128, 128, 0, 0, 500, 332, 0.0f, 0.0f, 128.0f, 128.0f);
  ExpectMatches(rng, 1000, 664, 0, 0, 500, 332, 0.0f, 0.0f, 1000.0f, 664.0f);
  ExpectMatches(rng, 333, 250, 3, 1, 251, 190, 0.5f, 0.25f, 300.0f, 240.0f);
}

// The box means divide by multiplying: exact for every count the boxes have.
TEST(ScaledKernels, BoxSumDivisionIsExact) {
  for (int n = 1; n <= 32; ++n)
    for (int sum = 0; sum <= 255 * n; ++sum)
      ASSERT_EQ(px_div_sum(sum, n), sum / n) << sum << "/" << n;
}

}  // namespace
