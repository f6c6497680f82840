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
  ASSERT_TRUE(Parse({"--port", "0", "--stats", "--tone", "T", "--file", "F=/a=b.wav", "--stdin",
                     "S", "--loopback", "L", "--impulse", "I", "--block", "512"},
                    &o, &error))
      << error;
  EXPECT_EQ(o.port, 0);
  EXPECT_TRUE(o.stats);
  EXPECT_EQ(o.blockFrames, 512);
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
}

}  // namespace
}  // namespace relay
