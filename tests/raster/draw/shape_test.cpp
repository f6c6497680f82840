// Lines, rectangles, circles, arcs, polygons and curves: geometry checked
// against plain definitions, single blending checked with half-weight draws,
// and hostile coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "raster/raster.h"
#include "raster/shapes/shapes.h"
#include "../test_bitmap.h"

namespace {

constexpr PX_pixel kBlack = 0x000000FFu;
const PX_pixel kWhite = PX_PackRGBA(255, 255, 255, 255);
// White half-mixed once onto opaque black: per channel, or as a whole word
// (which truncates the alpha byte too).
const PX_pixel kHalf = 0x7F7F7FFFu, kHalfWord = 0x7F7F7FFEu;
bool IsHalf(PX_pixel p) { return p == kHalf || p == kHalfWord; }

void Clear(TestBitmap& b, PX_pixel c = kBlack) {
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x) b.at(x, y) = c;
}

int Count(TestBitmap& b, PX_pixel c) {
  int n = 0;
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x) n += b.at(x, y) == c;
  return n;
}

// Every pixel either untouched or blended exactly once at half weight.
::testing::AssertionResult BlendedOnce(TestBitmap& b) {
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x)
      if (b.at(x, y) != kBlack && !IsHalf(b.at(x, y)))
        return ::testing::AssertionFailure()
               << "pixel " << x << "," << y << " = " << std::hex << b.at(x, y);
  return ::testing::AssertionSuccess();
}

TEST(LineClip, EndsLandOnTheEdgesItCrosses) {
  int x1 = -10, y1 = 5, x2 = 30, y2 = 5;
  ASSERT_TRUE(PX_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 20, 10));
  EXPECT_EQ(x1, 0);
  EXPECT_EQ(x2, 19);
  x1 = 5;
  y1 = -7;
  x2 = 5;
  y2 = 70;
  ASSERT_TRUE(PX_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 20, 10));
  EXPECT_EQ(y1, 0);
  EXPECT_EQ(y2, 9);
  x1 = -5;
  y1 = -5;
  x2 = -1;
  y2 = 30;
  EXPECT_FALSE(PX_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 20, 10));
  x1 = 25;
  y1 = 15;
  x2 = 40;
  y2 = 30;
  EXPECT_FALSE(PX_ClipLine(&x1, &y1, &x2, &y2, 0, 0, 20, 10));
  // An offset rectangle clips the same way, shifted.
  x1 = -10;
  y1 = 105;
  x2 = 30;
  y2 = 105;
  ASSERT_TRUE(PX_ClipLine(&x1, &y1, &x2, &y2, 0, 100, 20, 110));
  EXPECT_EQ(y1, 105);
  EXPECT_EQ(x2, 19);
  float f1 = -2.5f, g1 = 1.5f, f2 = 40.f, g2 = 1.5f;
  ASSERT_TRUE(PX_ClipFLine(&f1, &g1, &f2, &g2, 0, 0, 20, 10));
  EXPECT_EQ(f1, 0.f);
  EXPECT_EQ(f2, 19.f);
  float n = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(PX_ClipFLine(&n, &g1, &f2, &g2, 0, 0, 20, 10));
}

