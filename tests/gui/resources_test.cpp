#include <cstring>

#include "gui/controls/panel.h"
#include "gui/embedded_images.h"
#include "gui/resource_caches.h"
#include "raster/blit/blit.h"
#include "raster/raster.h"
#include "raster/text/text.h"
#include "tests/gui/gui_test_support.h"

namespace {

// Counts the images the platform is asked to decode.
class CountingGraphics : public GraphicsHeadless {
 public:
  using GraphicsHeadless::GraphicsHeadless;
  PX_IBitmap* OSLoadBitmap(int ID, const char* name) override {
    ++loads;
    return GraphicsHeadless::OSLoadBitmap(ID, name);
  }
  int loads = 0;
};

bool Cached(PX_IBitmap* pBitmap) {
  ResourceUse use;
  return use && use.Bitmaps()->Contains(pBitmap);
}

TEST(EmbeddedImagesTest, FoundByLastPathComponentWithPngOnly) {
  const EmbeddedImage* button = FindEmbeddedImage("resources/img/button_x2.png");
  ASSERT_NE(nullptr, button);
  EXPECT_STREQ("button_x2.png", button->name);
  EXPECT_EQ(button, FindEmbeddedImage("BUTTON_X2.PNG"));
  EXPECT_EQ(button, FindEmbeddedImage("other/dir/Button_X2.Png"));
  ASSERT_NE(nullptr, FindEmbeddedImage("upper.png"));
  EXPECT_STREQ("Upper.PNG", FindEmbeddedImage("upper.png")->name);
  EXPECT_EQ(nullptr, FindEmbeddedImage("button_x2.jpg"));
  EXPECT_EQ(nullptr, FindEmbeddedImage("button_x2"));
  EXPECT_EQ(nullptr, FindEmbeddedImage("png"));
  EXPECT_EQ(nullptr, FindEmbeddedImage(".png"));
  EXPECT_EQ(nullptr, FindEmbeddedImage("img.png/button_x2"));
  EXPECT_EQ(nullptr, FindEmbeddedImage("missing.png"));
  EXPECT_EQ(nullptr, FindEmbeddedImage(""));
  EXPECT_EQ(nullptr, FindEmbeddedImage(nullptr));
  EXPECT_NE(nullptr, FindEmbeddedImage("broken.png"));
  EXPECT_EQ(nullptr, LoadEmbeddedBitmap("broken.png"));
  PX_IBitmap* upper = LoadEmbeddedBitmap("x/UPPER.png");
  ASSERT_NE(nullptr, upper);
  EXPECT_EQ(4, upper->getWidth());
  delete upper;
}

TEST(BitmapCacheTest, OneDecodePerIdentifierSharedByEveryEditor) {
  TestPlug plug;
  CountingGraphics a(&plug, 10, 10), b(&plug, 10, 10);
  IBitmap first = a.LoadIBitmap(100, "button_x2.png", 2);
  IBitmap second = b.LoadIBitmap(100, "strip_x3.png", 3, true);  // the name is not looked at
  EXPECT_EQ(1, a.loads);
  EXPECT_EQ(0, b.loads);
  ASSERT_NE(nullptr, first.mData);
  EXPECT_EQ(first.mData, second.mData);
  EXPECT_EQ(40, second.W);
  EXPECT_EQ(3, second.N);
  EXPECT_TRUE(second.mFramesAreHorizontal);
  // Releasing a shared image does not take it from the other holders.
  a.ReleaseBitmap(&first);
  EXPECT_TRUE(Cached(first.mData));
  EXPECT_EQ(first.mData, b.LoadIBitmap(100, "button_x2.png").mData);
}

TEST(BitmapCacheTest, MissingOrBrokenImagesGiveNullAndTheEditorStillDraws) {
  EditorFixture f(32, 32);
  EXPECT_EQ(nullptr, f.gui->LoadIBitmap(101, "broken.png").mData);
  EXPECT_EQ(nullptr, f.gui->LoadIBitmap(102, "absent.png").mData);
  EXPECT_EQ(nullptr, f.gui->LoadIBitmap(103, "button_x2.bmp").mData);
  // A missing image is not remembered: the next request tries again.
  EXPECT_NE(nullptr, f.gui->LoadIBitmap(102, "button_x2.png").mData);
  f.gui->AttachControl(new IPanelControl(&f.plug, IRECT(4, 4, 8, 8), &COLOR_RED));
  IControl* bg = f.gui->AttachBackground(104, "no-such-background.png");
  EXPECT_EQ(bg, f.gui->GetControl(0));
  f.Attach();
  EXPECT_TRUE(f.Tick());
  EXPECT_EQ(COLOR_RED, f.gui->GetPoint(5, 5));
  EXPECT_EQ(COLOR_TRANSPARENT, f.gui->GetPoint(20, 20));
}

TEST(BitmapCacheTest, RunTimeBitmapsLiveUntilTheirLastHolderReleasesThem) {
  EditorFixture f;
  IBitmap strip = f.gui->LoadIBitmap(105, "strip_x3.png", 3, true);
  IBitmap scaled = f.gui->ScaleBitmap(&strip, 60, 20);
  ASSERT_NE(nullptr, scaled.mData);
  EXPECT_EQ(60, scaled.W);
  EXPECT_EQ(3, scaled.N);
  EXPECT_TRUE(scaled.mFramesAreHorizontal);
  PX_MemBitmap ref(60, 20, 4);
  PX_ScaledBlit(&ref, strip.mData, 0, 0, 60, 20, 0, 0, 30, 10, 1.0f, PX_FILTER_BILINEAR);
  EXPECT_EQ(0, CountDifferences(&ref, scaled.mData));

  f.gui->RetainBitmap(&scaled);  // a second holder
  f.gui->ReleaseBitmap(&scaled);
  EXPECT_TRUE(Cached(scaled.mData));
  f.gui->ReleaseBitmap(&scaled);
  EXPECT_FALSE(Cached(scaled.mData));
  IBitmap unknown(&ref, 60, 20);
  f.gui->ReleaseBitmap(&unknown);  // not in the cache: nothing happens

  IRECT area(25, 2, 40, 8);  // reaches past the strip's right edge
  IBitmap crop = f.gui->CropBitmap(&strip, &area);
  ASSERT_NE(nullptr, crop.mData);
  EXPECT_EQ(5, crop.W);
  EXPECT_EQ(6, crop.H);
  EXPECT_EQ(PX_GetPixel(strip.mData, 25, 2), PX_GetPixel(crop.mData, 0, 0));
  EXPECT_EQ(PX_GetPixel(strip.mData, 29, 7), PX_GetPixel(crop.mData, 4, 5));
  EXPECT_TRUE(Cached(crop.mData));
  f.gui->ReleaseBitmap(&crop);
  IRECT outside(100, 100, 120, 120);
  EXPECT_EQ(nullptr, f.gui->CropBitmap(&strip, &outside).mData);
  EXPECT_EQ(nullptr, f.gui->ScaleBitmap(&strip, 1 << 20, 1 << 20).mData);
}

TEST(FontCacheTest, StylesDifferingOnlyInColourShareOneFont) {
  EditorFixture f;
  IText red(13, &COLOR_RED, "Liberation Sans", IText::kStyleNormal, IText::kAlignNear);
  IText blue(13, &COLOR_BLUE, "Liberation Sans", IText::kStyleNormal, IText::kAlignFar);
  IText italic(13, &COLOR_RED, "Liberation Sans", IText::kStyleItalic);
  IText tiny(1, &COLOR_RED, "Liberation Sans");
  PX_CachedFont* font = f.gui->CacheFont(&red);
  ASSERT_NE(nullptr, font);
  EXPECT_EQ(font, red.mCached);
  EXPECT_EQ(font, f.gui->CacheFont(&blue));
  EXPECT_NE(font, f.gui->CacheFont(&italic));
  EXPECT_NE(nullptr, f.gui->CacheFont(&tiny));
  EXPECT_NEAR(13, font->GetLineHeight(), 1);
  IText copy = red;  // a copy keeps the font it already found
  EXPECT_EQ(font, copy.mCached);
}

}  // namespace
