// StretchBlt, BitBlt and pixel doubling against plain per-pixel references.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "base/heapbuf.h"
#include "gdi/gdi_p.h"

namespace {

struct Ctx {
  HDC dc;
  int w, h;
  Ctx(int w_, int h_) : dc(GDI_CreateMemContext(nullptr, w_, h_)), w(w_), h(h_) {}
  ~Ctx() { GDI_DeleteGfxContext(dc); }
  unsigned char* Px(int x, int y) const {
    return static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc)) + (y * w + x) * 4;
  }
  void Randomize(std::mt19937& rng) const {
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int i = 0; i < 4; ++i) Px(x, y)[i] = static_cast<unsigned char>(rng());
  }
  std::vector<unsigned char> Copy() const {
    auto* p = static_cast<unsigned char*>(GDI_GetCtxFrameBuffer(dc));
    return std::vector<unsigned char>(p, p + w * h * 4);
  }
};

// Reference: for every destination pixel inside the destination, find the source
// pixel by the nearest-sample rule over the clipped source rectangle.
void ReferenceStretch(std::vector<unsigned char>& dst, int dw, int dh,
                      const std::vector<unsigned char>& src, int srcw, int srch, int x, int y,
                      int w, int h, int sx, int sy, int sw, int sh, bool alpha) {
  double fx = x, fw = w, fy = y, fh = h;
  if (sx < 0) {
    fx -= (int64_t)w * sx / sw;
  }
  if (sy < 0) {
    fy -= (int64_t)h * sy / sh;
  }
  int csx = sx < 0 ? 0 : sx, csy = sy < 0 ? 0 : sy;
  int csw = sw + (sx < 0 ? sx : 0), csh = sh + (sy < 0 ? sy : 0);
  if (csx + csw > srcw) csw = srcw - csx;
  if (csy + csh > srch) csh = srch - csy;
  if (csw <= 0 || csh <= 0) return;
  if (csw != sw) fw = (int64_t)w * csw / sw;
  if (csh != sh) fh = (int64_t)h * csh / sh;
  const int X = (int)fx, Y = (int)fy, W = (int)fw, H = (int)fh;
  for (int py = 0; py < dh; ++py)
    for (int px = 0; px < dw; ++px) {
      if (px < X || px >= X + W || py < Y || py >= Y + H) continue;
      const int ssx = csx + (int)(((2 * (int64_t)(px - X) + 1) * csw) / (2 * W));
      const int ssy = csy + (int)(((2 * (int64_t)(py - Y) + 1) * csh) / (2 * H));
      const unsigned char* s = &src[(ssy * srcw + ssx) * 4];
      unsigned char* d = &dst[(py * dw + px) * 4];
      for (int i = 1; i < 4; ++i)
        d[i] = alpha ? (unsigned char)((d[i] * (255 - s[0]) + s[i] * s[0] + 127) / 255) : s[i];
    }
}

TEST(GdiBlit, BitBltCopiesColourAndKeepsDestinationAlpha) {
  Ctx src(4, 3), dst(6, 5);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) {
      unsigned char* p = src.Px(x, y);
      p[0] = 7;
      p[1] = (unsigned char)(x * 10);
      p[2] = (unsigned char)(y * 10);
      p[3] = 200;
    }
  dst.Px(2, 1)[0] = 99;
  BitBlt(dst.dc, 1, 1, 4, 3, src.dc, 0, 0, SRCCOPY);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      const bool in = x >= 1 && x < 5 && y >= 1 && y < 4;
      EXPECT_EQ(dst.Px(x, y)[1], in ? (x - 1) * 10 : 0) << x << "," << y;
      EXPECT_EQ(dst.Px(x, y)[2], in ? (y - 1) * 10 : 0) << x << "," << y;
      EXPECT_EQ(dst.Px(x, y)[3], in ? 200 : 0) << x << "," << y;
    }
  EXPECT_EQ(dst.Px(2, 1)[0], 99);
}