// Plain lines: one pixel per major step, each within one pixel of the ideal
// line, both ends drawn, nothing outside the bitmap; clipped lines included.
TEST(Line, PlainLinesFollowTheIdealLine) {
  std::mt19937 rng(11);
  for (int iter = 0; iter < 600; ++iter) {
    TestBitmap bm(1 + rng() % 40, 1 + rng() % 40, rng() % 3, rng() % 2);
    Clear(bm);
    const int w = bm.getWidth(), h = bm.getHeight();
    int x1 = (int)(rng() % (w + 40)) - 20, y1 = (int)(rng() % (h + 40)) - 20;
    int x2 = (int)(rng() % (w + 40)) - 20, y2 = (int)(rng() % (h + 40)) - 20;
    PX_Line(&bm, x1, y1, x2, y2, kWhite, 1.0f, 0, false);
    ASSERT_TRUE(bm.paddingIntact());
    // A flipped bitmap clips in memory rows.
    const bool flipped = bm.isFlipped();
    int cx1 = x1, cy1 = flipped ? h - 1 - y1 : y1, cx2 = x2, cy2 = flipped ? h - 1 - y2 : y2;
    const bool visible = PX_ClipLine(&cx1, &cy1, &cx2, &cy2, 0, 0, w, h);
    if (flipped) {
      cy1 = h - 1 - cy1;
      cy2 = h - 1 - cy2;
    }
    if (!visible) {
      ASSERT_EQ(Count(bm, kWhite), 0) << iter;
      continue;
    }
    ASSERT_EQ(bm.at(cx1, cy1), kWhite) << iter;
    ASSERT_EQ(bm.at(cx2, cy2), kWhite) << iter;
    const bool xmajor = std::abs(cx2 - cx1) >= std::abs(cy2 - cy1);
    const int n = xmajor ? std::abs(cx2 - cx1) : std::abs(cy2 - cy1);
    ASSERT_EQ(Count(bm, kWhite), n + 1) << iter;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        if (bm.at(x, y) != kWhite) continue;
        // Distance along the minor axis to the clipped line.
        double off;
        if (n == 0) off = std::hypot(x - cx1, y - cy1);
        else if (xmajor) off = std::fabs(cy1 + (double)(cy2 - cy1) * (x - cx1) / (cx2 - cx1) - y);
        else off = std::fabs(cx1 + (double)(cx2 - cx1) * (y - cy1) / (cy2 - cy1) - x);
        ASSERT_LE(off, 1.0) << iter << " at " << x << "," << y;
      }
  }
}

TEST(Line, HalfWeightLinesBlendEachPixelOnce) {
  std::mt19937 rng(3);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap bm(30, 30);
    Clear(bm);
    PX_Line(&bm, (int)(rng() % 50) - 10, (int)(rng() % 50) - 10, (int)(rng() % 50) - 10,
            (int)(rng() % 50) - 10, kWhite, 0.5f, 0, false);
    ASSERT_TRUE(BlendedOnce(bm)) << iter;
  }
}

TEST(Line, DiagonalWithAndWithoutAntiAliasing) {
  TestBitmap bm(6, 6);
  Clear(bm);
  PX_Line(&bm, 0, 0, 3, 3, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Count(bm, kWhite), 4);
  Clear(bm);
  PX_Line(&bm, 0, 0, 3, 3, kWhite, 1.0f, 0, true);
  // Whole-word mixes of white onto black: 3/4 on the line, 1/4 beside it.
  const PX_pixel threeQuarter = 0xBEBEBEBEu + ((kBlack >> 2) & 0x3f3f3f3f);
  const PX_pixel quarter =
      0x3F3F3F3Fu + ((kBlack >> 1) & 0x7f7f7f7f) + ((kBlack >> 2) & 0x3f3f3f3f);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(bm.at(i, i), threeQuarter) << i;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bm.at(i + 1, i), quarter);
    EXPECT_EQ(bm.at(i, i + 1), quarter);
  }
  EXPECT_EQ(Count(bm, kBlack), 36 - 10);
}

TEST(Line, AntiAliasedWeightsSplitBetweenNeighbours) {
  // A shallow line: each interior column's two pixels share the full weight.
  TestBitmap bm(20, 6);
  Clear(bm, 0);
  PX_Line(&bm, 0, 1, 16, 4, PX_PackRGBA(255, 0, 0, 255), 1.0f, PX_COMBINE_ADD, true);
  for (int x = 1; x < 16; ++x) {
    int sum = 0;
    for (int y = 0; y < 6; ++y) sum += PX_GETR(bm.at(x, y));
    EXPECT_GE(sum, 250) << x;
    EXPECT_LE(sum, 256) << x;
  }
  // Floating-point lines keep the sub-pixel position.
  TestBitmap f(20, 6);
  Clear(f, 0);
  PX_FLine(&f, 0.0f, 2.25f, 19.0f, 2.25f, PX_PackRGBA(255, 0, 0, 255), 1.0f, PX_COMBINE_ADD, true);
  EXPECT_EQ(PX_GETR(f.at(5, 2)), 255u * (255 - 64) / 256);
  EXPECT_EQ(PX_GETR(f.at(5, 3)), 255u * 64 / 256);
}

