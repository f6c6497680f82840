// Cached-font text: layout, alignment, clipping, background cells, effects,
// UTF-8 decoding, native rendering and the free coverage-map functions.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "gdi/gdi.h"
#include "raster/raster.h"
#include "raster/pixels/cpu_p.h"
#include "raster/text/glyph_p.h"
#include "raster/text/text.h"
#include "../reference.h"
#include "../test_bitmap.h"

// fontconfig keeps the configuration it parses at start-up for the life of
// the process; LeakSanitizer would report it at exit.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

constexpr PX_pixel kBlack = 0x000000FFu;  // opaque black (alpha byte 255)
const PX_pixel kWhite = PX_PackRGBA(255, 255, 255, 255);

HFONT Sans(int size) {
  return CreateFont(size, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "sans-serif");
}

struct FontFixture : ::testing::Test {
  PX_CachedFont font;
  void SetUp() override {
    font.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT);
    font.SetTextColor(kWhite);
  }
  RECT Measure(const char* s, unsigned flags = 0) {
    RECT r{10, 20, 10, 20};
    font.DrawText(nullptr, s, -1, &r, flags | DT_CALCRECT);
    return r;
  }
};

void Clear(TestBitmap& b, PX_pixel c) {
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x) b.at(x, y) = c;
}

// Bounding box of pixels differing from c, or an empty rect.
RECT InkBox(TestBitmap& b, PX_pixel c) {
  RECT r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
  for (int y = 0; y < b.getHeight(); ++y)
    for (int x = 0; x < b.getWidth(); ++x)
      if (b.at(x, y) != c) {
        r.left = std::min(r.left, x);
        r.top = std::min(r.top, y);
        r.right = std::max(r.right, x + 1);
        r.bottom = std::max(r.bottom, y + 1);
      }
  return r;
}

bool Same(TestBitmap& a, TestBitmap& b) {
  for (int y = 0; y < a.getHeight(); ++y)
    for (int x = 0; x < a.getWidth(); ++x)
      if (a.at(x, y) != b.at(x, y)) return false;
  return true;
}

TEST_F(FontFixture, MeasuresLinesAndEmptyText) {
  EXPECT_GT(font.GetLineHeight(), 10);
  RECT empty = Measure("");
  EXPECT_EQ(empty.right, 10);
  EXPECT_EQ(empty.bottom, 20);
  TestBitmap bm(40, 20);
  RECT r{0, 0, 40, 20};
  EXPECT_EQ(font.DrawText(&bm, "", -1, &r, 0), 0);

  const RECT one = Measure("Hello");
  EXPECT_GT(one.right - one.left, 20);
  const RECT two = Measure("Hello\nHello");
  EXPECT_EQ(two.right, one.right);
  EXPECT_EQ(two.bottom - two.top, font.GetLineHeight() + (one.bottom - one.top));
  // Single line: LF is drawn as a space; CR is skipped.
  const RECT lf = Measure("ab\ncd", DT_SINGLELINE), sp = Measure("ab cd");
  EXPECT_EQ(lf.right, sp.right);
  EXPECT_EQ(lf.bottom, sp.bottom);
  EXPECT_EQ(Measure("ab\r\rcd").right, Measure("abcd").right);
  // A length limits the bytes read.
  RECT limited{10, 20, 10, 20};
  font.DrawText(nullptr, "abcdEFGH", 4, &limited, DT_CALCRECT);
  EXPECT_EQ(Measure("abcd").right, limited.right);
}

TEST_F(FontFixture, DecodesUtf8AsStated) {
  // 2-byte sequence: one glyph of its own, not two Latin-1 ones.
  EXPECT_NE(Measure("\xC3\xA9").right, Measure("\xC3").right + Measure("\xA9").right - 10);
  // A 4-byte sequence is one space.
  EXPECT_EQ(Measure("a\xF0\x9F\x98\x80"
                    "b")
                .right,
            Measure("a b").right);
  // A lead byte cut off by the length stands for itself.
  RECT cut{0, 0, 0, 0};
  font.DrawText(nullptr, "\xC3\xA9", 1, &cut, DT_CALCRECT);
  RECT lone{0, 0, 0, 0};
  font.DrawText(nullptr, "\xC3", -1, &lone, DT_CALCRECT);
  EXPECT_EQ(cut.right, lone.right);
}

