// Command-line parsing: accepted forms and the messages for bad usage.
#include "host/options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

bool Parse(std::vector<const char*> args, HostOptions* o, std::string* error) {
  args.insert(args.begin(), "skylane-host");
  return ParseOptions(int(args.size()), args.data(), o, error);
}

TEST(HostOptions, ParsesAFullCommandLine) {
  HostOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--plugin", "p.so",       "--list",   "--set",     "Gain=0.25", "--set-text",
                     "2=On",     "--seconds",  "1.5",      "--rate",    "48000",     "--block",
                     "256",      "--fast",     "--double", "--output",  "o.wav",     "--save-fxp",
                     "a.fxp",    "--load-fxb", "b.fxb",    "--program", "1"},
                    &o, &error))
      << error;
  EXPECT_EQ(o.pluginPath, "p.so");
  EXPECT_TRUE(o.list && o.fast && o.useDouble);
  ASSERT_EQ(o.settings.size(), 2u);
  EXPECT_EQ(o.settings[0].key, "Gain");
  EXPECT_EQ(o.settings[0].value, "0.25");
  EXPECT_FALSE(o.settings[0].isText);
  EXPECT_EQ(o.settings[1].key, "2");
  EXPECT_TRUE(o.settings[1].isText);
  EXPECT_DOUBLE_EQ(o.seconds, 1.5);
  EXPECT_DOUBLE_EQ(o.rate, 48000.0);
  EXPECT_EQ(o.block, 256);
  EXPECT_EQ(o.program, 1);
  EXPECT_EQ(o.saveFxp, "a.fxp");
  EXPECT_EQ(o.loadFxb, "b.fxb");
  EXPECT_TRUE(o.WantsRun());
}

TEST(HostOptions, RunsWhenAnyAudioOptionIsGiven) {
  const struct {
    std::vector<const char*> args;
    bool run;
  } cases[] = {
      {{"--list", "--set", "0=1", "--quiet", "--verbose", "--save-fxp", "a.fxp"}, false},
      {{"--output", "x.wav"}, true},
      {{"--input", "x.wav"}, true},
      {{"--seconds", "0"}, true},
      {{"--rate", "48000"}, true},
      {{"--block", "64"}, true},
      {{"--fast"}, true},
      {{"--double"}, true},
  };
  for (const auto& c : cases) {
    std::vector<const char*> args = {"--plugin", "p.so"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    HostOptions o;
    std::string error;
    ASSERT_TRUE(Parse(args, &o, &error)) << error;
    EXPECT_EQ(o.WantsRun(), c.run) << c.args[0];
  }
}

TEST(HostOptions, EditorFlags) {
  HostOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--plugin", "p.so", "--editor", "--render-editor", "e.png"}, &o, &error))
      << error;
  EXPECT_TRUE(o.editor);
  EXPECT_EQ(o.renderEditor, "e.png");
  EXPECT_FALSE(o.WantsRun());
  EXPECT_FALSE(Parse({"--plugin", "p.so", "--render-editor"}, &o, &error));
}

TEST(HostOptions, HelpNeedsNoPlugin) {
  HostOptions o;
  std::string error;
  EXPECT_TRUE(Parse({"--help"}, &o, &error));
  EXPECT_TRUE(o.help);
}

TEST(HostOptions, RejectsBadUsageWithAReason) {
  const struct {
    std::vector<const char*> args;
    const char* reason;
  } cases[] = {
      {{"--list"}, "no plug-in"},
      {{"--plugin"}, "needs a value"},
      {{"--plugin", "p.so", "--bogus"}, "unknown option --bogus"},
      {{"--plugin", "p.so", "stray"}, "unexpected argument"},
      {{"--plugin", "p.so", "--set", "Gain"}, "KEY=VALUE"},
      {{"--plugin", "p.so", "--set", "=0.5"}, "KEY=VALUE"},
      {{"--plugin", "p.so", "--set", "Gain=1.5"}, "from 0 to 1"},
      {{"--plugin", "p.so", "--set", "Gain=nan"}, "from 0 to 1"},
      {{"--plugin", "p.so", "--block", "0"}, "--block"},
      {{"--plugin", "p.so", "--block", "12.5"}, "--block"},
      {{"--plugin", "p.so", "--rate", "44100x"}, "--rate"},
      {{"--plugin", "p.so", "--seconds", "-1"}, "--seconds"},
      {{"--plugin", "p.so", "--seconds", "inf"}, "--seconds"},
  };
  for (const auto& c : cases) {
    HostOptions o;
    std::string error;
    EXPECT_FALSE(Parse(c.args, &o, &error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