TEST(Rect, OutlinesDashesAndBorders) {
  TestBitmap bm(20, 20);
  Clear(bm);
  PX_DrawRect(&bm, 2, 3, 10, 5, kWhite, 0.5f, 0);
  // w + 1 by h + 1 pixels; corners blended twice.
  EXPECT_FALSE(IsHalf(bm.at(2, 3)));
  EXPECT_NE(bm.at(2, 3), kBlack);
  EXPECT_TRUE(IsHalf(bm.at(5, 3)));
  EXPECT_TRUE(IsHalf(bm.at(12, 5)));
  EXPECT_TRUE(IsHalf(bm.at(7, 8)));
  EXPECT_EQ(bm.at(13, 5), kBlack);

  Clear(bm);
  PX_DashedLine(&bm, 0, 0, 10, 10, 2, 2, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Count(bm, kWhite), 0);
  PX_DashedLine(&bm, 4, 0, 4, 9, 1, 1, kWhite, 1.0f, 0, false);
  for (int y = 0; y < 10; ++y) EXPECT_EQ(bm.at(4, y), y % 2 == 0 ? kWhite : kBlack) << y;
  PX_DashedLine(&bm, 0, 15, 19, 15, 0, -3, kWhite, 1.0f, 0, false);  // no dash length: nothing

  Clear(bm);
  const PX_pixel red = PX_PackRGBA(255, 0, 0, 255);
  PX_BorderedRect(&bm, 1, 1, 5, 4, red, kWhite, 1.0f, 0);
  EXPECT_EQ(bm.at(1, 1), kWhite);
  EXPECT_EQ(bm.at(3, 3), red);
  EXPECT_EQ(bm.at(6, 5), kWhite);
  EXPECT_EQ(Count(bm, red), 4 * 3);

  TestBitmap a(20, 20), b(20, 20);
  Clear(a);
  Clear(b);
  PX_RoundRect(&a, 2, 2, 10, 8, 1, kWhite, 1.0f, 0, false);
  PX_DrawRect(&b, 2, 2, 10, 8, kWhite, 1.0f, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y));
}

TEST(Circle, SmallRadiusUsesTheTableLargerOnesTheMidpointPath) {
  TestBitmap table(11, 11), mid(11, 11);
  Clear(table);
  Clear(mid);
  PX_Circle(&table, 5, 5, 2.0f, kWhite, 1.0f, 0, false);
  PX_Circle(&mid, 5, 5, 2.25f, kWhite, 1.0f, 0, false);
  // r = 2: the 5 x 5 map (a diamond of 8 pixels), drawn at weight 255.
  const int diamond[8][2] = {{0, -2}, {-1, -1}, {1, -1}, {-2, 0}, {2, 0}, {-1, 1}, {1, 1}, {0, 2}};
  int lit = 0;
  for (auto& d : diamond) {
    EXPECT_NE(table.at(5 + d[0], 5 + d[1]), kBlack);
    ++lit;
  }
  EXPECT_EQ(Count(table, kBlack), 121 - lit);
  // r = 2.25 rounds to 2 on the midpoint path: axis points and (+-1, +-2), (+-2, +-1).
  for (int dy = -3; dy <= 3; ++dy)
    for (int dx = -3; dx <= 3; ++dx) {
      const bool on =
          (std::abs(dx) == 2 && std::abs(dy) <= 1) || (std::abs(dy) == 2 && std::abs(dx) <= 1);
      EXPECT_EQ(mid.at(5 + dx, 5 + dy), on ? kWhite : kBlack) << dx << "," << dy;
    }
}

TEST(Circle, PlainFillsBlendEachPixelOnceAndCoverTheDisc) {
  for (float r = 0.0f; r < 14.0f; r += 0.75f) {
    TestBitmap fill(40, 40), ring(40, 40);
    Clear(fill);
    Clear(ring);
    PX_FillCircle(&fill, 19.6f, 20.2f, r, kWhite, 0.5f, 0, false);
    ASSERT_TRUE(BlendedOnce(fill)) << r;
    PX_Circle(&ring, 19.6f, 20.2f, r, kWhite, 1.0f, 0, false);
    const int cx = 20, cy = 20, ir = (int)(r + 0.5f);
    for (int y = 0; y < 40; ++y) {
      int first = -1, last = -1;
      for (int x = 0; x < 40; ++x) {
        const bool in = IsHalf(fill.at(x, y));
        // The outline lies on the fill (only where the table is not used).
        if (ring.at(x, y) == kWhite && !(r >= 1.5f && r <= 4.0f)) {
          ASSERT_TRUE(in) << r << " " << x << "," << y;
        }
        if (in) {
          if (first < 0) first = x;
          ASSERT_TRUE(last < 0 || last == x - 1) << "row not contiguous " << r;
          last = x;
          ASSERT_LE(std::hypot(x - cx, y - cy), ir + 0.75) << r;
        }
      }
      if (first >= 0) {
        ASSERT_EQ(first + last, 2 * cx) << "row not symmetric " << r << " y " << y;
      }
    }
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (std::hypot(x - cx, y - cy) < ir - 0.75) {
          ASSERT_TRUE(IsHalf(fill.at(x, y))) << r;
        }
  }
}

