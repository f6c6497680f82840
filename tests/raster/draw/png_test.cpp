// PNG loading: every colour type lands as A, R, G, B, failures leave the
// caller's bitmap alive, oversized headers are refused before allocation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sys/stat.h>
#include <zlib.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>

#include "png_writer.h"
#include "raster/png/png_loader.h"
#include "../test_bitmap.h"

namespace {

PX_pixel PixelAt(PX_IBitmap* bm, int x, int y) {
  const int row = bm->isFlipped() ? bm->getHeight() - 1 - y : y;
  return bm->getBits()[row * bm->getRowSpan() + x];
}

std::unique_ptr<PX_IBitmap> Load(const PngSpec& spec) {
  const std::vector<uint8_t> bytes = EncodePng(spec);
  return std::unique_ptr<PX_IBitmap>(
      PX_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), nullptr));
}

PngSpec RgbaGradient(int w, int h) {
  PngSpec s;
  s.width = w;
  s.height = h;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t px[4] = {(uint8_t)(x * 7), (uint8_t)(y * 11), (uint8_t)(x + y),
                             (uint8_t)(255 - x)};
      s.data.insert(s.data.end(), px, px + 4);
    }
  return s;
}

PX_pixel GradientPixel(int x, int y) { return PX_PackRGBA(x * 7, y * 11, x + y, 255 - x); }

std::string TempPath(const char* name) {
  return std::string("/tmp/skylane_png_") + std::to_string(getpid()) + "_" + name;
}

TEST(PngDecode, RgbaRowsLandAsArgbWords) {
  auto bm = Load(RgbaGradient(13, 9));
  ASSERT_TRUE(bm);
  EXPECT_EQ(bm->getWidth(), 13);
  EXPECT_EQ(bm->getHeight(), 9);
  EXPECT_EQ(bm->getRowSpan(), 16);  // a new bitmap aligns lines to 4 pixels
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 13; ++x)
      ASSERT_EQ(PixelAt(bm.get(), x, y), GradientPixel(x, y)) << x << "," << y;
}

TEST(PngDecode, PaletteWithTransparencyGivesPerPixelAlpha) {
  PngSpec s;
  s.width = 4;
  s.height = 1;
  s.colorType = 3;
  s.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  s.trnsAlpha = {0, 128};  // the third entry stays opaque
  s.data = {0, 1, 2, 1};
  auto bm = Load(s);
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 0, 0), PX_PackRGBA(255, 0, 0, 0));
  EXPECT_EQ(PixelAt(bm.get(), 1, 0), PX_PackRGBA(0, 255, 0, 128));
  EXPECT_EQ(PixelAt(bm.get(), 2, 0), PX_PackRGBA(0, 0, 255, 255));
}

TEST(PngDecode, PackedPaletteUnpacksToOneSamplePerPixel) {
  PngSpec s;
  s.width = 5;
  s.height = 1;
  s.colorType = 3;
  s.bitDepth = 2;
  s.palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
  s.data = {0x1B, 0x40};  // indices 0 1 2 3 1
  auto bm = Load(s);
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 0, 0), PX_PackRGBA(10, 20, 30, 255));
  EXPECT_EQ(PixelAt(bm.get(), 3, 0), PX_PackRGBA(100, 110, 120, 255));
  EXPECT_EQ(PixelAt(bm.get(), 4, 0), PX_PackRGBA(40, 50, 60, 255));
}

TEST(PngDecode, GreyWithoutTransparencyIsOpaqueGreyRgb) {
  PngSpec s;
  s.width = 3;
  s.height = 1;
  s.colorType = 0;
  s.data = {0, 77, 255};
  auto bm = Load(s);
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 0, 0), PX_PackRGBA(0, 0, 0, 255));
  EXPECT_EQ(PixelAt(bm.get(), 1, 0), PX_PackRGBA(77, 77, 77, 255));
  EXPECT_EQ(PixelAt(bm.get(), 2, 0), PX_PackRGBA(255, 255, 255, 255));
}

TEST(PngDecode, LowDepthGreyExpandsAndGreyKeyBecomesTransparent) {
  PngSpec s;
  s.width = 4;
  s.height = 1;
  s.colorType = 0;
  s.bitDepth = 2;
  s.trnsGray = 1;
  s.data = {0x1B};  // levels 0 1 2 3
  auto bm = Load(s);
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 0, 0), PX_PackRGBA(0, 0, 0, 255));
  EXPECT_EQ(PixelAt(bm.get(), 1, 0), PX_PackRGBA(85, 85, 85, 0));
  EXPECT_EQ(PixelAt(bm.get(), 2, 0), PX_PackRGBA(170, 170, 170, 255));
  EXPECT_EQ(PixelAt(bm.get(), 3, 0), PX_PackRGBA(255, 255, 255, 255));
}

