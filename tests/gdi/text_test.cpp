// Fonts, metrics, measuring and drawing text.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "gdi/gdi_p.h"
#include "gdi/text_p.h"

namespace {

HFONT Font(int height, const char* name = "Arial", int weight = FW_NORMAL, int italic = 0,
           int quality = 0) {
  return CreateFont(height, 0, 0, 0, weight, (char)italic, 0, 0, 0, 0, 0, (char)quality, 0, name);
}

struct TextCtx {
  HDC dc;
  HFONT font;
  int w, h;
  TextCtx(int w_, int h_, int size = 12, int quality = 0)
      : dc(GDI_CreateMemContext(nullptr, w_, h_)),
        font(Font(size, "Arial", FW_NORMAL, 0, quality)),
        w(w_),
        h(h_) {
    SelectObject(dc, font);
  }
  ~TextCtx() {
    GDI_DeleteGfxContext(dc);
    DeleteObject(font);
  }
  int Red(int x, int y) const {
    return static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc))[(y * w + x) * 4 + 1];
  }
  // Bounding box of pixels whose red channel is set; empty when none.
  RECT Ink() const {
    RECT r{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (Red(x, y)) {
          r.left = std::min(r.left, x);
          r.top = std::min(r.top, y);
          r.right = std::max(r.right, x + 1);
          r.bottom = std::max(r.bottom, y + 1);
        }
    return r;
  }
  RECT Measure(const char* s, int flags = 0) {
    RECT r{0, 0, 0, 0};
    DrawText(dc, s, -1, &r, flags | DT_CALCRECT);
    return r;
  }
};

TEST(GdiText, MetricsPresetOnInvalidContext) {
  TEXTMETRIC tm;
  memset(&tm, 0x55, sizeof(tm));
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
  EXPECT_EQ(tm.tmHeight, 16);
  EXPECT_EQ(tm.tmAscent, 12);
  EXPECT_EQ(tm.tmDescent, 4);
  EXPECT_EQ(tm.tmInternalLeading, 3);
  EXPECT_EQ(tm.tmAveCharWidth, 10);
  EXPECT_FALSE(GetTextMetrics(nullptr, nullptr));
}

TEST(GdiText, MetricsOfArialFollowLiberationSans) {
  TextCtx t(4, 4, 20);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(t.dc, &tm));
  // Liberation Sans: ascender 1854, descender 434, line gap 67 per 2048 units.
  EXPECT_EQ(tm.tmAscent, 1854 * 20 / 2048);
  EXPECT_EQ(tm.tmDescent, 434 * 20 / 2048);
  EXPECT_EQ(tm.tmInternalLeading, 67 * 20 / 2048);
  const int h = tm.tmAscent + tm.tmDescent + tm.tmInternalLeading;
  EXPECT_EQ(tm.tmHeight, h + 1);
  EXPECT_EQ(tm.tmAveCharWidth, h * 2 / 3);
}

TEST(GdiText, DefaultFontWhenNoneSelected) {
  HDC dc = GDI_CreateMemContext(nullptr, 4, 4);
  TEXTMETRIC tm;
  EXPECT_TRUE(GetTextMetrics(dc, &tm));
  EXPECT_GT(tm.tmHeight, 8);
  EXPECT_LT(tm.tmHeight, 16);
  char face[64];
  EXPECT_GT(GetTextFace(dc, sizeof(face), face), 0);
  GDI_DeleteGfxContext(dc);
}