TEST(GdiBlit, SourceAlphaRopBlendsStraightAlpha) {
  Ctx src(2, 1), dst(2, 1);
  unsigned char* a = src.Px(0, 0);
  a[0] = 0;
  a[1] = 255;
  a[2] = 255;
  a[3] = 255;
  unsigned char* b = src.Px(1, 0);
  b[0] = 128;
  b[1] = 255;
  b[2] = 0;
  b[3] = 100;
  for (int x = 0; x < 2; ++x) {
    dst.Px(x, 0)[1] = 0;
    dst.Px(x, 0)[2] = 50;
    dst.Px(x, 0)[3] = 200;
  }
  BitBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, SRCCOPY_USEALPHACHAN);
  EXPECT_EQ(dst.Px(0, 0)[1], 0);  // alpha 0 leaves the destination
  EXPECT_EQ(dst.Px(0, 0)[2], 50);
  EXPECT_EQ(dst.Px(1, 0)[1], (0 * 127 + 255 * 128 + 127) / 255);
  EXPECT_EQ(dst.Px(1, 0)[2], (50 * 127 + 0 + 127) / 255);
  EXPECT_EQ(dst.Px(1, 0)[3], (200 * 127 + 100 * 128 + 127) / 255);
}

TEST(GdiBlit, StretchMatchesReferenceOverRandomCases) {
  std::mt19937 rng(1234);
  for (int iter = 0; iter < 300; ++iter) {
    const int sw0 = 1 + rng() % 20, sh0 = 1 + rng() % 20, dw0 = 1 + rng() % 24,
              dh0 = 1 + rng() % 24;
    Ctx src(sw0, sh0), dst(dw0, dh0);
    src.Randomize(rng);
    dst.Randomize(rng);
    const int x = (int)(rng() % 30) - 6, y = (int)(rng() % 30) - 6;
    const int w = (int)(rng() % 30) - 2, h = (int)(rng() % 30) - 2;
    const int sx = (int)(rng() % 26) - 6, sy = (int)(rng() % 26) - 6;
    const int sw = (int)(rng() % 26) - 2, sh = (int)(rng() % 26) - 2;
    const bool alpha = rng() & 1;
    std::vector<unsigned char> expect = dst.Copy();
    if (w > 0 && h > 0 && sw > 0 && sh > 0)
      ReferenceStretch(expect, dw0, dh0, src.Copy(), sw0, sh0, x, y, w, h, sx, sy, sw, sh, alpha);
    StretchBlt(dst.dc, x, y, w, h, src.dc, sx, sy, sw, sh, alpha ? SRCCOPY_USEALPHACHAN : SRCCOPY);
    ASSERT_EQ(dst.Copy(), expect) << "case " << iter << ": " << x << "," << y << " " << w << "x"
                                  << h << " from " << sx << "," << sy << " " << sw << "x" << sh;
  }
}

TEST(GdiBlit, StretchSamplesNearestAndShiftsForNegativeSource) {
  Ctx src(4, 1), dst(4, 1);
  for (int x = 0; x < 4; ++x) src.Px(x, 0)[1] = (unsigned char)(10 + x);
  StretchBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, 4, 1, SRCCOPY);  // halve: pixels 1 and 3
  EXPECT_EQ(dst.Px(0, 0)[1], 11);
  EXPECT_EQ(dst.Px(1, 0)[1], 13);
  StretchBlt(dst.dc, 0, 0, 4, 1, src.dc, 1, 0, 2, 1, SRCCOPY);  // double pixels 1 and 2
  const int doubled[4] = {11, 11, 12, 12};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.Px(x, 0)[1], doubled[x]) << x;
  Ctx dst2(4, 1);
  StretchBlt(dst2.dc, 0, 0, 4, 1, src.dc, -2, 0, 4, 1, SRCCOPY);  // left half lies outside
  const int shifted[4] = {0, 0, 10, 11};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(dst2.Px(x, 0)[1], shifted[x]) << x;
}

