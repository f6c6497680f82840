#include "plugin/device_table.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

DeviceEntry entryAt(const DeviceTable& table, int i) {
  DeviceEntry entry;
  EXPECT_TRUE(table.Get(i, &entry));
  return entry;
}

TEST(DeviceTableTest, StartsWithSixteenEmptyEntries) {
  DeviceTable table;
  EXPECT_EQ(table.Count(), 0);
  for (int i = 0; i < kMaxDevices; ++i) {
    const DeviceEntry entry = entryAt(table, i);
    EXPECT_EQ(entry.id, kNoDeviceId);
    EXPECT_STREQ(entry.name, "--");
    for (const char* channel : entry.channelNames) EXPECT_STREQ(channel, "--");
  }
  DeviceEntry entry;
  EXPECT_FALSE(table.Get(-1, &entry));
  EXPECT_FALSE(table.Get(kMaxDevices, &entry));
  EXPECT_EQ(table.IdAt(0), kNoDeviceId);
}

TEST(DeviceTableTest, AnnouncementAddsThenRenames) {
  DeviceTable table;
  table.Announce(0xab, "Desk");
  ASSERT_EQ(table.Count(), 1);
  DeviceEntry entry = entryAt(table, 0);
  EXPECT_EQ(entry.id, 0xab);
  EXPECT_STREQ(entry.name, "Desk");
  for (int k = 0; k < 4; ++k)
    EXPECT_EQ(std::string(entry.channelNames[k]), "TR" + std::to_string(k));
  table.Announce(0xab, "Studio Desk");
  EXPECT_EQ(table.Count(), 1);
  EXPECT_STREQ(entryAt(table, 0).name, "Studio Desk");
}

TEST(DeviceTableTest, SeventeenthDeviceIsIgnored) {
  DeviceTable table;
  for (int i = 1; i <= 17; ++i) table.Announce(i, ("dev" + std::to_string(i)).c_str());
  EXPECT_EQ(table.Count(), kMaxDevices);
  EXPECT_EQ(table.IdAt(15), 16);
  for (int i = 0; i < kMaxDevices; ++i) EXPECT_NE(table.IdAt(i), 17);
}

TEST(DeviceTableTest, UnusedEntriesDoNotMatchTheEmptyId) {
  DeviceTable table;
  table.Announce(kNoDeviceId, "odd");
  EXPECT_EQ(table.Count(), 1);
  EXPECT_STREQ(entryAt(table, 1).name, "--");
}

TEST(DeviceTableTest, ChannelNamesOnlyForIndexesZeroToThree) {
  DeviceTable table;
  table.Announce(7, "phone");
  table.NameChannel(7, 2, "Synth");
  table.NameChannel(7, 4, "bad");
  table.NameChannel(7, -1, "bad");
  table.NameChannel(8, 0, "unknown device");
  const DeviceEntry entry = entryAt(table, 0);
  EXPECT_STREQ(entry.channelNames[0], "TR0");
  EXPECT_STREQ(entry.channelNames[2], "Synth");
  EXPECT_STREQ(entry.channelNames[3], "TR3");
  EXPECT_EQ(table.Count(), 1);
}

TEST(DeviceTableTest, LongNamesAreCutAt259Characters) {
  DeviceTable table;
  const std::string longName(400, 'x');
  table.Announce(1, longName.c_str());
  table.NameChannel(1, 0, longName.c_str());
  const DeviceEntry entry = entryAt(table, 0);
  EXPECT_EQ(std::string(entry.name), longName.substr(0, 259));
  EXPECT_EQ(std::string(entry.channelNames[0]), longName.substr(0, 259));
}

// A reader copying entries while the writer renames them never sees a mix.
TEST(DeviceTableTest, ReadersNeverSeeATornName) {
  DeviceTable table;
  table.Announce(1, std::string(200, 'a').c_str());
  std::thread writer([&] {
    for (int i = 0; i < 2000; ++i) table.Announce(1, std::string(200, i % 2 ? 'b' : 'a').c_str());
  });
  int torn = 0;
  for (int i = 0; i < 2000; ++i) {
    const DeviceEntry entry = entryAt(table, 0);
    const std::string name(entry.name);
    if (name != std::string(200, 'a') && name != std::string(200, 'b')) ++torn;
  }
  writer.join();
  EXPECT_EQ(torn, 0);
}

}  // namespace
