// Each drawing primitive against the raster operation it stands for, on the
// same pixels; and clipping to the region being repainted.
#include <climits>
#include <cmath>
#include <limits>

#include "gdi/gdi.h"
#include "raster/blit/blit.h"
#include "raster/raster.h"
#include "raster/shapes/shapes.h"
#include "raster/text/text.h"
#include "tests/gui/gui_test_support.h"

namespace {

constexpr int kW = 64, kH = 48;

class PrimitivesTest : public ::testing::Test {
 protected:
  PrimitivesTest() : probe(f.Probe(IRECT(0, 0, kW, kH))), ref(kW, kH, 4) {
    f.Attach();
    f.Tick();  // the probe paints nothing yet: the bitmap stays zeroed
    PX_Clear(&ref, 0);
  }

  // Paints through the editor over region and expects the reference pixels.
  void Expect(const std::function<void(Graphics*)>& viaGraphics,
              const std::function<void(PX_IBitmap*)>& viaRaster) {
    probe->paint = viaGraphics;
    viaRaster(&ref);
    Paint(IRECT(0, 0, kW, kH));
    EXPECT_EQ(0, CountDifferences(f.gui->GetDrawBitmap(), &ref));
  }
  void Paint(IRECT region) {
    probe->SetDirty(false);
    f.gui->Draw(&region);
  }
  IBitmap Load(int id, const char* name, int n = 1, bool horizontal = false) {
    IBitmap bm = f.gui->LoadIBitmap(id, name, n, horizontal);
    EXPECT_NE(nullptr, bm.mData) << name;
    return bm;
  }