// Radii below one half round to 0: the four axis points are one pixel, blended once.
TEST(Circle, OutlineOfRadiusZeroBlendsItsPixelOnce) {
  for (bool flipped : {false, true})
    for (float r : {0.0f, 0.3f, 0.49f}) {
      TestBitmap bm(9, 9, 0, flipped);
      Clear(bm);
      PX_Circle(&bm, 4.2f, 3.9f, r, kWhite, 0.5f, 0, false);
      EXPECT_TRUE(IsHalf(bm.at(4, 4))) << r << " " << std::hex << bm.at(4, 4);
      EXPECT_EQ(Count(bm, kBlack), 80) << r;
    }
}

TEST(Circle, AntiAliasedShapesStayInsideTheirRing) {
  TestBitmap bm(60, 60, 1, true);
  Clear(bm, 0);
  PX_Circle(&bm, 30, 30, 12.4f, PX_PackRGBA(255, 0, 0, 255), 1.0f, PX_COMBINE_ADD, true);
  int lit = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x)
      if (PX_GETR(bm.at(x, y))) {
        ++lit;
        ASSERT_NEAR(std::hypot(x - 30, y - 30), 12.4, 1.5);
      }
  EXPECT_GT(lit, 60);
  Clear(bm, 0);
  PX_FillCircle(&bm, 30, 30, 12.4f, PX_PackRGBA(255, 0, 0, 255), 1.0f, PX_COMBINE_ADD, true);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const double d = std::hypot(x - 30, y - 30);
      if (d < 11.5) {
        ASSERT_EQ(PX_GETR(bm.at(x, y)), 255u);
      }
      if (d > 13.9) {
        ASSERT_EQ(PX_GETR(bm.at(x, y)), 0u);
      }
    }
  EXPECT_TRUE(bm.paddingIntact());
}

TEST(Arc, QuarterFromZeroIsUpperRightAlsoOnFlippedBitmaps) {
  for (bool flipped : {false, true}) {
    TestBitmap bm(40, 40, 0, flipped);
    Clear(bm);
    PX_Arc(&bm, 20, 20, 10, 0, 1.5707964f, kWhite, 1.0f, 0, false);
    int lit = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (bm.at(x, y) == kWhite) {
          ++lit;
          ASSERT_GE(x, 20) << flipped;
          ASSERT_LE(y, 20) << flipped;
        }
    EXPECT_GT(lit, 10);
    EXPECT_EQ(bm.at(20, 10), kWhite);
    EXPECT_EQ(bm.at(30, 20), kWhite);
  }
}

TEST(Polygon, TrapezoidOfVerticalEdgesIsARectangleFill) {
  std::mt19937 rng(9);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap a(25, 25, rng() % 2, rng() % 2), b(25, 25, 0, a.isFlipped());
    FillRandom(a, rng);
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 25; ++x) b.at(x, y) = a.at(x, y);
    const int xa = (int)(rng() % 40) - 8, xb = (int)(rng() % 40) - 8;
    const int y1 = (int)(rng() % 40) - 8, y2 = (int)(rng() % 40) - 8;
    const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.3f};
    const float alpha = alphas[rng() % 5];
    const int mode = (int)(rng() % 6);
    const PX_pixel colour = RandomPixel(rng) | 0xFF;
    PX_FillTrapezoid(&a, xa, xb, y1, xa, xb, y2, colour, alpha, mode);
    PX_FillRect(&b, std::min(xa, xb), std::min(y1, y2), std::abs(xb - xa) + 1,
                std::abs(y2 - y1) + 1, colour, alpha, mode);
    for (int y = 0; y < 25; ++y)
      for (int x = 0; x < 25; ++x)
        // Fills pass the weight as source alpha; shapes pass the colour's alpha.
        ASSERT_EQ(a.at(x, y) | 0xFF, b.at(x, y) | 0xFF) << iter << " " << x << "," << y;
    ASSERT_TRUE(a.paddingIntact());
  }
}