TEST(PngDecode, GreyAlphaAndSixteenBitRgbaStripToEightBits) {
  PngSpec ga;
  ga.width = 1;
  ga.height = 1;
  ga.colorType = 4;
  ga.data = {90, 30};
  auto a = Load(ga);
  ASSERT_TRUE(a);
  EXPECT_EQ(PixelAt(a.get(), 0, 0), PX_PackRGBA(90, 90, 90, 30));

  PngSpec s;
  s.width = 2;
  s.height = 1;
  s.bitDepth = 16;
  s.data = {0x12, 0x34, 0xAB, 0xCD, 0xFF, 0x00, 0x80, 0x01,
            0x00, 0xFF, 0x01, 0x00, 0x7F, 0xFF, 0xFF, 0xFF};
  auto b = Load(s);
  ASSERT_TRUE(b);
  // libpng strips by keeping the high byte.
  EXPECT_EQ(PixelAt(b.get(), 0, 0), PX_PackRGBA(0x12, 0xAB, 0xFF, 0x80));
  EXPECT_EQ(PixelAt(b.get(), 1, 0), PX_PackRGBA(0x00, 0x01, 0x7F, 0xFF));
}

TEST(PngDecode, InterlacedMatchesProgressive) {
  PngSpec s = RgbaGradient(17, 11);
  s.interlaced = true;
  auto bm = Load(s);
  ASSERT_TRUE(bm);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 17; ++x) ASSERT_EQ(PixelAt(bm.get(), x, y), GradientPixel(x, y));
}

TEST(PngDecode, FlippedTargetStoresFirstRowLast) {
  const std::vector<uint8_t> bytes = EncodePng(RgbaGradient(6, 5));
  TestBitmap flipped(6, 5, 2, true);
  ASSERT_EQ(PX_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &flipped), &flipped);
  const PX_pixel* lastRow = flipped.getBits() + 4 * flipped.getRowSpan();
  for (int x = 0; x < 6; ++x) EXPECT_EQ(lastRow[x], GradientPixel(x, 0));
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(flipped.at(x, y), GradientPixel(x, y));
  EXPECT_TRUE(flipped.paddingIntact());
}

TEST(PngFailure, ShortOrForeignBuffersLeaveTheBitmapUntouched) {
  const std::vector<uint8_t> bytes = EncodePng(RgbaGradient(4, 4));
  PX_MemBitmap bm(3, 2, 4);
  EXPECT_EQ(PX_LoadPNGFromMemory(bytes.data(), 7, &bm), nullptr);
  EXPECT_EQ(PX_LoadPNGFromMemory(nullptr, 100, &bm), nullptr);
  std::vector<uint8_t> foreign = bytes;
  foreign[1] = 'Q';
  EXPECT_EQ(PX_LoadPNGFromMemory(foreign.data(), (int)foreign.size(), &bm), nullptr);
  EXPECT_EQ(bm.getWidth(), 3);
  EXPECT_EQ(bm.getHeight(), 2);
}

TEST(PngFailure, TruncatedDataFailsAndKeepsTheCallersBitmap) {
  const std::vector<uint8_t> bytes = EncodePng(RgbaGradient(40, 40));
  for (size_t cut : {size_t(8), size_t(20), size_t(40), bytes.size() / 2, bytes.size() - 13}) {
    auto* bm = new PX_MemBitmap(1, 1, 4);
    EXPECT_EQ(PX_LoadPNGFromMemory(bytes.data(), (int)cut, bm), nullptr) << cut;
    bm->resize(2, 2);  // still a live bitmap of the caller
    delete bm;
    EXPECT_EQ(PX_LoadPNGFromMemory(bytes.data(), (int)cut, nullptr), nullptr) << cut;
  }
}