  EditorFixture f{kW, kH};
  ProbeControl* probe;
  PX_MemBitmap ref;
  const IColor c{200, 10, 220, 90};
  const IChannelBlend half{IChannelBlend::kBlendAdd, 0.5f};
};

TEST_F(PrimitivesTest, LinesAndPointsMatchTheRasterLines) {
  const PX_pixel px = PxColor(&c);
  Expect(
      [&](Graphics* g) {
        g->DrawLine(&c, 1.7f, 2.2f, 60.9f, 40.5f, nullptr, true);
        g->DrawLine(&c, 3, 40, 50, 4, &half, false);
        g->DrawPoint(&c, 10.4f, 11.6f, &half);
        g->DrawRadialLine(&c, 32, 24, 0.7f, 4, 20, nullptr, false);
        g->DrawVerticalLine(&c, 5, 2, 30);
        g->DrawHorizontalLine(&c, 45, 60, 2);
        IRECT box(20, 5, 30, 15);
        g->DrawRect(&c, &box);
        g->DrawVerticalLine(&c, &box, 0.25f);
        g->DrawHorizontalLine(&c, &box, 2.0f);  // clamped to 1: the top
      },
      [&](PX_IBitmap* bm) {
        PX_Line(bm, 1, 2, 60, 40, px, 1.0f, 0x10000, true);
        PX_Line(bm, 3, 40, 50, 4, px, 0.5f, 0x10001, false);
        PX_PutPixel(bm, 10, 12, px, 0.5f, 0x10001);
        const float s = std::sin(0.7f), k = std::cos(0.7f);
        PX_Line(bm, (int)(32 + 4 * s), (int)(24 - 4 * k), (int)(32 + 20 * s), (int)(24 - 20 * k),
                px, 1.0f, 0x10000, false);
        PX_Line(bm, 5, 2, 5, 30, px, 1.0f, 0, false);
        PX_Line(bm, 60, 45, 2, 45, px, 1.0f, 0, false);
        PX_Line(bm, 20, 5, 30, 5, px, 1.0f, 0, false);
        PX_Line(bm, 20, 15, 30, 15, px, 1.0f, 0, false);
        PX_Line(bm, 20, 5, 20, 15, px, 1.0f, 0, false);
        PX_Line(bm, 30, 5, 30, 15, px, 1.0f, 0, false);
        PX_Line(bm, 22, 5, 22, 15, px, 1.0f, 0, false);
        PX_Line(bm, 20, 5, 30, 5, px, 1.0f, 0, false);
      });
}

TEST_F(PrimitivesTest, ShapesMatchTheRasterShapes) {
  const PX_pixel px = PxColor(&c);
  Expect(
      [&](Graphics* g) {
        g->DrawCircle(&c, 20.5f, 20.0f, 12.0f, nullptr, true);
        g->DrawArc(&c, 40, 24, 15, -1.0f, 2.0f, &half, true);
        g->FillCircle(&c, 50, 10, 6.5f, &half, false);
        IRECT rr(2, 30, 30, 46);
        g->RoundRect(&c, &rr, nullptr, 4, true);
        IRECT fill(33, 33, 45, 47);
        g->FillIRect(&c, &fill, &half);
        g->FillTriangle(&c, 5, 5, 25, 8, 12, 28, &half);
        const int xs[] = {40, 60, 62, 45}, ys[] = {2, 4, 20, 18};
        g->FillIConvexPolygon(&c, xs, ys, 4, nullptr);
      },
      [&](PX_IBitmap* bm) {
        PX_Circle(bm, 20.5f, 20.0f, 12.0f, px, 1.0f, 0x10000, true);
        PX_Arc(bm, 40, 24, 15, -1.0f, 2.0f, px, 0.5f, 0x10001, true);
        PX_FillCircle(bm, 50, 10, 6.5f, px, 0.5f, 0x10001, false);
        PX_RoundRect(bm, 2, 30, 28, 16, 4, px, 1.0f, 0x10000, true);
        PX_FillRect(bm, 33, 33, 12, 14, px, 0.5f, 0x10001);
        PX_FillTriangle(bm, 5, 5, 25, 8, 12, 28, px, 0.5f, 0x10001);
        const int xs[] = {40, 60, 62, 45}, ys[] = {2, 4, 20, 18};
        PX_FillConvexPolygon(bm, xs, ys, 4, px, 1.0f, 0x10000);
      });
}

TEST_F(PrimitivesTest, FilledRoundRectIsThreeRectanglesAndFourCircles) {
  const PX_pixel px = PxColor(&c);
  Expect(
      [&](Graphics* g) {
        IRECT r(4, 6, 44, 36);
        g->FillRoundRect(&c, &r, &half, 5, true);
      },
      [&](PX_IBitmap* bm) {
        PX_FillRect(bm, 9, 6, 30, 30, px, 0.5f, 0x10001);
        PX_FillRect(bm, 4, 11, 5, 20, px, 0.5f, 0x10001);
        PX_FillRect(bm, 39, 11, 5, 20, px, 0.5f, 0x10001);
        PX_FillCircle(bm, 9, 11, 5, px, 0.5f, 0x10001, true);
        PX_FillCircle(bm, 38, 30, 5, px, 0.5f, 0x10001, true);
        PX_FillCircle(bm, 38, 11, 5, px, 0.5f, 0x10001, true);
        PX_FillCircle(bm, 9, 30, 5, px, 0.5f, 0x10001, true);
      });
}

TEST_F(PrimitivesTest, BitmapFramesAndRotationsMatchTheRasterBlits) {
  IBitmap vertical = Load(10, "button_x2.png", 2);
  IBitmap horizontal = Load(11, "strip_x3.png", 3, true);
  IBitmap base = Load(12, "knob_base.png"), mask = Load(13, "knob_mask.png"),
          top = Load(14, "knob_top.png");
  Expect(
      [&](Graphics* g) {
        IRECT a(2, 2, &vertical);
        g->DrawBitmap(&vertical, &a, 2, &half);
        IRECT b(50, 30, &horizontal);
        g->DrawBitmap(&horizontal, &b, 3, nullptr);
        IRECT c0(50, 2, &horizontal);
        g->DrawBitmap(&horizontal, &c0, 0, nullptr);  // frame 0 is the first
        g->DrawRotatedBitmap(&horizontal, 20, 35, 0.6, 2, nullptr);
        g->DrawRotatedMask(&base, &mask, &top, 30, 20, 135.0, nullptr);
      },
      [&](PX_IBitmap* bm) {
        PX_Blit(bm, vertical.mData, 2, 2, 0, 20, 40, 20, 0.5f, 0x10001);
        PX_Blit(bm, horizontal.mData, 50, 30, 20, 0, 10, 10, 1.0f, 0x10000);
        PX_Blit(bm, horizontal.mData, 50, 2, 0, 0, 10, 10, 1.0f, 0x10000);
        PX_RotatedBlit(bm, horizontal.mData, 5, 30, 30, 10, 0, 0, 30, 10, 0.6f, false, 1.0f,
                       0x10100, 0, 2);
        PX_MemBitmap knob(0, 0, 4);
        PX_Copy(&knob, base.mData);
        PX_ClearRect(&knob, 0, 0, 21, 21, 0xFFFFFF00, 0);
        const float rad = (float)(3.141592653589793 * 135.0 / 180.0);
        PX_RotatedBlit(&knob, mask.mData, 0, 0, 21, 21, 0, 0, 21, 21, rad, true, 1.0f, 0x10101,
                       -0.5f, 0);
        PX_RotatedBlit(&knob, top.mData, 0, 0, 21, 21, 0, 0, 21, 21, rad, true, 1.0f, 0x10100,
                       -0.5f, 0);
        PX_Blit(bm, &knob, 30, 20, 0, 0, 21, 21, 1.0f, 0x10000);
      });
}

TEST_F(PrimitivesTest, TextIsTheCachedFontsTextAndMeasuresItsExtent) {
  IText left(12, &c, "Liberation Sans", IText::kStyleNormal, IText::kAlignNear);
  IText right(12, &COLOR_WHITE, "Liberation Sans", IText::kStyleBold, IText::kAlignFar);
  IRECT r1(2, 2, 60, 20), r2(2, 24, 60, 44);
  probe->paint = [&](Graphics* g) {
    EXPECT_TRUE(g->DrawIText(&left, "Skylane", &r1));
    EXPECT_TRUE(g->DrawIText(&right, "Ag 1.50", &r2));
  };
  Paint(IRECT(0, 0, kW, kH));
  ASSERT_NE(nullptr, left.mCached);
  ASSERT_NE(nullptr, right.mCached);
  EXPECT_NE(left.mCached, right.mCached);  // bold is another font
  RECT a{2, 2, 60, 20}, b{2, 24, 60, 44};
  left.mCached->SetTextColor(PxColor(&c));
  left.mCached->DrawText(&ref, "Skylane", -1, &a, DT_NOCLIP | PX_DT_USEFGALPHA);
  right.mCached->SetTextColor(PxColor(&COLOR_WHITE));
  right.mCached->DrawText(&ref, "Ag 1.50", -1, &b, DT_NOCLIP | DT_RIGHT);
  EXPECT_EQ(0, CountDifferences(f.gui->GetDrawBitmap(), &ref));
  PX_MemBitmap blank(kW, kH, 4);
  PX_Clear(&blank, 0);
  EXPECT_LT(50, CountDifferences(&ref, &blank));  // the text drew something

  RECT extent{0, 0, 0, 0};
  left.mCached->DrawText(nullptr, "Skylane", -1, &extent, DT_CALCRECT);
  ASSERT_GT(extent.right, 0);
  IRECT m(100, 7, 100, 7);
  EXPECT_TRUE(f.gui->MeasureIText(&left, "Skylane", &m));
  EXPECT_EQ(IRECT(100, 7, 100 + extent.right, 7 + extent.bottom), m);
  IText centred = left;
  centred.mAlign = IText::kAlignCenter;
  IRECT mc(0, 0, 100, 10);
  f.gui->MeasureIText(&centred, "Skylane", &mc);
  EXPECT_EQ(50 - extent.right / 2, mc.L);
  EXPECT_EQ(mc.L + extent.right, mc.R);
}

TEST_F(PrimitivesTest, EverythingStaysInsideTheRegionBeingRepainted) {
  IBitmap strip = Load(11, "strip_x3.png", 3, true);
  IText style(40, &c, "Liberation Sans");
  probe->paint = [&](Graphics* g) {
    IRECT all(-100, -100, 200, 200);
    g->FillIRect(&c, &all);
    g->DrawLine(&COLOR_WHITE, 0, 0, 63, 47, nullptr, true);
    g->DrawCircle(&COLOR_WHITE, 30, 24, 20, nullptr, true);
    g->DrawIText(&style, "WWWWW", &all);
    IRECT at(0, 0, 60, 10);
    g->DrawBitmap(&strip, &at, 0, 0, nullptr);
    g->ForcePixel(&COLOR_WHITE, 0, 0);
    const int xs[40] = {0}, ys[40] = {0};
    g->FillIConvexPolygon(&COLOR_WHITE, xs, ys, 40, nullptr);
  };
  PX_Blit(&ref, f.gui->GetDrawBitmap(), 0, 0, 0, 0, kW, kH, 1.0f, 0);
  const IRECT region(10, 8, 30, 20);
  Paint(region);
  int inside = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      const bool same = PX_GetPixel(f.gui->GetDrawBitmap(), x, y) == PX_GetPixel(&ref, x, y);
      if (!region.Contains(x, y)) {
        EXPECT_TRUE(same) << x << "," << y;
      } else if (!same) {
        ++inside;
      }
    }
  }
  EXPECT_EQ(region.W() * region.H(), inside);
}