TEST_F(FontFixture, RightAlignedTextEndsAtTheRectangleEdge) {
  const RECT m = Measure("Level 42");
  const int tw = m.right - m.left;
  TestBitmap right(120, 30), left(120, 30);
  Clear(right, kBlack);
  Clear(left, kBlack);
  RECT r{0, 0, 100, 30};
  font.DrawText(&right, "Level 42", -1, &r, DT_RIGHT);
  RECT l{100 - tw, 0, 100, 30};
  font.DrawText(&left, "Level 42", -1, &l, 0);
  EXPECT_TRUE(Same(right, left));
  const RECT ink = InkBox(right, kBlack);
  EXPECT_LE(ink.right, 100);
  EXPECT_GE(ink.right, 100 - 3);
  EXPECT_GE(ink.left, 100 - tw);

  // Centring splits the spare width.
  TestBitmap centred(120, 30);
  Clear(centred, kBlack);
  RECT c{0, 0, 100, 30};
  font.DrawText(&centred, "Level 42", -1, &c, DT_CENTER);
  TestBitmap manual(120, 30);
  Clear(manual, kBlack);
  RECT mc{(100 - tw) / 2, 0, 100, 30};
  font.DrawText(&manual, "Level 42", -1, &mc, 0);
  EXPECT_TRUE(Same(centred, manual));
}

TEST_F(FontFixture, ClipsToTheRectangleUnlessNoClip) {
  TestBitmap bm(100, 40), free(100, 40);
  Clear(bm, kBlack);
  Clear(free, kBlack);
  RECT r{5, 5, 25, 40};
  font.DrawText(&bm, "WWWWWW", -1, &r, 0);
  const RECT ink = InkBox(bm, kBlack);
  EXPECT_GE(ink.left, 5);
  EXPECT_LE(ink.right, 25);
  RECT r2{5, 5, 25, 40};
  font.DrawText(&free, "WWWWWW", -1, &r2, DT_NOCLIP);
  EXPECT_GT(InkBox(free, kBlack).right, 40);
}

TEST_F(FontFixture, PartlyClippedGlyphDrawsOnlyItsVisibleColumns) {
  RECT all{0, 0, 60, 40};
  TestBitmap measure(60, 40);
  font.DrawText(&measure, "M", -1, &all, DT_CALCRECT);  // caches the glyph
  TestBitmap full(60, 40), part(60, 40);
  Clear(full, kBlack);
  Clear(part, kBlack);
  RECT clipAll{0, 0, 60, 40}, clipPart{14, 0, 60, 40};
  ASSERT_TRUE(font.DrawGlyph(&full, 'M', 10, 5, &clipAll));
  ASSERT_TRUE(font.DrawGlyph(&part, 'M', 10, 5, &clipPart));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(part.at(x, y), x < 14 ? kBlack : full.at(x, y));
  RECT outside{40, 0, 60, 40};
  EXPECT_FALSE(font.DrawGlyph(&part, 'M', 10, 5, &outside));
  EXPECT_FALSE(font.DrawGlyph(&part, 0x4E2D, 10, 5, &clipAll));  // never rendered
  // Off the bitmap's edges nothing outside it is touched.
  TestBitmap small(6, 6, 2, true);
  Clear(small, kBlack);
  RECT huge{-100, -100, 100, 100};
  font.DrawGlyph(&small, 'M', -3, -4, &huge);
  EXPECT_TRUE(small.paddingIntact());
}

