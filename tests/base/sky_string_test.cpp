#include "base/sky_string.h"

#include <gtest/gtest.h>

TEST(SkyString, SizesFollowTheText) {
  SkyString s;
  EXPECT_STREQ(s.Get(), "");
  EXPECT_EQ(s.GetLength(), 0);
  s.Set("abc");
  EXPECT_EQ(s.GetLength(), 3);
  s.Set("abcdef", 3);
  EXPECT_STREQ(s.Get(), "abc");
  s.Set("ab", 10);
  EXPECT_STREQ(s.Get(), "ab");
  s.Set("");
  EXPECT_STREQ(s.Get(), "");
  s.Append("xy");
  s.Append("z", 0);
  EXPECT_STREQ(s.Get(), "xyz");
  s.Append(nullptr);
  EXPECT_STREQ(s.Get(), "xyz");
}

TEST(SkyString, SetFromOwnBufferSurvivesGrowth) {
  SkyString s("0123456789");
  s.Set(s.Get() + 4);
  EXPECT_STREQ(s.Get(), "456789");

  SkyString t(
      "abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnopqrstuvwxyz0123456789abcdefghijklmnop");
  const int n = t.GetLength();
  for (int i = 0; i < 6; ++i)
    t.Append(t.Get());  // each append must reallocate and follow the source
  EXPECT_EQ(t.GetLength(), n * 64);
  EXPECT_EQ(std::string(t.Get() + n * 63), std::string(t.Get(), n));
}

TEST(SkyString, DeleteSubAndInsert) {
  SkyString s("abcdefg");
  s.DeleteSub(4, 1);
  EXPECT_STREQ(s.Get(), "abcdfg");
  s.DeleteSub(6, 1);  // the terminating NUL
  s.DeleteSub(-1, 2);
  EXPECT_STREQ(s.Get(), "abcdfg");
  s.DeleteSub(3, 100);
  EXPECT_STREQ(s.Get(), "abc");
  s.Insert("XY", 1);
  EXPECT_STREQ(s.Get(), "aXYbc");
  s.Insert("Q", 9);
  EXPECT_STREQ(s.Get(), "aXYbc");
}

TEST(SkyString, FormattingIsBounded) {
  SkyString s;
  s.SetFormatted(5, "%d-%s", 1234, "abcdef");
  EXPECT_STREQ(s.Get(), "1234-");
  s.SetFormatted(100, "%s", "hi");
  EXPECT_STREQ(s.Get(), "hi");
  s.AppendFormatted(3, "%05d", 7);
  EXPECT_STREQ(s.Get(), "hi000");
  s.SetLen(1);
  EXPECT_STREQ(s.Get(), "h");
  s.SetLen(-4);
  EXPECT_STREQ(s.Get(), "");
}
