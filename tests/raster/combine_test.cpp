// Combine formulas, class tables and HSV conversions against the reference.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>

#include "raster/raster.h"
#include "raster/pixels/combine_p.h"
#include "reference.h"

namespace {

uint32_t Px(int r, int g, int b, int a) { return PX_PackRGBA(r, g, b, a); }

TEST(Combine, CopyAtFullAndHalfWeight) {
  EXPECT_EQ(PX_CombinePixels(Px(1, 2, 3, 4), Px(9, 8, 7, 6), 1.0f, 0), Px(9, 8, 7, 6));
  // s + (d - s) * 128 / 256 with d = 0, s = 255: 255 - 127 = 128.
  EXPECT_EQ(PX_CombinePixels(Px(0, 0, 0, 0), Px(255, 255, 255, 255), 0.5f, 0),
            Px(128, 128, 128, 128));
  EXPECT_EQ(PX_CombinePixels(Px(1, 2, 3, 4), Px(9, 8, 7, 6), 0.0f, 0), Px(1, 2, 3, 4));
}

TEST(Combine, AddClampsAtFullWeight) {
  PX_pixel p = Px(100, 100, 100, 100);
  PX_CombinePixelsAdd::doPix((PX_pixel_chan*)&p, 200, 200, 200, 200, 256);
  EXPECT_EQ(p, Px(255, 255, 255, 255));
}

TEST(Combine, ColorDodgeWithFullSource) {
  // t = 256 - 255 = 1: a zero destination stays 0, any other becomes 255.
  PX_pixel p = Px(0, 1, 200, 0);
  PX_CombinePixelsColorDodge::doPix((PX_pixel_chan*)&p, 255, 255, 255, 255, 256);
  EXPECT_EQ(p, Px(0, 255, 255, 0));
}

TEST(Combine, MulNoClampNeverWraps) {
  for (int d = 0; d < 256; d += 5)
    for (int s = 0; s < 256; s += 5)
      for (int w = 0; w <= 256; w += 16) {
        PX_pixel p = Px(d, d, d, d);
        PX_CombinePixelsMulNoClamp::doPix((PX_pixel_chan*)&p, s, s, s, s, w);
        EXPECT_LE(PX_GETR(p), (unsigned)d);
      }
}

TEST(Combine, SourceAlphaCopyAtFullWeight) {
  const uint32_t d = Px(10, 20, 30, 40);
  EXPECT_EQ(PX_CombinePixels(d, Px(200, 100, 50, 0), 1.0f, PX_USE_SOURCE_ALPHA), d);
  EXPECT_EQ(PX_CombinePixels(d, Px(200, 100, 50, 255), 1.0f, PX_USE_SOURCE_ALPHA),
            Px(200, 100, 50, 255));
}

TEST(Combine, HsvOfPrimaries) {
  int h, s, v;
  PX_RGB2HSV(255, 0, 0, &h, &s, &v);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(s, 255);
  EXPECT_EQ(v, 255);
  PX_RGB2HSV(0, 255, 0, &h, &s, &v);
  EXPECT_EQ(h, 128);
  PX_RGB2HSV(0, 0, 255, &h, &s, &v);
  EXPECT_EQ(h, 256);
  EXPECT_EQ(PX_RGB2HSV_Table.v[1], 65535);
  EXPECT_EQ(PX_RGB2HSV_Table.v[255], 256);
  EXPECT_EQ(PX_HSV2Pix(0, 255, 255, 7), Px(255, 0, 0, 7));
}

TEST(Combine, HsvConversionsMatchReferenceEverywhere) {
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 7) {
        int h, s, v, rh, rs, rv;
        PX_RGB2HSV(r, g, b, &h, &s, &v);
        RefRGB2HSV(r, g, b, &rh, &rs, &rv);
        ASSERT_EQ(h, rh) << r << "," << g << "," << b;
        ASSERT_EQ(s, rs);
        ASSERT_EQ(v, rv);
        ASSERT_GE(h, 0);
        ASSERT_LT(h, 384);
        ASSERT_EQ(PX_HSV2Pix(h, s, v, 1), RefHSV2Pix(h, s, v, 1));
      }
}

TEST(Combine, NeutralHsvAdjustKeepsColourRoughly) {
  // Source (128, 128, 128) is the zero adjustment vector: only the round trip
  // through the integer conversion changes the pixel.
  std::mt19937 rng(5);
  for (int i = 0; i < 2000; ++i) {
    const PX_pixel d = rng() | 0xFF;
    PX_pixel p = d;
    PX_CombinePixelsHSVAdjust::doPix((PX_pixel_chan*)&p, 128, 128, 128, 255, 256);
    for (int k = 1; k < 4; ++k)
      EXPECT_NEAR((int)((p >> (8 * k)) & 255), (int)((d >> (8 * k)) & 255), 4);
  }
}

const int kModes[] = {0,       1,       2,       3,       4,       5,
                      6,       0xEF,    0x10000, 0x10001, 0x10002, 0x10003,
                      0x10004, 0x10005, 0x10006, 0x100,   0x10100, 0x20000};