TEST_F(FontFixture, BackgroundModeFillsOnlyGlyphCells) {
  const PX_pixel red = PX_PackRGBA(255, 0, 0, 255);
  font.SetBkMode(1);
  font.SetBkColor(red);
  TestBitmap bm(120, 50);
  Clear(bm, kBlack);
  RECT r{4, 6, 120, 50};
  font.DrawText(&bm, "ab", -1, &r, 0);
  const RECT m = Measure("ab");
  const int tw = m.right - m.left, th = m.bottom - m.top;
  int redCount = 0;
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 120; ++x) {
      const bool inBox = x >= 4 && x < 4 + tw && y >= 6 && y < 6 + th;
      if (!inBox) {
        ASSERT_EQ(bm.at(x, y), kBlack) << x << "," << y;
      }
      redCount += bm.at(x, y) == red;
    }
  EXPECT_GT(redCount, tw * th / 3);
  EXPECT_EQ(bm.at(4, 6), red);
}

TEST_F(FontFixture, FixedSetSkipsCodesAbove127) {
  PX_CachedFont fixed;
  fixed.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | PX_FONT_FLAG_PRECALCALL);
  RECT a{0, 0, 0, 0}, b{0, 0, 0, 0};
  fixed.DrawText(nullptr, "a", -1, &a, DT_CALCRECT);
  fixed.DrawText(nullptr, "a\xC3\xA9\xE4\xB8\xAD", -1, &b, DT_CALCRECT);
  EXPECT_GT(a.right, 0);
  EXPECT_EQ(a.right, b.right);
  // The same text without the flag does get the extra glyphs.
  EXPECT_GT(Measure("a\xC3\xA9").right, Measure("a").right);
}

TEST_F(FontFixture, MonoAndOutlineStoreOnlyTheirColours) {
  const PX_pixel blue = PX_PackRGBA(0, 0, 255, 255);
  for (int flags : {PX_FONT_FLAG_FX_MONO, PX_FONT_FLAG_FX_OUTLINE, PX_FONT_FLAG_FX_SHADOW}) {
    PX_CachedFont fx;
    fx.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | flags);
    fx.SetTextColor(kWhite);
    fx.SetEffectColor(blue);
    TestBitmap bm(80, 30);
    Clear(bm, kBlack);
    RECT r{0, 0, 80, 30};
    fx.DrawText(&bm, "Ox", -1, &r, 0);
    int white = 0, effect = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 80; ++x) {
        const PX_pixel p = bm.at(x, y);
        ASSERT_TRUE(p == kBlack || p == kWhite || (p == blue && flags != PX_FONT_FLAG_FX_MONO))
            << flags << " " << std::hex << p;
        white += p == kWhite;
        effect += p == blue;
      }
    EXPECT_GT(white, 10);
    if (flags != PX_FONT_FLAG_FX_MONO) {
      EXPECT_GT(effect, 10);
    }
  }
}

TEST_F(FontFixture, VerticalTextSwapsTheBox) {
  PX_CachedFont down, up;
  down.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | PX_FONT_FLAG_VERTICAL);
  up.SetFromHFont(Sans(14),
                  PX_FONT_FLAG_OWNS_HFONT | PX_FONT_FLAG_VERTICAL | PX_FONT_FLAG_VERTICAL_BOTTOMUP);
  const RECT h = Measure("Gain");
  RECT v{0, 0, 0, 0};
  const int ret = down.DrawText(nullptr, "Gain", -1, &v, DT_CALCRECT);
  EXPECT_EQ(ret, v.right);
  EXPECT_LT(v.right, h.bottom - h.top + 2);
  EXPECT_GE(v.bottom, h.right - h.left - 2);
  // Downward text starts at the top, upward text at the bottom.
  TestBitmap a(30, 80), b(30, 80);
  Clear(a, kBlack);
  Clear(b, kBlack);
  down.SetTextColor(kWhite);
  up.SetTextColor(kWhite);
  RECT ra{0, 0, 30, 80}, rb{0, 0, 30, 80};
  down.DrawText(&a, "Gain", -1, &ra, 0);
  up.DrawText(&b, "Gain", -1, &rb, 0);
  EXPECT_LT(InkBox(a, kBlack).top, 5);
  EXPECT_GT(InkBox(b, kBlack).bottom, 75);
}