TEST_F(PrimitivesTest, ExtremeCoordinatesDrawOnlyWhatReachesTheBitmap) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  IBitmap strip = Load(11, "strip_x3.png", 3, true);
  IBitmap base = Load(12, "knob_base.png");
  IText style(12, &c, "Liberation Sans");
  probe->paint = [&](Graphics* g) {
    IRECT huge(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    IRECT far(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX);
    IRECT inverted(INT_MAX, INT_MAX, INT_MIN, INT_MIN);
    g->DrawLine(&c, -1e30f, 10.0f, 1e30f, 10.0f, nullptr, true);
    g->DrawLine(&c, nan, 0, 5, 5, nullptr, false);
    g->DrawLine(&c, -inf, 0, 5, 5, nullptr, false);
    g->DrawPoint(&c, 1e10f, -1e10f, nullptr);
    g->DrawPoint(&c, nan, nan, nullptr);
    g->DrawRadialLine(&c, 5, 5, 1.0f, 0, 1e38f, nullptr, true);
    g->DrawCircle(&c, 1e20f, 0, 1e20f, nullptr, true);
    g->DrawCircle(&c, nan, 0, 5, nullptr, true);
    g->DrawArc(&c, 10, 10, inf, 0, 1, nullptr, true);
    g->FillCircle(&c, INT_MIN, INT_MAX, 3e9f, nullptr, true);
    g->RoundRect(&c, &huge, nullptr, INT_MAX, true);
    g->FillRoundRect(&c, &huge, nullptr, INT_MIN, true);
    g->FillRoundRect(&c, &far, nullptr, 3, false);
    g->FillIRect(&c, &inverted);
    g->FillTriangle(&c, INT_MIN, INT_MIN, INT_MAX, 0, 0, INT_MAX, nullptr);
    const int xs[] = {INT_MIN, INT_MAX, INT_MAX, INT_MIN}, ys[] = {INT_MIN, INT_MIN, INT_MAX, 7};
    g->FillIConvexPolygon(&c, xs, ys, 4, nullptr);
    g->FillIConvexPolygon(&c, nullptr, nullptr, 4, nullptr);
    g->DrawRect(&c, &huge);
    g->DrawVerticalLine(&c, &huge, 0.5f);
    g->DrawHorizontalLine(&c, &huge, nan);
    g->ForcePixel(&c, INT_MAX, INT_MIN);
    g->DrawBitmap(&strip, &huge, INT_MAX, INT_MIN, nullptr);
    g->DrawBitmap(&strip, &far, INT_MAX);
    g->DrawRotatedBitmap(&strip, INT_MAX, INT_MIN, 1e30, INT_MAX, nullptr);
    g->DrawRotatedMask(&base, &base, &base, INT_MAX, INT_MIN, 1e300, nullptr);
    g->DrawIText(&style, "far", &far);
    g->DrawIText(&style, "huge", &inverted);
  };
  Paint(IRECT(0, 0, kW, kH));
  EXPECT_EQ(IColor(0, 0, 0, 0), f.gui->GetPoint(-1, 0));  // outside the bitmap reads as nothing
}

}  // namespace
