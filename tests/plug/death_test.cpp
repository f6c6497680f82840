#include <gtest/gtest.h>

#include "plug/midi.h"
#include "tests/plug/test_plug.h"

namespace {

TEST(PlugDeathTest, MalformedChannelConfigurationsStop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(TestPlug(1, "stereo"), "channelIOStrValid");
  EXPECT_DEATH(TestPlug(1, "1-1 2"), "channelIOStrValid");
  EXPECT_DEATH(TestPlug(1, "1-1 "), "channelIOStrValid");
  EXPECT_DEATH(TestPlug(1, "-1-2"), "channelIOStrValid");
  EXPECT_DEATH(TestPlug(1, nullptr), "channelIOStrValid");
}

TEST(PlugDeathTest, BadNamedParameterIndexStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  TestPlug plug(3, "1-1", 2);
  EXPECT_DEATH(plug.MakePresetFromNamedParams("x", 1, 3, 0.5), "paramIdx >= 0 && paramIdx < n");
  EXPECT_DEATH(plug.MakePresetFromNamedParams("x", 1, -1, 0.5), "paramIdx >= 0 && paramIdx < n");
}

TEST(PlugDeathTest, BadSysExTextBufferStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const uint8_t data[] = {1};
  char text[2];
  EXPECT_DEATH(SysExStr(nullptr, 8, data, 1), "str != NULL && maxlen >= 3");
  EXPECT_DEATH(SysExStr(text, 2, data, 1), "str != NULL && maxlen >= 3");
}

}  // namespace
