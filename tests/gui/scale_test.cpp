// The editor drawn at scale 2: shapes cover their 2 x 2 blocks, images come
// from their 2x versions (else are enlarged), text is set in the double size,
// and controls keep their layout.
#include <algorithm>
#include <functional>

#include "raster/blit/blit.h"
#include "raster/raster.h"
#include "tests/gui/gui_test_support.h"

namespace {

constexpr int kW = 40, kH = 30;

class ScaleTest : public ::testing::Test {
 protected:
  ScaleTest() : probe(f.Probe(IRECT(0, 0, kW, kH))), ref(2 * kW, 2 * kH, 4) {
    f.Attach();
    f.gui->SetDrawScale(2);
    f.Tick();
    PX_Clear(&ref, 0);
  }

  // Paints through the editor and returns how many pixels differ from ref.
  int Paint(const std::function<void(Graphics*)>& paint) {
    probe->paint = paint;
    probe->SetDirty(false);
    f.Tick();
    return CountDifferences(f.gui->GetDrawBitmap(), &ref);
  }

  EditorFixture f{kW, kH};
  ProbeControl* probe;
  PX_MemBitmap ref;
  const IColor c{255, 200, 30, 90};
};

TEST_F(ScaleTest, TheDrawBitmapDoublesAndShapesCoverTheirBlocks) {
  PX_IBitmap* pBitmap = f.gui->GetDrawBitmap();
  EXPECT_EQ(2 * kW, pBitmap->getWidth());
  EXPECT_EQ(2 * kH, pBitmap->getHeight());
  EXPECT_EQ(2, f.gui->DrawScale());
  PX_FillRect(&ref, 6, 8, 14, 8, PxColor(&c));   // FillIRect (3, 4)-(10, 8)
  PX_FillRect(&ref, 4, 40, 16, 2, PxColor(&c));  // horizontal line y 20, x 2...9
  PX_FillRect(&ref, 60, 2, 2, 12, PxColor(&c));  // vertical line x 30, y 1...6
  PX_FillRect(&ref, 70, 50, 2, 2, PxColor(&c));  // the point (35, 25)
  EXPECT_EQ(0, Paint([&](Graphics* g) {
              IRECT r(3, 4, 10, 8);
              g->FillIRect(&c, &r);
              g->DrawHorizontalLine(&c, 20, 2, 9);
              g->DrawVerticalLine(&c, 30, 6, 1);
              g->DrawPoint(&c, 35.2f, 24.8f);
            }));
  const IColor got = f.gui->GetPoint(9, 7);
  EXPECT_EQ(PxColor(&c), PxColor(&got));
  // Another scale is taken as the nearer of 1 and 2; 1 gives the 1x bitmap back.
  f.gui->SetDrawScale(7);
  EXPECT_EQ(2, f.gui->DrawScale());
  f.gui->SetDrawScale(0);
  EXPECT_EQ(kW, f.gui->GetDrawBitmap()->getWidth());
}

TEST_F(ScaleTest, ImagesComeFromTheir2xVersionElseEnlarged) {
  IBitmap strip = f.gui->LoadIBitmap(40, "strip_x3.png", 3, true);
  IBitmap plain = f.gui->LoadIBitmap(41, "Upper.PNG");
  ASSERT_NE(nullptr, strip.mData2x);
  EXPECT_EQ(nullptr, plain.mData2x);
  // A later request finds the same 2x version without decoding again.
  EXPECT_EQ(strip.mData2x, f.gui->LoadIBitmap(40, "strip_x3.png", 3, true).mData2x);
  PX_Blit(&ref, strip.mData2x, 10, 20, 20, 0, 20, 20, 1.0f, 0);  // frame 2 at (5, 10)
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const PX_pixel p = plain.mData->getBits()[(y / 2) * plain.mData->getRowSpan() + x / 2];
      PX_FillRect(&ref, 60 + x, 4 + y, 1, 1, p, 1.0f, 0);  // Upper.PNG at (30, 2)
    }
  }
  // A bitmap made at run time is enlarged as it is drawn: the top left
  // quarter of Upper.PNG, at (30, 12).
  IRECT quarter(0, 0, 2, 2);
  IBitmap crop = f.gui->CropBitmap(&plain, &quarter);
  PX_Blit(&ref, &ref, 60, 24, 60, 4, 4, 4, 1.0f, 0);
  EXPECT_EQ(0, Paint([&](Graphics* g) {
              IRECT d(5, 10, 15, 20);
              g->DrawBitmap(&strip, &d, 2);
              IRECT u(30, 2, 34, 6);
              g->DrawBitmap(&plain, &u, 1);
              IRECT c(30, 12, 32, 14);
              g->DrawBitmap(&crop, &c, 1);
            }));
  f.gui->ReleaseBitmap(&crop);
}

