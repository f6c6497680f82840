// Lines, circles and arcs against the plain reference, on plain and flipped
// bitmaps, over random cases (including far-off and non-finite positions).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

#include "raster/shapes/shapes.h"
#include "../random_case.h"
#include "../reference_shapes.h"

namespace {

struct Paint {
  PX_pixel colour;
  float alpha;
  int mode;
};

Paint RandomPaint(std::mt19937& rng) {
  const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.8f, 0.3f, 1.002f, 1.5f, 0.004f, 0.0f, -0.5f};
  const int modes[] = {0, 0, 0, 1, 2, 3, 4, 5, 7, 0x10000, 0x10001, 0x10005};
  Paint p;
  p.colour = RandomPixel(rng);
  p.alpha = rng() % 3 ? alphas[rng() % 11] : (float)(rng() % 1000) / 999.0f;
  p.mode = modes[rng() % 12];
  return p;
}

// Draws one case with the library on a bitmap and with the reference on a
// copy of its image, once on a plain and once on a flipped bitmap.
template <class L, class R>
void CheckBothOrders(std::mt19937& rng, int iter, L&& lib, R&& ref) {
  const int w = rng() % 8 ? 2 + rng() % 40 : 1, h = rng() % 8 ? 2 + rng() % 40 : 1;
  const int pad = rng() % 3;
  for (bool flipped : {false, true}) {
    TestBitmap bm(w, h, pad, flipped);
    FillRandom(bm, rng);
    Img want = ImgOf(bm);
    lib(&bm);
    ref(want, flipped);
    ASSERT_TRUE(bm.paddingIntact()) << iter;
    const Img got = ImgOf(bm);
    ASSERT_EQ(got.px, want.px) << "case " << iter << (flipped ? " flipped " : " plain ")
                               << FirstDiff(got, want);
  }
}

int Clamped(long long v) {
  return (int)std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, v));
}

TEST(ShapeReference, IntegerLines) {
  std::mt19937 rng(1301);
  for (int iter = 0; iter < 6000 && !HasFatalFailure(); ++iter) {
    CaseGen g(rng);
    const Paint p = RandomPaint(rng);
    const bool aa = rng() % 2;
    int x1 = g.pos(40), y1 = g.pos(40), x2 = g.pos(40), y2 = g.pos(40);
    // Some runs, exact diagonals and lines of one pixel.
    const long long d = (long long)(rng() % 50) - 25;
    switch (rng() % 6) {
      case 0: y2 = y1; break;
      case 1: x2 = x1; break;
      case 2:
        x2 = Clamped((long long)x1 + d);
        y2 = Clamped((long long)y1 + (rng() % 2 ? d : -d));
        break;
      case 3:
        x2 = x1;
        y2 = y1;
        break;
      default: break;
    }
    CheckBothOrders(
        rng, iter,
        [&](PX_IBitmap* bm) { PX_Line(bm, x1, y1, x2, y2, p.colour, p.alpha, p.mode, aa); },
        [&](Img& im, bool flipped) {
          RefLine(im, flipped, x1, y1, x2, y2, p.colour, p.alpha, p.mode, aa);
        });
  }
}

TEST(ShapeReference, FloatLines) {
  std::mt19937 rng(1302);
  for (int iter = 0; iter < 5000 && !HasFatalFailure(); ++iter) {
    CaseGen g(rng);
    const Paint p = RandomPaint(rng);
    const bool aa = rng() % 4 != 0;
    const float x1 = g.real(-20, 60), y1 = g.real(-20, 60);
    float x2 = g.real(-20, 60), y2 = g.real(-20, 60);
    if (rng() % 5 == 0) y2 = y1;
    if (rng() % 5 == 0) x2 = x1 + (rng() % 2 ? 0.0f : 0.25f);
    CheckBothOrders(
        rng, iter,
        [&](PX_IBitmap* bm) { PX_FLine(bm, x1, y1, x2, y2, p.colour, p.alpha, p.mode, aa); },
        [&](Img& im, bool flipped) {
          RefFLine(im, flipped, x1, y1, x2, y2, p.colour, p.alpha, p.mode, aa);
        });
  }
}

float RandomRadius(std::mt19937& rng, CaseGen& g) {
  const float radii[] = {0.0f,  0.3f, 0.5f, 0.7f, 1.0f, 1.2f, 1.5f, 2.0f,
                         2.25f, 2.5f, 3.0f, 3.5f, 4.0f, 4.5f, 12.4f};
  if (g.wild) return g.real(0, 30);
  return rng() % 2 ? radii[rng() % 15] : g.real(0, 30);
}

TEST(ShapeReference, CirclesAndDiscs) {
  std::mt19937 rng(1303);
  for (int iter = 0; iter < 6000 && !HasFatalFailure(); ++iter) {
    CaseGen g(rng);
    const Paint p = RandomPaint(rng);
    const bool aa = rng() % 2, fill = rng() % 2;
    // Centres on whole, half and random positions.
    float cx = g.real(-10, 50), cy = g.real(-10, 50);
    if (rng() % 3 == 0) cy = std::floor(cy) + 0.5f;
    if (rng() % 3 == 0) cx = std::floor(cx);
    const float r = RandomRadius(rng, g);
    CheckBothOrders(
        rng, iter,
        [&](PX_IBitmap* bm) {
          if (fill) PX_FillCircle(bm, cx, cy, r, p.colour, p.alpha, p.mode, aa);
          else PX_Circle(bm, cx, cy, r, p.colour, p.alpha, p.mode, aa);
        },
        [&](Img& im, bool flipped) {
          RefCircle(im, flipped, cx, cy, r, p.colour, p.alpha, p.mode, aa, fill);
        });
  }
}

TEST(ShapeReference, Arcs) {
  std::mt19937 rng(1304);
  for (int iter = 0; iter < 3000 && !HasFatalFailure(); ++iter) {
    CaseGen g(rng);
    const Paint p = RandomPaint(rng);
    const bool aa = rng() % 2;
    const float cx = g.real(-10, 50), cy = g.real(-10, 50), r = RandomRadius(rng, g);
    const float a0 = g.real(-15, 15), a1 = rng() % 4 ? a0 + g.real(-4, 4) : g.real(-15, 15);
    CheckBothOrders(
        rng, iter,
        [&](PX_IBitmap* bm) { PX_Arc(bm, cx, cy, r, a0, a1, p.colour, p.alpha, p.mode, aa); },
        [&](Img& im, bool flipped) {
          RefArc(im, flipped, cx, cy, r, a0, a1, p.colour, p.alpha, p.mode, aa);
        });
  }
}

// On a flipped bitmap the centre is mirrored before it is rounded: a centre on
// a half row rounds towards the bottom of the image instead of the top.
TEST(ShapeReference, FlippedCentreRoundsInMemoryRows) {
  const PX_pixel white = 0xFFFFFFFFu;
  for (bool flipped : {false, true}) {
    TestBitmap bm(11, 20, 0, flipped);
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 11; ++x) bm.at(x, y) = 0;
    PX_Circle(&bm, 5, 5.5f, 5, white, 1.0f, PX_COMBINE_COPY, false);
    const int top = flipped ? 0 : 1;  // centre row 5 (flipped) or 6
    EXPECT_EQ(bm.at(5, top), white) << flipped;
    EXPECT_EQ(bm.at(5, top + 10), white) << flipped;
    EXPECT_EQ(bm.at(5, flipped ? 11 : 0), 0u) << flipped;
  }
}

}  // namespace
