#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <regex>
#include <string>

#include "plug/host.h"
#include "plug/trace.h"
#include "plug/trace_p.h"
#include "tests/plug/test_plug.h"

namespace {

std::string HostName(EHost host) {
  char name[MAX_HOST_NAME_LEN];
  GetHostNameStr(host, name);
  return name;
}

TEST(HostTest, LookUpIsCaseInsensitiveAndFollowsTheKeyOrder) {
  EXPECT_EQ(kHostCubase, LookUpHost("Steinberg CUBASE Pro"));
  EXPECT_EQ(kHostCubase, LookUpHost("Nuendo and Cubase"));
  EXPECT_EQ(kHostNuendo, LookUpHost("Nuendo"));
  EXPECT_EQ(kHostAbletonLive, LookUpHost("Oliver"));
  EXPECT_EQ(kHostReaper, LookUpHost("REAPER live"));
  EXPECT_EQ(kHostArdour, LookUpHost("Ardour"));
  EXPECT_EQ(kHostStandalone, LookUpHost("standalone"));
  EXPECT_EQ(kHostSonar, LookUpHost("Cakewalk SONAR"));
  EXPECT_EQ(kHostMelodyne, LookUpHost("Melodyne studio"));
  EXPECT_EQ(kHostUnknown, LookUpHost(""));
  EXPECT_EQ(kHostUnknown, LookUpHost(nullptr));
  EXPECT_EQ(kHostUnknown, LookUpHost("Bitwig Studio"));
}

TEST(HostTest, LookUpSearchesOnlyTheFirst255Characters) {
  std::string text(300, 'x');
  text.replace(250, 6, "ardour");
  EXPECT_EQ(kHostUnknown, LookUpHost(text.c_str()));
  text.replace(240, 6, "ardour");
  EXPECT_EQ(kHostArdour, LookUpHost(text.c_str()));
}

TEST(HostTest, DisplayNames) {
  EXPECT_EQ("Unknown", HostName(kHostUninit));
  EXPECT_EQ("Unknown", HostName(kHostUnknown));
  EXPECT_EQ("FLStudio", HostName(kHostFL));
  EXPECT_EQ("Unknown", HostName(kHostMelodyne));
  EXPECT_EQ("VST3PluginTestHost", HostName(kHostVST3TestHost));
  EXPECT_EQ("Ardour", HostName(kHostArdour));
  EXPECT_EQ("Unknown", HostName((EHost)29));
  EXPECT_EQ("Unknown", HostName((EHost)-7));
}

TEST(VersionTest, PartsDecimalFormAndText) {
  int major, minor, revision;
  GetVersionParts(0x00010000, &major, &minor, &revision);
  EXPECT_EQ(1, major);
  EXPECT_EQ(0, minor);
  EXPECT_EQ(0, revision);
  EXPECT_EQ(10000, GetDecimalVersion(0x00010000));
  EXPECT_EQ(10203, GetDecimalVersion(0x00010203));
  GetVersionParts((int)0xFFFF0102, &major, &minor, &revision);
  EXPECT_EQ(65535, major);
  char text[MAX_VERSION_STR_LEN];
  GetVersionStr(0x00020A03, text);
  EXPECT_STREQ("v2.10.3", text);
}

TEST(VersionTest, PlugInVersionsAndHostVersions) {
  TestPlug plug;
  char text[MAX_VERSION_STR_LEN];
  plug.GetEffectVersionStr(text);
  EXPECT_STREQ("v1.0.0D", text);
  EXPECT_EQ(10000, plug.GetEffectVersion(true));
  EXPECT_EQ(0x00010000, plug.GetEffectVersion(false));

  EXPECT_EQ(kHostUninit, plug.GetHost());
  EXPECT_EQ(0, plug.GetHostVersion(false));
  plug.SetHost("Ardour", 0x00080C00);
  EXPECT_EQ(kHostArdour, plug.GetHost());
  EXPECT_EQ(81200, plug.GetHostVersion(true));
  plug.GetHostVersionStr(text);
  EXPECT_STREQ("v8.12.0", text);
  plug.SetHost("Something", 1);
  EXPECT_EQ(kHostUnknown, plug.GetHost());
  EXPECT_EQ(1, plug.GetHostVersion(false));
}

TEST(VersionTest, ApiAndArchitectureTexts) {
  TestPlug plug;
  EXPECT_STREQ("VST2", plug.GetAPIString());
  EXPECT_STREQ("x86", plug.GetArchString());
}

tm MakeTm(int yday, int hour, int min) {
  tm t = {};
  t.tm_year = 124;
  t.tm_mon = 0;
  t.tm_mday = 1 + yday;
  t.tm_yday = yday;
  t.tm_hour = hour;
  t.tm_min = min;
  return t;
}

TEST(TraceTest, UtcOffsetHandlesDayAndYearBoundaries) {
  EXPECT_EQ(60, UtcOffsetMinutes(MakeTm(10, 9, 5), MakeTm(10, 8, 5)));
  EXPECT_EQ(-30, UtcOffsetMinutes(MakeTm(10, 23, 50), MakeTm(11, 0, 20)));
  EXPECT_EQ(330, UtcOffsetMinutes(MakeTm(11, 2, 0), MakeTm(10, 20, 30)));
  EXPECT_EQ(60, UtcOffsetMinutes(MakeTm(0, 0, 30), MakeTm(364, 23, 30)));
  EXPECT_EQ(-60, UtcOffsetMinutes(MakeTm(364, 23, 30), MakeTm(0, 0, 30)));
}

TEST(TraceTest, TimeTextCarriesDateTimeAndSignedOffset) {
  char buf[32];
  FormatTimeStr(MakeTm(4, 9, 5), MakeTm(4, 8, 5), buf);
  EXPECT_STREQ("20240105 09:05 +0100", buf);
  FormatTimeStr(MakeTm(4, 23, 50), MakeTm(5, 0, 20), buf);
  EXPECT_STREQ("20240105 23:50 -0030", buf);
}

TEST(TraceTest, CurrentTimeFollowsTheTimeZone) {
  const char* old = getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "UTC-1", 1);
  tzset();
  std::string text = CurrentTime();
  EXPECT_TRUE(std::regex_match(text, std::regex("[0-9]{8} [0-9]{2}:[0-9]{2} \\+0100"))) << text;
  setenv("TZ", "UTC+3:30", 1);
  tzset();
  text = CurrentTime();
  EXPECT_TRUE(std::regex_match(text, std::regex("[0-9]{8} [0-9]{2}:[0-9]{2} -0330"))) << text;
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
}

}  // namespace