TEST_F(FontFixture, OpacityFromTheTextColourAndCombineModes) {
  TestBitmap bm(60, 30);
  Clear(bm, kBlack);
  RECT r{0, 0, 60, 30};
  font.SetTextColor(PX_PackRGBA(255, 255, 255, 0));
  EXPECT_EQ(font.DrawText(&bm, "Hi", -1, &r, PX_DT_USEFGALPHA), 0);
  EXPECT_EQ(InkBox(bm, kBlack).right, INT32_MIN);
  font.SetTextColor(PX_PackRGBA(255, 255, 255, 128));
  EXPECT_GT(font.DrawText(&bm, "Hi", -1, &r, PX_DT_USEFGALPHA), 0);
  int maxRed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) maxRed = std::max<int>(maxRed, PX_GETR(bm.at(x, y)));
  EXPECT_GT(maxRed, 100);
  EXPECT_LT(maxRed, 140);
  // An unsupported combine mode draws nothing.
  TestBitmap none(60, 30);
  Clear(none, kBlack);
  font.SetCombineMode(9, 1.0f);
  font.DrawText(&none, "Hi", -1, &r, 0);
  EXPECT_EQ(InkBox(none, kBlack).right, INT32_MIN);
}

TEST_F(FontFixture, NativeRenderingThroughATemporaryBitmap) {
  PX_CachedFont native;
  native.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | PX_FONT_FLAG_FORCE_NATIVE);
  native.SetTextColor(kWhite);
  TestBitmap bm(100, 30);
  Clear(bm, kBlack);
  RECT r{10, 0, 90, 30};
  EXPECT_GT(native.DrawText(&bm, "Native", -1, &r, DT_RIGHT | DT_VCENTER), 0);
  const RECT ink = InkBox(bm, kBlack);
  EXPECT_LE(ink.right, 90);
  EXPECT_GE(ink.left, 10);
  EXPECT_GT(ink.right, 80);
  RECT m{0, 0, 0, 0};
  native.DrawText(nullptr, "Native", -1, &m, DT_CALCRECT);
  HDC dc = GDI_CreateMemContext(nullptr, 4, 4);
  HGDIOBJ old = SelectObject(dc, native.GetHFont());
  RECT g{0, 0, 0, 0};
  GDI_DrawText(dc, "Native", -1, &g, DT_CALCRECT);
  SelectObject(dc, old);
  GDI_DeleteGfxContext(dc);
  EXPECT_EQ(m.right, g.right);
  EXPECT_EQ(m.bottom, g.bottom);
  // A system bitmap is drawn through its own device context.
  PX_SysBitmap sys(100, 30);
  RECT rs{0, 0, 100, 30};
  native.DrawText(&sys, "Native", -1, &rs, 0);
  int lit = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) lit += PX_GETR(sys.getBits()[y * sys.getRowSpan() + x]) > 0;
  EXPECT_GT(lit, 20);
}

// Weight of one coverage value as the font's plain formula states it.
int RefGlyphWeight(PxGlyphKind kind, int ia, int c) {
  if (kind == kPxGlyphScaled) return ia * c / 256;
  return ia == 256 ? c + 1 : std::min(ia * c / 256, 256);
}

void RefCoverage(Img& ref, int x, int y, const unsigned char* cov, int w, int span, int h,
                 PX_pixel colour, int alpha, int ia, int mode, PxGlyphKind kind) {
  const RefClass cls = RefSolidClass(mode, ia);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i) {
      const int c = cov[(size_t)j * span + i];
      if (!c || !ref.inside(x + i, y + j)) continue;
      uint32_t& p = ref.at(x + i, y + j);
      p = RefCombine(p, PX_GETR(colour), PX_GETG(colour), PX_GETB(colour), alpha,
                     RefGlyphWeight(kind, ia, c), cls, false);
    }
}

