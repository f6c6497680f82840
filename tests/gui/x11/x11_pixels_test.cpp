// Pixel conversion, scale rounding and key mapping of the X11 layer (no
// display needed).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

#include <X11/keysym.h>

#include "gui/x11/editor_scale.h"
#include "gui/x11/x11_keys.h"
#include "gui/x11/x11_pixels.h"

namespace {

// Plain reference: each pixel as 0xAARRGGBB, repeated scale x scale times.
void Reference(const std::vector<PX_pixel>& src, int span, const IRECT& r, int scale,
               std::vector<uint32_t>* pDest, int destSpan) {
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x) {
      const PX_pixel p = src[y * span + x];
      const uint32_t v = PX_GETA(p) << 24 | PX_GETR(p) << 16 | PX_GETG(p) << 8 | PX_GETB(p);
      for (int dy = 0; dy < scale; ++dy) {
        for (int dx = 0; dx < scale; ++dx)
          (*pDest)[(y * scale + dy) * destSpan + x * scale + dx] = v;
      }
    }
  }
}

TEST(X11Pixels, RegionsConvertLikeThePlainReferenceAtBothScales) {
  std::mt19937 random(17);
  const int w = 37, h = 23, span = 40;
  std::vector<PX_pixel> src(span * h);
  for (PX_pixel& p : src) p = random();
  SkyHeapBuf scratch;
  for (int scale = 1; scale <= 2; ++scale) {
    for (int trial = 0; trial < 50; ++trial) {
      const int l = random() % w, t = random() % h;
      const IRECT r(l, t, l + 1 + random() % (w - l), t + 1 + random() % (h - t));
      const int destSpan = w * scale + 3;
      std::vector<uint32_t> expected(destSpan * h * scale, 0x5A5A5A5A), actual = expected;
      Reference(src, span, r, scale, &expected, destSpan);
      X11ConvertRegion(src.data(), span, r, scale, actual.data(), destSpan, &scratch);
      ASSERT_EQ(actual, expected) << "scale " << scale << " trial " << trial;
    }
  }
}

TEST(X11Scale, FactorsRoundToOneOrTwo) {
  EXPECT_EQ(EditorScaleFromFactor(1.0), 1);
  EXPECT_EQ(EditorScaleFromFactor(1.25), 1);
  EXPECT_EQ(EditorScaleFromFactor(1.5), 2);
  EXPECT_EQ(EditorScaleFromFactor(2.0), 2);
  EXPECT_EQ(EditorScaleFromFactor(3.0), 2);
  EXPECT_EQ(EditorScaleFromFactor(0.5), 1);
  EXPECT_EQ(EditorScaleFromFactor(0.0), 1);
  EXPECT_EQ(EditorScaleFromFactor(-2.0), 1);
  EXPECT_EQ(EditorScaleFromFactor(std::nan("")), 1);
  EXPECT_EQ(EditorScaleFromFactor(HUGE_VAL), 1);
}

TEST(X11Scale, EnvironmentAsksThroughGdkScale) {
  const struct {
    const char* value;
    int scale;
  } cases[] = {{"2", 2}, {"1", 1}, {"3", 2}, {"", 1}, {"two", 1}, {"2x", 1}};
  for (const auto& c : cases) {
    setenv("GDK_SCALE", c.value, 1);
    EXPECT_EQ(EditorScaleFromEnvironment(), c.scale) << c.value;
  }
  unsetenv("GDK_SCALE");
  EXPECT_EQ(EditorScaleFromEnvironment(), 1);
}

TEST(X11Keys, KeysMapToTheEditorsCodes) {
  EXPECT_EQ(X11EditorKey(XK_space), 0);
  EXPECT_EQ(X11EditorKey(XK_Up), 1);
  EXPECT_EQ(X11EditorKey(XK_Down), 2);
  EXPECT_EQ(X11EditorKey(XK_Left), 3);
  EXPECT_EQ(X11EditorKey(XK_Right), 4);
  EXPECT_EQ(X11EditorKey(XK_0), 5);
  EXPECT_EQ(X11EditorKey(XK_9), 14);
  EXPECT_EQ(X11EditorKey(XK_a), 15);
  EXPECT_EQ(X11EditorKey(XK_A), 15);
  EXPECT_EQ(X11EditorKey(XK_z), 40);
  EXPECT_EQ(X11EditorKey(XK_exclam), -1);
  EXPECT_EQ(X11EditorKey(XK_Return), -1);
}

TEST(X11Keys, ControlClickCountsAsRightClick) {
  const IMouseMod left = X11MouseMod(Button1, ShiftMask);
  EXPECT_TRUE(left.L && !left.R && left.S && !left.C && !left.A);
  const IMouseMod control = X11MouseMod(Button1, ControlMask);
  EXPECT_TRUE(control.L && control.R && control.C);
  const IMouseMod right = X11MouseMod(Button3, Mod1Mask);
  EXPECT_TRUE(!right.L && right.R && right.A);
  const IMouseMod drag = X11MotionMod(Button1Mask);
  EXPECT_TRUE(drag.L && !drag.R);
}

}  // namespace