TEST(Combine, EveryClassMatchesReference) {
  std::mt19937 rng(1);
  const int weights[] = {-300, -1, 0, 1, 2, 63, 64, 127, 128, 129, 192, 255, 256, 257, 512, 1024};
  for (int mode : kModes)
    for (int ia : weights)
      for (int i = 0; i < 300; ++i) {
        const uint32_t d = RandomPixel(rng), s = RandomPixel(rng);
        const int r = PX_GETR(s), g = PX_GETG(s), b = PX_GETB(s), a = PX_GETA(s);
        PX_pixel p = d, q = d;
        PX_CombinePixels2(&p, r, g, b, a, ia, mode);
        PX_CombinePixels2Clamp(&q, r, g, b, a, ia, mode);
        const RefClass c = ia == 0 ? kRefNone : RefBlitClass(mode, ia);
        ASSERT_EQ(p, RefCombine(d, r, g, b, a, ia, c, false))
            << "mode " << mode << " ia " << ia << " d " << d << " s " << s;
        ASSERT_EQ(q, RefCombine(d, r, g, b, a, ia, c, true))
            << "mode " << mode << " ia " << ia << " d " << d << " s " << s;
      }
}

// Any int: small and huge magnitudes of either sign, the ends of the int
// range and the edges of the range the drawing loops use.
int AnyInt(std::mt19937& rng) {
  const int edges[] = {INT_MIN, INT_MAX, -1025, -1024, 1024, 1025, 0, 255};
  if (rng() % 8 == 0) return edges[rng() % 8];
  const int64_t v = (int64_t)(rng() & ((1u << (rng() % 32)) - 1));
  return (int)(rng() % 2 ? -v : v);
}

// Channels and weights of any size give the formula's exact result: the
// reference computes it without overflow, and equals int arithmetic wherever
// that does not overflow.
TEST(Combine, AnyIntInputGivesTheExactFormula) {
  std::mt19937 rng(2);
  for (int mode : kModes)
    for (int i = 0; i < 3000; ++i) {
      const int r = AnyInt(rng), g = AnyInt(rng), b = AnyInt(rng);
      const int a = rng() % 4 ? AnyInt(rng) : (int)(rng() % 256), ia = AnyInt(rng);
      const uint32_t d = RandomPixel(rng);
      PX_pixel p = d, q = d;
      PX_CombinePixels2(&p, r, g, b, a, ia, mode);
      PX_CombinePixels2Clamp(&q, r, g, b, a, ia, mode);
      const RefClass c = ia == 0 ? kRefNone : RefBlitClass(mode, ia);
      ASSERT_EQ(p, RefCombine(d, r, g, b, a, ia, c, false))
          << "mode " << mode << " rgba " << r << " " << g << " " << b << " " << a << " ia " << ia;
      ASSERT_EQ(q, RefCombine(d, r, g, b, a, ia, c, true))
          << "mode " << mode << " rgba " << r << " " << g << " " << b << " " << a << " ia " << ia;
    }
}

TEST(Combine, ValuesBeyondFourTimesOpaqueAreNotLimited) {
  // Copy keeps the low byte of s + (d - s) x (256 - ia) / 256, here in plain int.
  const int d = 40, s = 5000, ia = 200;
  PX_pixel p = PX_PackRGBA(d, d, d, d);
  PX_CombinePixels2(&p, s, s, s, s, ia, PX_COMBINE_COPY);
  EXPECT_EQ(PX_GETR(p), (unsigned)((s + (d - s) * (256 - ia) / 256) & 255));
  // A hue turned by a weight of 20 x opaque is not the turn of 4 x opaque.
  const PX_pixel dest = PX_PackRGBA(200, 60, 30, 255);
  PX_pixel big = dest, limited = dest;
  PX_CombinePixels2Clamp(&big, 150, 128, 128, 255, 5120, PX_COMBINE_HSVADJUST);
  PX_CombinePixels2Clamp(&limited, 150, 128, 128, 255, 1024, PX_COMBINE_HSVADJUST);
  EXPECT_EQ(big, RefCombine(dest, 150, 128, 128, 255, 5120, kRefHsv, true));
  EXPECT_NE(big, limited);
}

TEST(Combine, WholeWordClasses) {
  PX_pixel p = 0xFFFFFFFF;
  PX_CombinePixelsHalfMixFAST::doPix(&p, 0);
  EXPECT_EQ(p, 0x7f7f7f7fu);
  p = 0xFFFFFFFF;
  PX_CombinePixelsQuarterMix2FAST::doPix(&p, 0);
  EXPECT_EQ(p, 0x7f7f7f7fu + 0x3f3f3f3fu);  // 3/4 of the destination
  p = 0;
  PX_CombinePixelsThreeQuarterMix2FAST::doPix(&p, 0x7f7f7f7fu + 0x3f3f3f3fu);
  EXPECT_EQ(p, 0xbebebebeu);
}

}  // namespace