TEST(PngFailure, OversizedHeaderIsRefusedBeforeAllocation) {
  // A valid 1 x 1 image whose header is patched to claim 30000 x 30000 (and
  // the header CRC fixed up): over the pixel limit though each side is legal.
  std::vector<uint8_t> bytes = EncodePng(RgbaGradient(1, 1));
  const uint8_t side[4] = {0, 0, 0x75, 0x30};
  memcpy(&bytes[16], side, 4);
  memcpy(&bytes[20], side, 4);
  const uint32_t crc = (uint32_t)crc32(0, &bytes[12], 17);
  const uint8_t crcBytes[4] = {(uint8_t)(crc >> 24), (uint8_t)(crc >> 16), (uint8_t)(crc >> 8),
                               (uint8_t)crc};
  memcpy(&bytes[29], crcBytes, 4);
  ASSERT_GT(30000LL * 30000, PX_PNG_MAX_PIXELS);
  PX_MemBitmap bm(2, 2, 4);
  EXPECT_EQ(PX_LoadPNGFromMemory(bytes.data(), (int)bytes.size(), &bm), nullptr);
  EXPECT_EQ(bm.getWidth(), 2);
}

TEST(PngFile, LoadsFilesAndReportsMissingOnes) {
  const std::string path = TempPath("file.png");
  ASSERT_TRUE(WritePngFile(path, RgbaGradient(5, 3)));
  std::unique_ptr<PX_IBitmap> bm(PX_LoadPNG(path.c_str()));
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 4, 2), GradientPixel(4, 2));
  PX_MemBitmap into(1, 1, 4);
  EXPECT_EQ(PX_LoadPNG(path.c_str(), &into), &into);
  EXPECT_EQ(into.getWidth(), 5);
  unlink(path.c_str());
  EXPECT_EQ(PX_LoadPNG(path.c_str()), nullptr);
  EXPECT_EQ(PX_LoadPNG(nullptr), nullptr);
  EXPECT_EQ(PX_LoadPNGFromResource(nullptr, 1, nullptr), nullptr);
}

TEST(PngFile, NamedResourceIsFoundBesideTheModule) {
  char exe[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
  ASSERT_GT(n, 0);
  exe[n] = 0;
  std::string dir(exe);
  dir = dir.substr(0, dir.rfind('/')) + "/resources";
  mkdir(dir.c_str(), 0755);
  const std::string path = dir + "/named_test.png";
  ASSERT_TRUE(WritePngFile(path, RgbaGradient(2, 2)));
  std::unique_ptr<PX_IBitmap> bm(PX_LoadPNGFromNamedResource("named_test.png"));
  ASSERT_TRUE(bm);
  EXPECT_EQ(PixelAt(bm.get(), 1, 1), GradientPixel(1, 1));
  unlink(path.c_str());
  EXPECT_EQ(PX_LoadPNGFromNamedResource(std::string(401, 'a').c_str()), nullptr);
  EXPECT_EQ(PX_LoadPNGFromNamedResource("named_test.png"), nullptr);
}

TEST(PngLoader, RegistersItselfAndChecksTheExtension) {
  bool found = false;
  for (PX_ImageLoaderRec* r = PX_ImageLoader_list; r; r = r->_next) found |= r == &PX_pngldr.rec;
  EXPECT_TRUE(found);
  const char* list = PX_pngldr.rec.get_extlist();
  EXPECT_STREQ(list, "PNG files (*.PNG)");
  EXPECT_STREQ(list + strlen(list) + 1, "*.PNG");
  EXPECT_EQ(list[strlen(list) + 1 + 6], 0);

  const std::string path = TempPath("UPPER.PNG");
  ASSERT_TRUE(WritePngFile(path, RgbaGradient(2, 2)));
  std::unique_ptr<PX_IBitmap> bm(PX_pngldr.rec.loadfunc(path.c_str(), 1, nullptr));
  EXPECT_TRUE(bm);
  unlink(path.c_str());
  const std::string backup = TempPath("x.png.bak");
  const std::string nodot = TempPath("nodot");
  ASSERT_TRUE(WritePngFile(backup, RgbaGradient(2, 2)));
  ASSERT_TRUE(WritePngFile(nodot, RgbaGradient(2, 2)));
  EXPECT_EQ(PX_pngldr.rec.loadfunc(backup.c_str(), 1, nullptr), nullptr);
  EXPECT_EQ(PX_pngldr.rec.loadfunc(nodot.c_str(), 1, nullptr), nullptr);
  std::unique_ptr<PX_IBitmap> unchecked(PX_pngldr.rec.loadfunc(nodot.c_str(), 0, nullptr));
  EXPECT_TRUE(unchecked);
  unlink(backup.c_str());
  unlink(nodot.c_str());
}

}  // namespace
