#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "relay/options.h"

namespace relay {
namespace {

bool Parse(std::vector<const char*> args, Options* options, std::string* error) {
  args.insert(args.begin(), "skylane-relay");
  return ParseOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(Options, ReadsSourcesInOrderAndSettings) {
  Options o;
  std::string error;
  ASSERT_TRUE(
      Parse({"--port", "0", "--stats", "--tone", "T", "--file", "F=/a=b.wav", "--stdin", "S",
             "--loopback", "L", "--impulse", "I", "--block", "512", "--jack-reserve", "80"},
            &o, &error))
      << error;
  EXPECT_EQ(o.port, 0);
  EXPECT_TRUE(o.stats);
  EXPECT_EQ(o.blockFrames, 512);
  EXPECT_EQ(o.jackReserveMs, 80);
  ASSERT_EQ(o.sources.size(), 5u);
  EXPECT_EQ(o.sources[1].name, "F");
  EXPECT_EQ(o.sources[1].path, "/a=b.wav");
  EXPECT_EQ(o.sources[4].kind, SourceSpec::Kind::kImpulse);
  ASSERT_TRUE(Parse({}, &o, &error));
  EXPECT_EQ(o.port, kDefaultPort);
  EXPECT_TRUE(o.sources.empty());
}

TEST(Options, RejectsBadCommandLinesWithAMessage) {
  const std::string longName(260, 'n');
  const std::vector<std::vector<const char*>> bad = {{"--bogus"},
                                                     {"--port"},
                                                     {"--port", "65536"},
                                                     {"--port", "12x"},
                                                     {"--block", "4"},
                                                     {"--jack-reserve", "2000"},
                                                     {"--file", "noequals"},
                                                     {"--file", "N="},
                                                     {"--tone", ""},
                                                     {"--tone", "A", "--loopback", "A"},
                                                     {"--stdin", "A", "--stdin", "B"},
                                                     {"stray"},
                                                     {"--tone", longName.c_str()}};
  for (const auto& args : bad) {
    Options o;
    std::string error;
    EXPECT_FALSE(Parse(args, &o, &error)) << args[0];
    EXPECT_FALSE(error.empty()) << args[0];
  }
}

TEST(Options, ReadsPipeWireDevices) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--pipewire", "Mic=alsa_input.usb", "--pipewire", "Open", "--desktop",
                     "--list-pipewire", "--pipewire", "Web=a=b"},
                    &o, &error))
      << error;
  EXPECT_TRUE(o.listPipeWire);
  ASSERT_EQ(o.sources.size(), 4u);
  EXPECT_EQ(o.sources[0].kind, SourceSpec::Kind::kPipeWire);
  EXPECT_EQ(o.sources[0].name, "Mic");
  EXPECT_EQ(o.sources[0].path, "alsa_input.usb");
  EXPECT_EQ(o.sources[1].name, "Open");
  EXPECT_TRUE(o.sources[1].path.empty());
  EXPECT_EQ(o.sources[2].kind, SourceSpec::Kind::kDesktop);
  EXPECT_EQ(o.sources[3].path, "a=b");
  for (const auto& bad : std::vector<std::vector<const char*>>{
           {"--pipewire", "Mic="}, {"--pipewire", "=x"}, {"--desktop", "--desktop"}}) {
    EXPECT_FALSE(Parse(bad, &o, &error)) << bad[1];
    EXPECT_FALSE(error.empty());
  }
  // --desktop makes two devices: fifteen more sources are one too many.
  std::vector<std::string> names;
  std::vector<const char*> args = {"--desktop"};
  for (int i = 0; i < 15; ++i) names.push_back("T" + std::to_string(i));
  for (const std::string& n : names) args.insert(args.end(), {"--tone", n.c_str()});
  EXPECT_FALSE(Parse(args, &o, &error));
  args.resize(args.size() - 2);
  EXPECT_TRUE(Parse(args, &o, &error)) << error;
}

TEST(Options, ReadsJackDevices) {
  Options o;
  std::string error;
  ASSERT_TRUE(Parse({"--jack", "Free", "--jack-capture", "--jack", "Mic=system:capture_1", "--jack",
                     "Desk=Built-in Audio:monitor_FL,Built-in Audio:monitor_FR", "--list-jack"},
                    &o, &error))
      << error;
  ASSERT_EQ(o.sources.size(), 4u);
  EXPECT_TRUE(o.listJack);
  EXPECT_EQ(o.sources[0].name, "Free");
  EXPECT_EQ(o.sources[0].ports[0], "");
  EXPECT_EQ(o.sources[1].kind, SourceSpec::Kind::kJackCapture);
  EXPECT_EQ(o.sources[2].name, "Mic");
  EXPECT_EQ(o.sources[2].ports[0], "system:capture_1");
  EXPECT_EQ(o.sources[2].ports[1], "system:capture_1");
  EXPECT_EQ(o.sources[3].name, "Desk");
  EXPECT_EQ(o.sources[3].ports[0], "Built-in Audio:monitor_FL");
  EXPECT_EQ(o.sources[3].ports[1], "Built-in Audio:monitor_FR");
  for (const std::vector<const char*>& bad : {std::vector<const char*>{"--jack", "A=x,"},
                                              {"--jack", "A=,x"},
                                              {"--jack", "A="},
                                              {"--jack", "=x,y"},
                                              {"--jack", "A=x,y,z"},
                                              {"--jack-capture", "--jack-capture"},
                                              {"--jack", "A", "--tone", "A"}}) {
    EXPECT_FALSE(Parse(bad, &o, &error)) << bad[1];
    EXPECT_FALSE(error.empty());
  }
}

TEST(Options, LimitsTheDeviceCount) {
  std::vector<std::string> names;
  std::vector<const char*> args;
  for (int i = 0; i < 17; ++i) names.push_back("d" + std::to_string(i));
  for (const auto& n : names) {
    args.push_back("--tone");
    args.push_back(n.c_str());
  }
  Options o;
  std::string error;
  EXPECT_FALSE(Parse(args, &o, &error));
  args.resize(32);
  EXPECT_TRUE(Parse(args, &o, &error)) << error;
  args.push_back("--jack-capture");
  EXPECT_FALSE(Parse(args, &o, &error));
  EXPECT_NE(error.find("at most 16 devices"), std::string::npos) << error;
}

}  // namespace
}  // namespace relay
