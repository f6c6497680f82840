#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "plug/iparam.h"

namespace {

std::string Display(const IParam& p) {
  char text[MAX_PARAM_DISPLAY_LEN];
  p.GetDisplayForHost(text);
  return text;
}

std::string DisplayOf(const IParam& p, double value, bool normalized, bool withTexts = true) {
  char text[MAX_PARAM_DISPLAY_LEN];
  p.GetDisplayForHost(value, normalized, text, withTexts);
  return text;
}

TEST(IParamTest, BoolIsATwoStateEnumWithOffAndOnTexts) {
  IParam p;
  p.InitBool("Effects Loop", false, "", "loop");
  double lo, hi;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(IParam::kTypeBool, p.Type());
  EXPECT_EQ(0.0, lo);
  EXPECT_EQ(1.0, hi);
  EXPECT_EQ(2, p.GetNDisplayTexts());
  EXPECT_EQ("off", DisplayOf(p, 0.3, false));
  EXPECT_EQ("on", DisplayOf(p, 1.0, false));
  EXPECT_STREQ("loop", p.GetParamGroupForHost());
  p.SetNormalized(0.6);
  EXPECT_TRUE(p.Bool());
  EXPECT_EQ(1.0, p.Value());
}

TEST(IParamTest, IntegerNormalisationSnapsToTheStepGrid) {
  IParam a;
  a.InitInt("Channel", 1, 1, 4);
  a.SetNormalized(1.0);
  EXPECT_EQ(4, a.Int());

  IParam b;
  b.InitInt("Latency", 0, 0, 3);
  b.SetNormalized(0.5);  // 1.5 rounds up
  EXPECT_EQ(2.0, b.Value());
  b.SetNormalized(0.49);
  EXPECT_EQ(1.0, b.Value());
  EXPECT_EQ(IParam::kTypeInt, b.Type());
}

TEST(IParamTest, EnumRangeFollowsItsCount) {
  IParam p;
  p.InitEnum("Device", 2, 5, "dev");
  double lo, hi;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(IParam::kTypeEnum, p.Type());
  EXPECT_EQ(0.0, lo);
  EXPECT_EQ(4.0, hi);
  EXPECT_EQ(2, p.Int());
  EXPECT_STREQ("dev", p.GetLabelForHost());
}

TEST(IParamTest, EmptyRangeIsRaisedByOneStep) {
  IParam p;
  p.InitInt("Fixed", 3, 3, 3);
  double lo, hi;
  p.GetBounds(&lo, &hi);
  EXPECT_EQ(3.0, lo);
  EXPECT_EQ(4.0, hi);
}

TEST(IParamTest, DisplayPrecisionFollowsTheStep) {
  const struct {
    double step;
    int decimals;
  } cases[] = {{1.0, 0}, {0.5, 1}, {0.25, 2}, {0.01, 2}, {0.07, 6}, {1e-7, 6}};
  for (const auto& c : cases) {
    IParam p;
    p.InitDouble("x", 0.0, 0.0, 10.0, c.step);
    std::string text = DisplayOf(p, 1.0, false);
    size_t dot = text.find('.');
    int decimals = dot == std::string::npos ? 0 : (int)(text.size() - dot - 1);
    EXPECT_EQ(c.decimals, decimals) << "step " << c.step << " shows " << text;
  }
}

TEST(IParamTest, DisplayTruncatesIntegersAndRoundsReals) {
  IParam real;
  real.InitDouble("Gain", 0.123456, 0.0, 1.0, 0.01, "dB");
  EXPECT_EQ("0.12", Display(real));
  EXPECT_STREQ("dB", real.GetLabelForHost());

  IParam integer;
  integer.InitInt("Count", 0, 0, 10);
  integer.Set(3.9);
  EXPECT_EQ("3", Display(integer));
  integer.Set(-2.0);
  EXPECT_EQ("0", Display(integer));
}

TEST(IParamTest, NormalisedDisplayIgnoresTheStepAndSaturatesHugeValues) {
  IParam p;
  p.InitInt("Count", 0, 0, 10);
  EXPECT_EQ("5", DisplayOf(p, 0.55, true));
  EXPECT_EQ("2147483647", DisplayOf(p, 1e300, false));
}

TEST(IParamTest, NormalisationClampsAndFollowsTheShape) {
  IParam p;
  p.InitDouble("Level", 50.0, 0.0, 100.0, 0.1);
  EXPECT_EQ(0.0, p.GetNormalized(-5.0));
  EXPECT_EQ(1.0, p.GetNormalized(500.0));

  IParam shaped;
  shaped.InitDouble("Shaped", 0.0, 0.0, 100.0, 0.01, "", "", 2.0);
  shaped.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(25.0, shaped.Value());
  EXPECT_DOUBLE_EQ(0.5, shaped.GetNormalized());
  shaped.SetShape(0.0);  // refused: the shape stays 2
  shaped.SetNormalized(0.5);
  EXPECT_DOUBLE_EQ(25.0, shaped.Value());
}

TEST(IParamTest, SetClampsAndRejectsNaN) {
  IParam p;
  p.InitDouble("x", 0.0, -1.0, 1.0, 0.01);
  p.Set(7.0);
  EXPECT_EQ(1.0, p.Value());
  p.Set(-7.0);
  EXPECT_EQ(-1.0, p.Value());
  p.Set(std::nan(""));
  EXPECT_EQ(-1.0, p.Value());
}

TEST(IParamTest, OutOfRangeNormalisedValuesStayInRange) {
  IParam p;
  p.InitInt("Index", 0, 0, 3);
  p.SetNormalized(1.7);
  EXPECT_EQ(3.0, p.Value());
  p.SetNormalized(-0.5);
  EXPECT_EQ(0.0, p.Value());
  p.SetNormalized(std::nan(""));
  EXPECT_EQ(0.0, p.Value());
}

TEST(IParamTest, DisplayTextsAreSearchedInInsertionOrder) {
  IParam p;
  p.InitEnum("Mode", 0, 3);
  p.SetDisplayText(0, "first");
  p.SetDisplayText(1, "second");
  p.SetDisplayText(1, "duplicate");
  EXPECT_EQ(3, p.GetNDisplayTexts());
  EXPECT_STREQ("second", p.GetDisplayText(1));
  EXPECT_STREQ("", p.GetDisplayText(2));
  double v = -1.0;
  EXPECT_STREQ("duplicate", p.GetDisplayTextAtIdx(2, &v));
  EXPECT_EQ(1.0, v);
  EXPECT_STREQ("", p.GetDisplayTextAtIdx(3, &v));
  EXPECT_TRUE(p.MapDisplayText("duplicate", &v));
  EXPECT_EQ(1.0, v);
  EXPECT_STREQ("", p.GetLabelForHost());
}

TEST(IParamTest, MapDisplayTextIsCaseSensitive) {
  IParam p;
  p.InitBool("Switch", false);
  double v = -1.0;
  EXPECT_FALSE(p.MapDisplayText("ON", &v));
  EXPECT_EQ(-1.0, v);
  EXPECT_TRUE(p.MapDisplayText("on", &v));
  EXPECT_EQ(1.0, v);
}

TEST(IParamTest, DisplayWithoutTextsShowsTheNumber) {
  IParam p;
  p.InitBool("Switch", true);
  char text[MAX_PARAM_DISPLAY_LEN];
  p.GetDisplayForHostNoDisplayText(text);
  EXPECT_STREQ("1", text);
  EXPECT_EQ("on", Display(p));
}

TEST(IParamTest, LongNamesAndTextsAreCutToFit) {
  IParam p;
  const char* longText = "abcdefghijklmnopqrstuvwxyz0123456789";
  p.InitEnum(longText, 0, 2, longText, longText);
  p.SetDisplayText(0, longText);
  EXPECT_EQ(31u, strlen(p.GetNameForHost()));
  EXPECT_EQ(31u, strlen(p.GetDisplayText(0)));
  EXPECT_EQ(0, strncmp(longText, p.GetParamGroupForHost(), 31));
}

TEST(IParamTest, DecibelsToAmplitude) {
  EXPECT_NEAR(0.50119, DBToAmp(-6.0), 1e-5);
  EXPECT_NEAR(1.99526, DBToAmp(6.0), 1e-5);
  IParam p;
  p.InitDouble("Gain", -6.0, -60.0, 12.0, 0.1);
  EXPECT_NEAR(0.50119, p.DBToAmp(), 1e-5);
}

TEST(IParamTest, FreeNormalisationFunctionsAreInverse) {
  for (double shape : {0.5, 1.0, 3.0})
    for (double v : {-20.0, -3.5, 0.0, 11.0, 40.0})
      EXPECT_NEAR(v,
                  FromNormalizedParam(ToNormalizedParam(v, -20.0, 40.0, shape), -20.0, 40.0, shape),
                  1e-9);
}

}  // namespace