// Triangles and polygons: every pixel blended at most once; pixels well inside
// are filled, pixels well outside are not.
TEST(Polygon, ConvexFillsCoverTheirInsideOnce) {
  std::mt19937 rng(21);
  for (int iter = 0; iter < 300; ++iter) {
    TestBitmap bm(32, 32, 0, rng() % 2);
    Clear(bm);
    int px[3], py[3];
    for (int i = 0; i < 3; ++i) {
      px[i] = (int)(rng() % 44) - 6;
      py[i] = (int)(rng() % 44) - 6;
    }
    PX_FillTriangle(&bm, px[0], py[0], px[1], py[1], px[2], py[2], kWhite, 0.5f, 0);
    ASSERT_TRUE(BlendedOnce(bm)) << iter;
    const double area =
        (px[1] - px[0]) * (double)(py[2] - py[0]) - (px[2] - px[0]) * (double)(py[1] - py[0]);
    if (area == 0) continue;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        // Signed distances to the three edges (positive inside).
        double dmin = 1e9;
        for (int i = 0; i < 3; ++i) {
          const int j = (i + 1) % 3;
          const double ex = px[j] - px[i], ey = py[j] - py[i];
          const double cross = (ex * (y - py[i]) - ey * (x - px[i])) * (area > 0 ? 1 : -1);
          dmin = std::min(dmin, cross / std::hypot(ex, ey));
        }
        if (dmin > 1.5) {
          ASSERT_TRUE(IsHalf(bm.at(x, y))) << iter << " " << x << "," << y;
        }
        if (dmin < -1.5) {
          ASSERT_EQ(bm.at(x, y), kBlack) << iter << " " << x << "," << y;
        }
      }
  }
  TestBitmap row(20, 5);
  Clear(row);
  const int xs[4] = {3, 9, 15, 6}, ys[4] = {2, 2, 2, 2};
  PX_FillConvexPolygon(&row, xs, ys, 4, kWhite, 1.0f, 0);
  EXPECT_EQ(Count(row, kWhite), 13);
  PX_FillConvexPolygon(&row, xs, ys, 2, kWhite, 1.0f, 0);
}

TEST(Bezier, ToleranceAndFillBehave) {
  TestBitmap a(40, 40), b(40, 40);
  Clear(a);
  Clear(b);
  PX_DrawCBezier(&a, 2, 30, 10, 0, 30, 0, 38, 30, kWhite, 1.0f, 0, false, 0.0f);
  PX_DrawCBezier(&b, 2, 30, 10, 0, 30, 0, 38, 30, kWhite, 1.0f, 0, false, -5.0f);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y));
  EXPECT_EQ(a.at(2, 30), kWhite);
  EXPECT_EQ(a.at(38, 30), kWhite);
  EXPECT_GT(Count(a, kWhite), 40);
  EXPECT_NEAR(PX_CBezier_GetY(0, 10, 20, 30, 0, 0, 30, 30, 15), 15.0, 1e-6);
  EXPECT_NEAR(PX_Bezier_GetY(0, 5, 10, 0, 10, 0, 5), 5.0, 1e-6);
  EXPECT_DOUBLE_EQ(PX_Bezier(1, 2, 3, 4, 0.5), 2.5);
  double ax, bx, cx, ay, by, cy;
  PX_CBezier_GetCoeffs(0, 1, 2, 3, 0, 0, 0, 1, &ax, &bx, &cx, &ay, &by, &cy);
  EXPECT_DOUBLE_EQ(ax, 0);
  EXPECT_DOUBLE_EQ(cx, 3);
  EXPECT_DOUBLE_EQ(ay, 1);

  Clear(a);
  PX_FillCBezier(&a, -5, 10, 10, 40, 25, -10, 45, 25, 20, kWhite, 0.5f, 0, 1.0f);
  EXPECT_TRUE(BlendedOnce(a));
  // Where the curve runs above row 20 the column is filled down to row 19.
  EXPECT_TRUE(IsHalf(a.at(30, 19)));
  EXPECT_TRUE(IsHalf(a.at(30, 14)));
  EXPECT_EQ(a.at(30, 20), kBlack);
  EXPECT_EQ(a.at(30, 5), kBlack);
  Clear(a);
  PX_FillCBezierX(&a, 10, -5, 40, 10, -10, 25, 25, 45, 20, kWhite, 0.5f, 0, 1.0f);
  EXPECT_TRUE(BlendedOnce(a));
  EXPECT_GT(Count(a, kHalfWord) + Count(a, kHalf), 100);
}