// A knob is composed at 1x and enlarged as a whole: its 2x picture is the 1x
// one with each pixel doubled.
TEST_F(ScaleTest, KnobsAreComposedThenEnlarged) {
  IBitmap base = f.gui->LoadIBitmap(50, "knob_base.png");
  IBitmap mask = f.gui->LoadIBitmap(51, "knob_mask.png");
  IBitmap top = f.gui->LoadIBitmap(52, "knob_top.png");
  auto draw = [&](Graphics* g) { g->DrawRotatedMask(&base, &mask, &top, 6, 4, 40.0); };
  Paint(draw);
  PX_MemBitmap two(2 * kW, 2 * kH, 4);
  PX_Blit(&two, f.gui->GetDrawBitmap(), 0, 0, 0, 0, 2 * kW, 2 * kH, 1.0f, 0);
  f.gui->SetDrawScale(1);
  f.Tick();
  PX_IBitmap* pOne = f.gui->GetDrawBitmap();
  int differences = 0, ink = 0;
  for (int y = 0; y < 2 * kH; ++y) {
    for (int x = 0; x < 2 * kW; ++x) {
      const PX_pixel p = two.getBits()[y * two.getRowSpan() + x];
      differences += p != pOne->getBits()[(y / 2) * pOne->getRowSpan() + x / 2];
      ink += p != 0;
    }
  }
  EXPECT_EQ(0, differences);
  EXPECT_GT(ink, 4 * 200);
}

// Ink: pixels of the text colour's kind in the bitmap, and their extent.
IRECT InkBox(PX_IBitmap* pBitmap, int* pCount) {
  IRECT box(1 << 20, 1 << 20, -1, -1);
  *pCount = 0;
  for (int y = 0; y < pBitmap->getHeight(); ++y) {
    for (int x = 0; x < pBitmap->getWidth(); ++x) {
      if (PX_GETG(pBitmap->getBits()[y * pBitmap->getRowSpan() + x]) < 128) continue;
      ++*pCount;
      box = IRECT(std::min(box.L, x), std::min(box.T, y), std::max(box.R, x + 1),
                  std::max(box.B, y + 1));
    }
  }
  return box;
}

TEST_F(ScaleTest, TextIsSetInTheDoubleSizeAndMeasuredInEditorUnits) {
  IText style(14, &COLOR_WHITE, "Arial", IText::kStyleNormal, IText::kAlignNear);
  const char* text = "Wave 42";
  auto draw = [&](Graphics* g) {
    IRECT r(2, 4, 38, 24);
    g->DrawIText(&style, text, &r);
  };
  IRECT at2;
  ASSERT_TRUE(f.gui->MeasureIText(&style, text, &at2));
  Paint(draw);
  int ink2 = 0;
  const IRECT box2 = InkBox(f.gui->GetDrawBitmap(), &ink2);
  f.gui->SetDrawScale(1);
  IRECT at1;
  ASSERT_TRUE(f.gui->MeasureIText(&style, text, &at1));
  probe->paint = draw;
  f.Tick();
  int ink1 = 0;
  const IRECT box1 = InkBox(f.gui->GetDrawBitmap(), &ink1);
  ASSERT_GT(ink1, 10);
  // Measured in editor units, the width stays near the 1x width.
  EXPECT_NEAR(at2.W(), at1.W(), 2);
  EXPECT_NEAR(at2.H(), at1.H(), 2);
  // Drawn, the glyphs are twice as tall and wide, with about four times the ink.
  EXPECT_NEAR(box2.H(), 2 * box1.H(), 3);
  EXPECT_NEAR(box2.W(), 2 * box1.W(), 4);
  EXPECT_GT(ink2, 3 * ink1);
  EXPECT_LT(ink2, 5 * ink1);
}

}  // namespace
