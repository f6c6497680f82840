#include <gtest/gtest.h>

#include <cstring>

#include "gui/iblend.h"
#include "gui/ibitmap.h"
#include "gui/icolor.h"
#include "gui/irect.h"
#include "gui/itext.h"

namespace {

TEST(IRECTTest, EmptinessIntersectionAndUnionFollowTheEdgeRules) {
  EXPECT_TRUE(IRECT().Empty());
  EXPECT_FALSE(IRECT(5, 5, 5, 5).Empty());
  EXPECT_FALSE(IRECT().Intersects(IRECT(-10, -10, 10, 10)));
  // A right edge touching the other's left edge intersects; the reverse does not.
  EXPECT_TRUE(IRECT(0, 0, 10, 10).Intersects(IRECT(10, 0, 20, 10)));
  EXPECT_FALSE(IRECT(10, 0, 20, 10).Intersects(IRECT(0, 0, 10, 10)));
  EXPECT_EQ(IRECT(5, 2, 10, 8), IRECT(0, 0, 10, 8).Intersect(IRECT(5, 2, 30, 30)));
  EXPECT_EQ(IRECT(), IRECT(0, 0, 4, 4).Intersect(IRECT(8, 8, 9, 9)));
  EXPECT_EQ(IRECT(1, 2, 30, 40), IRECT(1, 2, 3, 4).Union(IRECT(20, 30, 30, 40)));
  EXPECT_EQ(IRECT(1, 2, 3, 4), IRECT().Union(IRECT(1, 2, 3, 4)));
  EXPECT_TRUE(IRECT(0, 0, 2, 2).Contains(1, 1));
  EXPECT_FALSE(IRECT(0, 0, 2, 2).Contains(2, 1));
  EXPECT_FALSE(IRECT().Contains(0, 0));
}

TEST(IRECTTest, SlicesDropTheRemainderAndFramesNeverDivideByZero) {
  EXPECT_EQ(IRECT(6, 0, 9, 4), IRECT(0, 0, 10, 4).SubRectHorizontal(3, 2));
  EXPECT_EQ(IRECT(0, 6, 5, 12), IRECT(0, 0, 5, 20).SubRectVertical(3, 1));
  EXPECT_FLOAT_EQ(7.5f, IRECT(5, 0, 10, 0).MW());
  IBitmap strip(nullptr, 30, 90, 3);
  EXPECT_EQ(IRECT(4, 5, 34, 35), IRECT(4, 5, &strip));
  IBitmap sideBySide(nullptr, 30, 10, 3, true);
  EXPECT_EQ(IRECT(4, 5, 14, 15), IRECT(4, 5, &sideBySide));
  IBitmap noFrames(nullptr, 10, 20, 0);
  EXPECT_EQ(1, noFrames.N);
  EXPECT_EQ(IRECT(0, 0, 10, 20), IRECT(0, 0, &noFrames));
}

TEST(IColorTest, PackingMatchesThePixelLayout) {
  const IColor c(0x11, 0x22, 0x33, 0x44);
  EXPECT_EQ(0x44332211u, PxColor(&c));
  EXPECT_EQ(c, IColorFromPx(PxColor(&c)));
  EXPECT_EQ(PX_PackRGBA(255, 127, 0, 255), PxColor(&COLOR_ORANGE));
}

TEST(IChannelBlendTest, MethodsBecomeModeWords) {
  EXPECT_EQ(0x10000, PxBlendMode(nullptr));
  EXPECT_FLOAT_EQ(1.0f, PxWeight(nullptr));
  const IChannelBlend overwrite(IChannelBlend::kBlendOverwrite, 0.5f);
  const IChannelBlend dodge(IChannelBlend::kBlendColorDodge);
  const IChannelBlend unknown(static_cast<IChannelBlend::EBlendMethod>(9));
  EXPECT_EQ(0, PxBlendMode(&overwrite));
  EXPECT_FLOAT_EQ(0.5f, PxWeight(&overwrite));
  EXPECT_EQ(0x10002, PxBlendMode(&dodge));
  EXPECT_EQ(0x10000, PxBlendMode(&unknown));
}

TEST(ITextTest, OverlongFontNamesAreCut) {
  const IText longName(12, &COLOR_RED, "A font name much longer than thirty-one characters");
  EXPECT_EQ(31u, strlen(longName.mFont));
  EXPECT_STREQ("Monaco", IText().mFont);
}

}  // namespace