TEST(GdiText, SizeRules) {
  auto height = [](HFONT f) {
    HDC dc = GDI_CreateMemContext(nullptr, 1, 1);
    SelectObject(dc, f);
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    GDI_DeleteGfxContext(dc);
    DeleteObject(f);
    return tm.tmAscent * 1000 + tm.tmDescent;
  };
  const int ten = height(Font(10));
  EXPECT_EQ(height(CreateFont(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")), ten);
  EXPECT_EQ(height(Font(-12)), height(Font(12)));
  EXPECT_EQ(height(CreateFont(0, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")), height(Font(12)));
  EXPECT_EQ(height(Font(1)), ten);
  EXPECT_EQ(height(Font(8193)), ten);
  EXPECT_EQ(height(Font(INT_MIN)), ten);
  EXPECT_NE(height(Font(40)), ten);
}

TEST(GdiText, FaceNamesResolveWithStyle) {
  struct Case {
    const char* name;
    int weight, italic;
    const char* expect;
  } cases[] = {
      {"Arial", FW_NORMAL, 0, "Liberation Sans"},
      {"Arial", FW_BOLD, 0, "Liberation Sans Bold"},
      {"Arial", FW_NORMAL, 1, "Liberation Sans Italic"},
      {"Arial", 900, 1, "Liberation Sans Bold Italic"},
      {"Times New Roman", FW_NORMAL, 0, "Liberation Serif"},
  };
  for (const Case& c : cases) {
    HDC dc = GDI_CreateMemContext(nullptr, 1, 1);
    HFONT f = Font(12, c.name, c.weight, c.italic);
    SelectObject(dc, f);
    char face[128];
    const int n = GetTextFace(dc, sizeof(face), face);
    EXPECT_STREQ(face, c.expect);
    EXPECT_EQ(n, (int)strlen(c.expect));
    char small[8];
    EXPECT_EQ(GetTextFace(dc, sizeof(small), small), 7);  // truncated copy
    EXPECT_EQ(std::string(small), std::string(c.expect, 7));
    GDI_DeleteGfxContext(dc);
    DeleteObject(f);
  }
  EXPECT_EQ(GetTextFace(nullptr, 10, nullptr), 0);
}

TEST(GdiText, OddFaceNamesStillGiveAFont) {
  std::string longName(5000, 'x');
  for (const char* name :
       {(const char*)nullptr, "", "No Such Font At All", longName.c_str(), "\xff\xfe:bold"}) {
    HFONT f = Font(12, name, FW_BOLD, 1);
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->font, nullptr);
    DeleteObject(f);
  }
  LOGFONT lf;
  memset(&lf, 'A', sizeof(lf));  // face name without a terminator
  lf.lfHeight = 12;
  HFONT f = CreateFontIndirect(&lf);
  ASSERT_NE(f, nullptr);
  DeleteObject(f);
  EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
}

TEST(GdiText, QualityAndRotationAreStored) {
  HFONT a = CreateFont(12, 0, 0, 900, 0, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Arial");
  HFONT b = CreateFont(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, "Arial");
  EXPECT_EQ(a->fontsmoothing, 3);
  EXPECT_FLOAT_EQ(a->font_rotation, 90.0f);
  EXPECT_EQ(b->fontsmoothing, 0);
  DeleteObject(a);
  DeleteObject(b);
}

TEST(GdiText, AmpersandRule) {
  TextCtx t(8, 8);
  const RECT ab = t.Measure("ab"), a_b = t.Measure("a&b");
  const RECT all = t.Measure("a&b", DT_NOPREFIX), amp = t.Measure("a&&b");
  EXPECT_EQ(a_b.right, ab.right);
  EXPECT_GT(all.right, ab.right);
  EXPECT_EQ(amp.right, all.right);  // "&&" draws one ampersand
  EXPECT_EQ(t.Measure("ab&").right, t.Measure("ab").right);
  GdiPreparedText p;
  GdiPrepareText("x&&y&\r\nz", -1, DT_SINGLELINE, &p);
  ASSERT_EQ(p.n, 5);
  EXPECT_EQ(p.cps[1], (uint32_t)'&');
  EXPECT_EQ(p.cps[3], (uint32_t)' ');  // "&\r" keeps nothing, LF becomes a space
}

TEST(GdiText, LineHeightsAndLines) {
  TextCtx t(8, 8, 20);
  TEXTMETRIC tm;
  GetTextMetrics(t.dc, &tm);
  const RECT one = t.Measure("Hg");
  // Liberation Sans at 20: ascent 18.1, descent 4.24, gap 0.65 -> floor(23.0 + 1.5) + 1.
  EXPECT_EQ(one.bottom, 25);
  const int line = one.bottom - 1;
  EXPECT_EQ(t.Measure("Hg\nHg").bottom, 2 * line + 1);
  EXPECT_EQ(t.Measure("Hg\n\nHg").bottom, 3 * line + 1);
  EXPECT_EQ(t.Measure("Hg\n").bottom, line + 1);  // a final LF opens no line
  EXPECT_EQ(t.Measure("Hg\r\nHg").bottom, 2 * line + 1);
  EXPECT_EQ(t.Measure("Hg\nHg", DT_SINGLELINE).bottom, line + 1);
  EXPECT_EQ(t.Measure("iiii\nWWWW").right, t.Measure("WWWW").right);  // widest line
  RECT r{10, 20, 0, 0};
  EXPECT_EQ(DrawText(t.dc, "Hg", -1, &r, DT_CALCRECT), 25);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.bottom, 45);
  EXPECT_EQ(r.right, 10 + one.right);
}

TEST(GdiText, EmptyNullAndLengthLimitedTexts) {
  TextCtx t(8, 8);
  RECT r{0, 0, 5, 5};
  EXPECT_EQ(DrawText(t.dc, "", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(t.dc, nullptr, -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(t.dc, "abc", 0, &r, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(t.dc, "\r\r", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(nullptr, "abc", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(DrawText(t.dc, "abc", -1, nullptr, DT_CALCRECT), 0);
  EXPECT_EQ(t.Measure("abcdef").right > 0, true);
  RECT lim{0, 0, 0, 0};
  DrawText(t.dc, "abcdef", 2, &lim, DT_CALCRECT);
  EXPECT_EQ(lim.right, t.Measure("ab").right);
}

TEST(GdiText, InvalidUtf8IsBoundedAndDefined) {
  GdiPreparedText p;
  GdiPrepareText("a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\xff\xc3", -1, 0, &p);
  ASSERT_EQ(p.n, 6);
  EXPECT_EQ(p.cps[1], 0xE9u);
  EXPECT_EQ(p.cps[2], 0x20ACu);
  EXPECT_EQ(p.cps[3], 0x1F600u);
  EXPECT_EQ(p.cps[4], 0xFFu);  // stray bytes stand for themselves
  EXPECT_EQ(p.cps[5], 0xC3u);
  GdiPrepareText("\xed\xa0\x80\xe0\x80\x80", -1, 0, &p);  // surrogate and overlong forms
  EXPECT_EQ(p.n, 6);
  std::string huge(20000, 'W');
  GdiPrepareText(huge.c_str(), -1, 0, &p);
  EXPECT_EQ(p.n, kGdiMaxTextBytes);
  TextCtx t(50, 20);
  RECT r{0, 0, 50, 20};
  EXPECT_GT(DrawText(t.dc, "\xff\xfe\xc3", -1, &r, 0), 0);
  EXPECT_GT(DrawText(t.dc, huge.c_str(), -1, &r, 0), 0);
}

TEST(GdiText, DrawsInTextColourWithinRect) {
  TextCtx t(60, 30);
  SetTextColor(t.dc, 0xFF0000);
  RECT r{5, 5, 60, 30};
  const int h = DrawText(t.dc, "Hi", -1, &r, 0);
  const RECT ink = t.Ink();
  ASSERT_LT(ink.left, ink.right);
  EXPECT_GE(ink.left, 5);
  EXPECT_GE(ink.top, 5);
  EXPECT_LE(ink.bottom, 5 + h);
  EXPECT_LE(ink.right, 5 + t.Measure("Hi").right + 1);
  int full = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      unsigned char* p =
          static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(t.dc)) + (y * 60 + x) * 4;
      EXPECT_EQ(p[2], 0);  // green and blue stay 0 for red text on black
      EXPECT_EQ(p[3], 0);
      EXPECT_EQ(p[0], 0);  // alpha byte untouched
      full += p[1] == 255;
    }
  EXPECT_GT(full, 5);  // stems of "H" are fully covered
}

TEST(GdiText, AlignmentFlagsPlaceTheText) {
  const RECT box{10, 10, 110, 60};
  auto ink = [&](int flags) {
    TextCtx t(120, 70, 16);
    SetTextColor(t.dc, 0xFFFFFF);
    RECT r = box;
    DrawText(t.dc, "IIII", -1, &r, flags);
    return t.Ink();
  };
  TextCtx m(1, 1, 16);
  const RECT size = m.Measure("IIII");
  const RECT tl = ink(0), right = ink(DT_RIGHT), center = ink(DT_CENTER);
  const RECT bottom = ink(DT_BOTTOM), vcenter = ink(DT_VCENTER);
  const int dx = (box.right - size.right) - box.left;
  EXPECT_EQ(right.left - tl.left, dx);
  EXPECT_EQ(center.left - tl.left, 50 - size.right / 2);
  const int dy = (box.bottom - size.bottom) - box.top;
  EXPECT_EQ(bottom.top - tl.top, dy);
  EXPECT_EQ(vcenter.top - tl.top, 25 - size.bottom / 2);
  EXPECT_EQ(right.top, tl.top);
  EXPECT_EQ(bottom.left, tl.left);
}

TEST(GdiText, ClipsToRectUnlessNoClip) {
  TextCtx t(100, 40, 24);
  SetTextColor(t.dc, 0xFFFFFF);
  RECT r{10, 5, 20, 40};
  DrawText(t.dc, "WWWW", -1, &r, 0);
  RECT ink = t.Ink();
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 20);
  TextCtx u(100, 40, 24);
  SetTextColor(u.dc, 0xFFFFFF);
  DrawText(u.dc, "WWWW", -1, &r, DT_NOCLIP);
  EXPECT_GT(u.Ink().right, 40);
  // Far outside the surface or with a negative rectangle nothing is drawn.
  TextCtx v(20, 20);
  SetTextColor(v.dc, 0xFFFFFF);
  RECT far{-100000, INT_MIN / 2, -99000, INT_MIN / 2 + 50};
  DrawText(v.dc, "abc", -1, &far, DT_NOCLIP);
  RECT neg{15, 15, 2, 2};
  DrawText(v.dc, "abc", -1, &neg, DT_RIGHT | DT_BOTTOM);
  RECT huge{INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX};
  EXPECT_GT(DrawText(v.dc, "abc", -1, &huge, DT_CALCRECT), 0);
  EXPECT_EQ(huge.right, INT_MAX);
  EXPECT_EQ(v.Ink().left, INT_MAX);
}

TEST(GdiText, OpaqueBackgroundFillsLineBox) {
  TextCtx t(80, 40, 16);
  SetTextColor(t.dc, 0xFFFFFF);
  SetBkColor(t.dc, 0x00FF00);
  SetBkMode(t.dc, OPAQUE);
  RECT r{2, 3, 80, 40};
  DrawText(t.dc, "ab", -1, &r, 0);
  const RECT size = t.Measure("ab");
  auto* fb = static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(t.dc));
  EXPECT_EQ(fb[(3 * 80 + 2) * 4 + 2], 255);             // top-left of the box is background
  EXPECT_EQ(fb[(3 * 80 + 2 + size.right) * 4 + 2], 0);  // right of the box untouched
  EXPECT_EQ(fb[(2 * 80 + 2) * 4 + 2], 0);               // above the box untouched
}

TEST(GdiText, NonAntialiasedQualityGivesTwoLevels) {
  TextCtx t(60, 30, 14, NONANTIALIASED_QUALITY);
  SetTextColor(t.dc, 0xFFFFFF);
  RECT r{0, 0, 60, 30};
  DrawText(t.dc, "Wow", -1, &r, 0);
  int partial = 0, full = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      partial += t.Red(x, y) != 0 && t.Red(x, y) != 255;
      full += t.Red(x, y) == 255;
    }
  EXPECT_EQ(partial, 0);
  EXPECT_GT(full, 10);
  TextCtx aa(60, 30, 14, ANTIALIASED_QUALITY);
  SetTextColor(aa.dc, 0xFFFFFF);
  DrawText(aa.dc, "Wow", -1, &r, 0);
  partial = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) partial += aa.Red(x, y) != 0 && aa.Red(x, y) != 255;
  EXPECT_GT(partial, 10);
}

}  // namespace