// The vector copy rows against the scalar loop and the reference, over every
// row length (so each tail size runs), both weights and flipped bitmaps.
TEST(GlyphCopyRows, VectorAndScalarMatchTheReference) {
  std::mt19937 rng(17);
  const int weights[] = {256, 1, 2, 128, 255, 0, 300};
  int vectorRuns = 0;
  for (int iter = 0; iter < 600; ++iter) {
    const int w = iter % 20, h = 1 + rng() % 4, span = w + rng() % 3;
    const bool flipped = rng() % 2;
    TestBitmap scalar(w + 2, h + 1, rng() % 2, flipped);
    const int padding = rng() % 2;
    FillRandom(scalar, rng);
    const Img before = ImgOf(scalar);
    Img ref = before;
    std::vector<unsigned char> cov((size_t)span * h + 1);
    for (auto& c : cov) c = rng() % 4 == 0 ? 0 : rng() % 4 == 0 ? 255 : (unsigned char)rng();
    const PxGlyphKind kind = rng() % 2 ? kPxGlyphNormal : kPxGlyphScaled;
    int ia = iter % 3 ? weights[rng() % 7] : 1 + (int)(rng() % 256);
    if (kind == kPxGlyphScaled && ia > 256) ia = 256;
    const PX_pixel colour = RandomPixel(rng);
    const int alpha = kind == kPxGlyphNormal ? 255 : (int)PX_GETA(colour);
    auto draw = [&](TestBitmap& bm) {
      const PxGlyphDraw g{px_rows(&bm), 1, 1, cov.data(), span, w, h, colour, colour, ia};
      return px_draw_coverage(g, PX_COMBINE_COPY, kind);
    };
    // The scalar loop first, then each vector level on a fresh copy.
    TestBitmap vec(w + 2, h + 1, padding, flipped);
    bool scalarDrew = false;
    for (PxSimd level : {kPxScalar, kPxSse2, kPxAvx2, kPxAvx512}) {
      TestBitmap& out = level == kPxScalar ? scalar : vec;
      for (int y = 0; y < h + 1; ++y)
        for (int x = 0; x < w + 2; ++x) vec.at(x, y) = before.get(x, y);
      px_limit_simd(level);
      const bool drew = draw(out);
      px_limit_simd(kPxAvx512);
      if (level == kPxScalar) scalarDrew = drew;
      ASSERT_EQ(drew, scalarDrew);
      if (level == kPxScalar && ia > 0)
        RefCoverage(ref, 1, 1, cov.data(), w, span, h, colour, alpha, ia, 0, kind);
      for (int y = 0; y < h + 1; ++y)
        for (int x = 0; x < w + 2; ++x)
          ASSERT_EQ(out.at(x, y), ref.at(x, y))
              << "iter " << iter << " level " << level << " at " << x << "," << y;
      ASSERT_TRUE(out.paddingIntact());
    }
    if (px_simd() >= kPxSse2 && ia >= 1 && ia <= 256) {
      const PxGlyphDraw g{px_rows(&vec), 1, 1, cov.data(), span, w, h, colour, colour, ia};
      ASSERT_TRUE(px_glyph_copy_rows_simd(g, colour, false));
      ++vectorRuns;
    }
  }
  if (px_simd() >= kPxSse2) {
    EXPECT_GT(vectorRuns, 300);
  }
}

TEST(GlyphInkBox, BoundsTheNonZeroBytes) {
  const unsigned char empty[6] = {0, 0, 0, 0, 0, 0};
  const PxInkBox none = px_ink_box(empty, 3, 2);
  EXPECT_GE(none.left, none.right);
  EXPECT_GE(none.top, none.bottom);
  EXPECT_GE(px_ink_box(nullptr, 0, 0).left, px_ink_box(nullptr, 0, 0).right);
  const unsigned char corners[12] = {0, 0, 0, 9, 0, 0, 0, 0, 1, 0, 0, 0};
  const PxInkBox c = px_ink_box(corners, 4, 3);  // (3, 0) and (0, 2)
  EXPECT_EQ(c.left, 0);
  EXPECT_EQ(c.top, 0);
  EXPECT_EQ(c.right, 4);
  EXPECT_EQ(c.bottom, 3);
  const unsigned char one[12] = {0, 0, 0, 0, 0, 0, 7, 0, 0, 0, 0, 0};
  const PxInkBox o = px_ink_box(one, 4, 3);  // (2, 1)
  EXPECT_EQ(o.left, 2);
  EXPECT_EQ(o.top, 1);
  EXPECT_EQ(o.right, 3);
  EXPECT_EQ(o.bottom, 2);
}

