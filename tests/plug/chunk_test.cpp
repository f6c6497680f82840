#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "base/sky_string.h"
#include "plug/base64.h"
#include "plug/byte_chunk.h"

namespace {

std::vector<uint8_t> Bytes(const ByteChunk& chunk) {
  return std::vector<uint8_t>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

TEST(ByteChunkTest, ValuesAreLittleEndianWithoutPadding) {
  ByteChunk chunk;
  int32_t i = 0x01020304;
  uint32_t u = 0xA0B0C0D0;
  double d = 1.0;
  EXPECT_EQ(4, chunk.Put(&i));
  EXPECT_EQ(8, chunk.Put(&u));
  EXPECT_EQ(9, chunk.PutBool(true));
  EXPECT_EQ(17, chunk.Put(&d));
  const std::vector<uint8_t> expected = {0x04, 0x03, 0x02, 0x01, 0xD0, 0xC0, 0xB0, 0xA0, 0x01,
                                         0,    0,    0,    0,    0,    0,    0xF0, 0x3F};
  EXPECT_EQ(expected, Bytes(chunk));

  int32_t i2 = 0;
  uint32_t u2 = 0;
  bool b = false;
  double d2 = 0.0;
  int pos = chunk.Get(&i2, 0);
  pos = chunk.Get(&u2, pos);
  pos = chunk.GetBool(&b, pos);
  pos = chunk.Get(&d2, pos);
  EXPECT_EQ(17, pos);
  EXPECT_EQ(i, i2);
  EXPECT_EQ(u, u2);
  EXPECT_TRUE(b);
  EXPECT_EQ(d, d2);
}

TEST(ByteChunkTest, ReadsNeverLeaveTheChunk) {
  ByteChunk chunk;
  int32_t v = 7;
  chunk.Put(&v);
  double d;
  uint8_t buf[8];
  EXPECT_EQ(-1, chunk.Get(&d, 0));
  EXPECT_EQ(-1, chunk.Get(&v, 1));
  EXPECT_EQ(-1, chunk.Get(&v, -1));
  EXPECT_EQ(-1, chunk.GetBytes(buf, 1, INT_MAX));
  EXPECT_EQ(-1, chunk.GetBytes(buf, INT_MAX, 2));
  EXPECT_EQ(-1, chunk.GetBytes(buf, -1, 0));
  EXPECT_EQ(4, chunk.GetBytes(buf, 0, 4));
}

TEST(ByteChunkTest, AnyNonZeroByteReadsAsTrue) {
  ByteChunk chunk;
  uint8_t raw[] = {0, 2};
  chunk.PutBytes(raw, 2);
  bool b = true;
  EXPECT_EQ(1, chunk.GetBool(&b, 0));
  EXPECT_FALSE(b);
  EXPECT_EQ(2, chunk.GetBool(&b, 1));
  EXPECT_TRUE(b);
  EXPECT_EQ(-1, chunk.GetBool(&b, 2));
}

TEST(ByteChunkTest, StringsRoundTripWithTheirLength) {
  ByteChunk chunk;
  chunk.PutStr("abc");
  chunk.PutStr("");
  const std::vector<uint8_t> expected = {3, 0, 0, 0, 'a', 'b', 'c', 0, 0, 0, 0};
  EXPECT_EQ(expected, Bytes(chunk));
  SkyString s("previous");
  EXPECT_EQ(7, chunk.GetStr(&s, 0));
  EXPECT_STREQ("abc", s.Get());
  EXPECT_EQ(11, chunk.GetStr(&s, 7));
  EXPECT_STREQ("abc", s.Get());
}

TEST(ByteChunkTest, CorruptStringLengthsFail) {
  const int32_t lengths[] = {-1, INT_MIN, INT_MAX, 5};
  for (int32_t len : lengths) {
    ByteChunk chunk;
    chunk.Put(&len);
    chunk.PutBytes("abcd", 4);
    SkyString s("kept");
    EXPECT_EQ(-1, chunk.GetStr(&s, 0)) << len;
    EXPECT_STREQ("kept", s.Get());
  }
}

TEST(ByteChunkTest, PutChunkResizeAndClear) {
  ByteChunk a, b;
  a.PutBytes("xy", 2);
  b.PutBytes("z", 1);
  EXPECT_EQ(3, b.PutChunk(&a));
  EXPECT_EQ((std::vector<uint8_t>{'z', 'x', 'y'}), Bytes(b));
  EXPECT_EQ(3, b.Resize(5));
  EXPECT_EQ((std::vector<uint8_t>{'z', 'x', 'y', 0, 0}), Bytes(b));
  EXPECT_EQ(5, b.Resize(1));
  EXPECT_EQ(1, b.Size());
  b.Clear();
  EXPECT_EQ(0, b.Size());
  EXPECT_EQ(0, b.Resize(-4));
}

TEST(Base64Test, DecodingStopsAtTheFirstCharacterOutsideTheAlphabet) {
  uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(3, Base64Decode("AAAA", out, 8));
  EXPECT_EQ(0, out[0] | out[1] | out[2]);
  EXPECT_EQ(1, Base64Decode("QQ==", out, 8));
  EXPECT_EQ('A', out[0]);
  EXPECT_EQ(5, Base64Decode("aGVsbG8", out, 8));
  EXPECT_EQ(0, memcmp(out, "hello", 5));
  EXPECT_EQ(2, Base64Decode("aGVsbG8", out, 2));
  EXPECT_EQ(0, Base64Decode("", out, 8));
  EXPECT_EQ(0, Base64Decode(nullptr, out, 8));
  EXPECT_EQ(3, Base64Decode("+/+/ ignored", out, 8));
  EXPECT_EQ(0xFB, out[0]);
}

TEST(Base64Test, EncodingPadsAndRoundTrips) {
  const uint8_t two[] = {0x12, 0x34};
  char text[16];
  EXPECT_EQ(4, Base64Encode(two, 2, text));
  EXPECT_STREQ("EjQ=", text);
  EXPECT_EQ(5, Base64EncodedSize(2));
  uint8_t all[256];
  for (int i = 0; i < 256; ++i) all[i] = (uint8_t)i;
  for (int n = 0; n <= 7; ++n) {
    std::vector<char> enc(Base64EncodedSize(n));
    EXPECT_EQ((int)enc.size() - 1, Base64Encode(all + 250 - n * 30, n, enc.data()));
    uint8_t dec[8];
    EXPECT_EQ(n, Base64Decode(enc.data(), dec, 8));
    EXPECT_EQ(0, memcmp(dec, all + 250 - n * 30, n));
  }
}

}  // namespace