TEST(Hostile, ExtremeAndNonFiniteCoordinatesAreHarmless) {
  const float nan = std::numeric_limits<float>::quiet_NaN(),
              inf = std::numeric_limits<float>::infinity();
  const float vals[] = {nan, inf, -inf, 3e38f, -3e38f, 1e9f, -1e9f, 5.0f};
  const int ivals[] = {INT32_MIN, INT32_MAX, -1000000000, 5};
  TestBitmap bm(16, 16, 2, true);
  Clear(bm);
  for (float a : vals)
    for (float b : vals) {
      PX_FLine(&bm, a, 3, b, 7, kWhite, 1.0f, 0, true);
      PX_FLine(&bm, a, b, 8, 8, kWhite, 0.4f, 1, false);
      PX_Circle(&bm, a, 8, b, kWhite, 0.7f, 0, true);
      PX_FillCircle(&bm, 8, a, b, kWhite, 0.7f, 0, false);
      PX_Arc(&bm, 8, 8, 20, a, b, kWhite, 1.0f, 0, true);
      PX_RoundRect(&bm, a, 2, b, 9, 4, kWhite, 1.0f, 0, true);
      PX_DrawCBezier(&bm, a, 0, b, 20, 3, a, 9, b, kWhite, 1.0f, 0, true, 1e-30f);
      PX_DrawQBezier(&bm, a, 0, b, 20, 9, b, kWhite, 1.0f, 0, false, -1.0f);
      PX_FillCBezier(&bm, a, 0, b, 20, 3, a, 9, b, 8, kWhite, 1.0f, 0, 0.0f);
      PX_FillCBezierX(&bm, 0, a, 20, b, a, 3, b, 9, 8, kWhite, 1.0f, 0, 0.0f);
    }
  for (int a : ivals)
    for (int b : ivals) {
      PX_Line(&bm, a, b, b, a, kWhite, 0.3f, 2, true);
      PX_Line(&bm, a, 4, b, 4, kWhite, 1.0f, 0, false);
      PX_DashedLine(&bm, 4, a, 4, b, 3, INT32_MAX, kWhite, 1.0f, 0, false);
      PX_DrawRect(&bm, a, b, b, a, kWhite, 1.0f, 0);
      PX_BorderedRect(&bm, a, b, a, b, kWhite, kWhite, 1.0f, 0);
      PX_FillTrapezoid(&bm, a, b, a, b, a, b, kWhite, 1.0f, 0);
      PX_FillTriangle(&bm, a, b, b, a, a, a, kWhite, 0.5f, 3);
    }
  PX_FillCircle(&bm, 8, 8, 1.6e7f, kWhite, 1.0f, 0, false);
  EXPECT_EQ(Count(bm, kWhite), 256);
  EXPECT_TRUE(bm.paddingIntact());
  // Null bitmaps and zero weights draw nothing.
  PX_Line(nullptr, 0, 0, 5, 5, kWhite, 1.0f, 0, true);
  PX_FillCircle(nullptr, 0, 0, 5, kWhite, 1.0f, 0, true);
  TestBitmap z(8, 8);
  Clear(z);
  PX_Line(&z, 0, 0, 7, 7, kWhite, 0.0f, 0, true);
  PX_FillCircle(&z, 4, 4, 3, kWhite, 0.001f, 0, true);
  PX_FillTriangle(&z, 0, 0, 7, 0, 0, 7, kWhite, 1.0f, 9);
  EXPECT_EQ(Count(z, kBlack), 64);
}

}  // namespace