// Cached glyphs against the plain per-pixel formula: each glyph's coverage is
// read back by adding white onto transparent black (at full opacity the add
// class gives 255 x (c + 1) / 256 = c), then random draws are checked at every
// vector level.
TEST_F(FontFixture, GlyphsMatchThePlainReference) {
  const char chars[] = "MWgil.5!";
  struct Map {
    int w, h;
    std::vector<unsigned char> cov;
  };
  std::vector<Map> maps;
  int lit = 0;
  font.SetCombineMode(PX_COMBINE_ADD, 1.0f);
  for (const char* p = chars; *p; ++p) {
    RECT m{0, 0, 0, 0};
    font.DrawText(nullptr, std::string(1, *p).c_str(), -1, &m, DT_CALCRECT);
    TestBitmap probe(m.right, m.bottom);  // one character: the box is its cell
    Clear(probe, 0);
    RECT clip{0, 0, probe.getWidth(), probe.getHeight()};
    ASSERT_TRUE(font.DrawGlyph(&probe, (unsigned char)*p, 0, 0, &clip));
    const RECT ink = InkBox(probe, 0);
    ASSERT_GT(ink.right, 0) << *p;
    Map map{probe.getWidth(), probe.getHeight(), {}};
    for (int y = 0; y < map.h; ++y)
      for (int x = 0; x < map.w; ++x) {
        const PX_pixel px = probe.at(x, y);
        ASSERT_EQ(PX_GETR(px), PX_GETA(px));
        map.cov.push_back((unsigned char)PX_GETR(px));
        lit += PX_GETR(px) == 255;
      }
    // The same character drawn by the GDI layer, white on black, as cached.
    PX_SysBitmap gdi(64, 64);
    PX_FillRect(&gdi, 0, 0, 64, 64, 0, 1.0f, 0);
    HDC dc = gdi.getDC();
    ::SetTextColor(dc, 0xFFFFFF);
    ::SetBkMode(dc, OPAQUE);
    ::SetBkColor(dc, 0);
    HGDIOBJ old = SelectObject(dc, font.GetHFont());
    RECT cell{0, 0, 0, 0};
    GDI_DrawText(dc, std::string(1, *p).c_str(), -1, &cell,
                 DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    cell.right += 2;  // the cell's padding at this size
    GDI_DrawText(dc, std::string(1, *p).c_str(), -1, &cell, DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    for (int y = 0; y < map.h; ++y)
      for (int x = 0; x < map.w; ++x)
        ASSERT_EQ(map.cov[(size_t)y * map.w + x], PX_GETR(gdi.getBits()[y * gdi.getRowSpan() + x]))
            << *p << " at " << x << "," << y;
    maps.push_back(map);
  }
  EXPECT_GT(lit, 0);  // solid strokes, for the fully covered fast path
  std::mt19937 rng(23);
  const float alphas[] = {1.0f, 0.5f, 0.25f, 0.75f, 1.5f, 0.01f};
  const PxSimd levels[] = {kPxScalar, kPxSse2, kPxAvx2, kPxAvx512};
  for (int iter = 0; iter < 300; ++iter) {
    const int k = (int)(rng() % maps.size());
    const Map& map = maps[k];
    TestBitmap bm(10 + rng() % 20, 10 + rng() % 20, rng() % 2, rng() % 2);
    FillRandom(bm, rng);
    const PX_pixel fg = RandomPixel(rng), bg = RandomPixel(rng);
    const int mode = iter % 2 ? PX_COMBINE_COPY : (int)(rng() % 7);
    const float alpha = alphas[rng() % 6];
    const int bgmode = rng() % 4 == 0;
    const int x = (int)(rng() % 30) - 10, y = (int)(rng() % 30) - 10;
    RECT clip{(int)(rng() % 12) - 2, (int)(rng() % 12) - 2, 0, 0};
    clip.right = clip.left + (int)(rng() % 30);
    clip.bottom = clip.top + (int)(rng() % 30);

    Img ref = ImgOf(bm);
    const int l = std::max({x, (int)clip.left, 0}), t = std::max({y, (int)clip.top, 0});
    const int r = std::min({x + map.w, (int)clip.right, ref.w});
    const int b = std::min({y + map.h, (int)clip.bottom, ref.h});
    if (r > l && b > t) {
      if (bgmode) RefFillRect(ref, l, t, r - l, b - t, bg, alpha, mode);
      const int ia = RefWeight(alpha);
      if (ia > 0)
        RefCoverage(ref, l, t, map.cov.data() + (size_t)(t - y) * map.w + (l - x), r - l, map.w,
                    b - t, fg, 255, ia, mode, kPxGlyphNormal);
    }
    for (PxSimd level : levels) {
      TestBitmap out(bm.getWidth(), bm.getHeight());
      for (int j = 0; j < out.getHeight(); ++j)
        for (int i = 0; i < out.getWidth(); ++i) out.at(i, j) = bm.at(i, j);
      font.SetTextColor(fg);
      font.SetBkColor(bg);
      font.SetBkMode(bgmode);
      font.SetCombineMode(mode, alpha);
      px_limit_simd(level);
      RECT c = clip;
      EXPECT_EQ(font.DrawGlyph(&out, (unsigned char)chars[k], x, y, &c), r > l && b > t);
      px_limit_simd(kPxAvx512);
      for (int j = 0; j < ref.h; ++j)
        for (int i = 0; i < ref.w; ++i)
          ASSERT_EQ(out.at(i, j), ref.at(i, j))
              << "iter " << iter << " level " << level << " at " << i << "," << j;
    }
  }
}

// A subclass that draws every glyph through the base class, counting them.
struct CountingFont : PX_CachedFont {
  int calls = 0;
  bool DrawGlyph(PX_IBitmap* bm, unsigned short c, int x, int y, RECT* clip) override {
    ++calls;
    return PX_CachedFont::DrawGlyph(bm, c, x, y, clip);
  }
};

// Whole texts drawn at once against the same texts drawn glyph by glyph
// through an overriding DrawGlyph, over modes, opacities, background cells,
// effects, alignment and clips, at every vector level.
TEST(CachedFontText, MatchesGlyphByGlyphDrawing) {
  const int fontFlags[] = {0, PX_FONT_FLAG_FX_MONO, PX_FONT_FLAG_FX_OUTLINE, PX_FONT_FLAG_VERTICAL};
  const char* texts[] = {"Latency Control: 512 samples!", "Wg\xC3\xA9 il\n1.5", "MMMM"};
  const float alphas[] = {1.0f, 0.5f, 0.3f, 1.5f};
  const unsigned aligns[] = {0, DT_CENTER | DT_VCENTER | DT_SINGLELINE, DT_RIGHT | DT_BOTTOM,
                             DT_NOCLIP};
  const PxSimd levels[] = {kPxScalar, kPxSse2, kPxAvx2, kPxAvx512};
  std::mt19937 rng(31);
  for (int flags : fontFlags) {
    PX_CachedFont own;
    CountingFont counted;
    own.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | flags);
    counted.SetFromHFont(Sans(14), PX_FONT_FLAG_OWNS_HFONT | flags);
    for (int iter = 0; iter < 40; ++iter) {
      const char* text = texts[rng() % 3];
      const unsigned align = aligns[rng() % 4];
      const int mode = iter % 2 ? PX_COMBINE_COPY : (int)(rng() % 7);
      const float alpha = alphas[rng() % 4];
      const PX_pixel fg = RandomPixel(rng), bg = RandomPixel(rng), fx = RandomPixel(rng);
      const int bgmode = rng() % 4 == 0;
      const RECT rect{(int)(rng() % 40) - 20, (int)(rng() % 20) - 10, 120 + (int)(rng() % 100),
                      20 + (int)(rng() % 40)};
      TestBitmap base(200, 60, rng() % 2, rng() % 2);
      FillRandom(base, rng);
      for (PX_CachedFont* f : {&own, static_cast<PX_CachedFont*>(&counted)}) {
        f->SetTextColor(fg);
        f->SetBkColor(bg);
        f->SetEffectColor(fx);
        f->SetBkMode(bgmode);
        f->SetCombineMode(mode, alpha);
      }
      for (PxSimd level : levels) {
        TestBitmap a(200, 60), b(200, 60);
        for (int y = 0; y < 60; ++y)
          for (int x = 0; x < 200; ++x) a.at(x, y) = b.at(x, y) = base.at(x, y);
        px_limit_simd(level);
        RECT ra = rect, rb = rect;
        counted.calls = 0;
        const int ha = own.DrawText(&a, text, -1, &ra, align);
        const int hb = counted.DrawText(&b, text, -1, &rb, align);
        px_limit_simd(kPxAvx512);
        EXPECT_EQ(ha, hb);
        EXPECT_GT(counted.calls, 3);
        ASSERT_TRUE(Same(a, b)) << "flags " << flags << " iter " << iter << " level " << level;
        ASSERT_TRUE(a.paddingIntact());
      }
    }
  }
}

// Coverage maps: the real code against the plain reference, clipped at every edge.
TEST(DrawGlyphEx, MatchesReferenceOnRandomMaps) {
  std::mt19937 rng(5);
  uint32_t checksum = 0;
  for (int iter = 0; iter < 400; ++iter) {
    TestBitmap bm(1 + rng() % 20, 1 + rng() % 20, rng() % 3, rng() % 2);
    FillRandom(bm, rng);
    Img ref = ImgOf(bm);
    const int w = rng() % 12, h = rng() % 12, span = w + rng() % 3;
    std::vector<unsigned char> cov((size_t)span * h + 1);
    for (auto& c : cov) c = rng() % 3 == 0 ? 0 : (unsigned char)rng();
    const int x = (int)(rng() % 30) - 8, y = (int)(rng() % 30) - 8;
    const PX_pixel colour = RandomPixel(rng);
    const float alphas[] = {1.0f, 0.5f, 0.3f, 0.0f, 2.0f};
    const float alpha = alphas[rng() % 5];
    const int mode = (int)(rng() % 7) | (rng() % 2 ? PX_USE_SOURCE_ALPHA : 0);
    PX_DrawGlyphEx(&bm, x, y, colour, cov.data(), w, span, h, alpha, mode);
    int ia = RefWeight(alpha);
    if (ia > 256) ia = 256;
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        const int c = cov[(size_t)j * span + i];
        if (!c || ia <= 0 || !ref.inside(x + i, y + j)) continue;
        const RefClass cls = RefSolidClass(mode, ia);
        ref.at(x + i, y + j) =
            RefCombine(ref.at(x + i, y + j), PX_GETR(colour), PX_GETG(colour), PX_GETB(colour),
                       PX_GETA(colour), ia * c / 256, cls, false);
      }
    for (int j = 0; j < ref.h; ++j)
      for (int i = 0; i < ref.w; ++i) {
        ASSERT_EQ(bm.at(i, j), ref.at(i, j)) << "iter " << iter << " at " << i << "," << j;
        checksum = checksum * 31 + ref.at(i, j);
      }
    ASSERT_TRUE(bm.paddingIntact());
  }
  EXPECT_NE(checksum, 0u);
}

}  // namespace