TEST(GdiBlit, SelfBlitReadsTheOriginalPixels) {
  Ctx c(8, 1);
  for (int x = 0; x < 8; ++x) c.Px(x, 0)[1] = (unsigned char)x;
  BitBlt(c.dc, 2, 0, 6, 1, c.dc, 0, 0, SRCCOPY);
  const int expect[8] = {0, 1, 0, 1, 2, 3, 4, 5};
  for (int x = 0; x < 8; ++x) EXPECT_EQ(c.Px(x, 0)[1], expect[x]) << x;
}

TEST(GdiBlit, InvalidArgumentsDoNothing) {
  Ctx src(4, 4), dst(4, 4);
  std::mt19937 rng(5);
  src.Randomize(rng);
  const std::vector<unsigned char> before = dst.Copy();
  StretchBlt(nullptr, 0, 0, 4, 4, src.dc, 0, 0, 4, 4, SRCCOPY);
  StretchBlt(dst.dc, 0, 0, 4, 4, nullptr, 0, 0, 4, 4, SRCCOPY);
  StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 0, 4, SRCCOPY);
  StretchBlt(dst.dc, 0, 0, -4, 4, src.dc, 0, 0, 4, 4, SRCCOPY);
  StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, 4, 0, 4, 4, SRCCOPY);  // source fully outside
  StretchBlt(dst.dc, 0, 0, 4, 4, src.dc, -0x7fffffff, 0, 0x7fffffff, 4, SRCCOPY);
  StretchBlt(dst.dc, 0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff, src.dc, 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(dst.Copy(), before);
  uint32_t px[4] = {};
  HDC wrapped = GDI_CreateGfxContext(px, 2, 2, 2);
  StretchBlt(dst.dc, 0, 0, 2, 2, wrapped, 0, 0, 2, 2, SRCCOPY);  // source must be a memory context
  EXPECT_EQ(dst.Copy(), before);
  GDI_DeleteGfxContext(wrapped);
}

TEST(GdiDoubleUp, MatchesPlainDoublingForAnyAlignment) {
  std::mt19937 rng(77);
  for (int iter = 0; iter < 200; ++iter) {
    const int w = 1 + rng() % 19, h = 1 + rng() % 5, srcspan = w + rng() % 3;
    const int destspan = 2 * w + rng() % 5, soff = rng() % 4, doff = rng() % 4;
    std::vector<int> src(soff + srcspan * h), dst(doff + destspan * 2 * h, -1), ref(dst);
    for (int& v : src) v = (int)rng();
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        for (int k = 0; k < 4; ++k)
          ref[doff + (2 * y + k / 2) * destspan + 2 * x + k % 2] = src[soff + y * srcspan + x];
    GDI_fastDoubleUpImage(dst.data() + doff, src.data() + soff, w, h, srcspan, destspan);
    ASSERT_EQ(dst, ref) << "case " << iter;
  }
  GDI_fastDoubleUpImage(nullptr, nullptr, 4, 4, 4, 8);
}

TEST(GdiPool, TmpBuffersAreRecycled) {
  SkyHeapBuf* a = GDI_GDP_GetTmpBuf();
  ASSERT_NE(a, nullptr);
  EXPECT_NE(a->ResizeOK(10000), nullptr);
  GDI_GDP_DisposeTmpBuf(a);
  SkyHeapBuf* b = GDI_GDP_GetTmpBuf();
  EXPECT_EQ(a, b);
  SkyHeapBuf* c = GDI_GDP_GetTmpBuf();
  EXPECT_NE(c, b);
  GDI_GDP_DisposeTmpBuf(b);
  GDI_GDP_DisposeTmpBuf(c);
  GDI_GDP_DisposeTmpBuf(nullptr);
}

}  // namespace
