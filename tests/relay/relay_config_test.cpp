// The relay's configuration file: its words, its bad lines, which file is read
// when, and the relay started with one.
#include "relay/relay_config.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/relay/relay_process.h"

namespace {

using Words = std::vector<std::string>;

// Sets an environment variable (or unsets it, for null) for one scope.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    const char* old = std::getenv(name);
    had_ = old != nullptr;
    if (had_) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  bool had_;
  std::string old_;
};

std::string Folder(const std::string& name) {
  const std::string dir = ::testing::TempDir() + "relay_config_" + name;
  mkdir(dir.c_str(), 0755);
  return dir;
}

void WriteFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

// A relay.conf in CONFIG/skylane/.
std::string WriteUserConfig(const std::string& config, const std::string& text) {
  mkdir((config + "/skylane").c_str(), 0755);
  const std::string path = config + "/skylane/relay.conf";
  WriteFile(path, text);
  return path;
}

bool Apply(const Words& args, relay::Options* options, std::string* readFrom, std::string* error) {
  std::vector<const char*> argv = {"skylane-relay"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  const int argc = static_cast<int>(argv.size());
  if (!relay::ParseOptions(argc, argv.data(), options, error)) return false;
  return relay::ApplyConfig(argc, argv.data(), options, readFrom, error);
}

TEST(RelayConfig, EveryLineBecomesTheCommandLinesWords) {
  const std::string text =
      "# devices\n"
      "tone Skylane Demo #1\n"
      "\n"
      "   impulse\tMarker  \r\n"
      "file Drums=/home/me/my loops/drums.flac\n"
      "stdin Pipe\n"
      "loopback Return\n"
      "jack Free\n"
      "jack Mic=system:capture_1\n"
      "jack Synth=a:left,a:right\n"
      "jack-capture\n"
      "  # options\n"
      "port 1234\n"
      "block 256\n"
      "jack-reserve 50\n"
      "stats";
  Words words;
  std::string error;
  ASSERT_TRUE(relay::ConfigWords(text, "relay.conf", &words, &error)) << error;
  const Words expected = {"--tone",
                          "Skylane Demo #1",
                          "--impulse",
                          "Marker",
                          "--file",
                          "Drums=/home/me/my loops/drums.flac",
                          "--stdin",
                          "Pipe",
                          "--loopback",
                          "Return",
                          "--jack",
                          "Free",
                          "--jack",
                          "Mic=system:capture_1",
                          "--jack",
                          "Synth=a:left,a:right",
                          "--jack-capture",
                          "--port",
                          "1234",
                          "--block",
                          "256",
                          "--jack-reserve",
                          "50",
                          "--stats"};
  EXPECT_EQ(words, expected);

  relay::Options options;
  std::string readFrom;
  const std::string path = Folder("every") + "/every.conf";
  WriteFile(path, text);
  ASSERT_TRUE(Apply({"--config", path}, &options, &readFrom, &error)) << error;
  EXPECT_EQ(readFrom, path);
  ASSERT_EQ(options.sources.size(), 9u);
  EXPECT_EQ(options.sources[0].name, "Skylane Demo #1");
  EXPECT_EQ(options.sources[2].path, "/home/me/my loops/drums.flac");
  EXPECT_EQ(options.sources[6].ports[1], "system:capture_1");
  EXPECT_EQ(options.sources[7].ports[1], "a:right");
  EXPECT_EQ(options.sources[8].kind, relay::SourceSpec::Kind::kJackCapture);
  EXPECT_EQ(options.port, 1234);
  EXPECT_EQ(options.blockFrames, 256);
  EXPECT_EQ(options.jackReserveMs, 50);
  EXPECT_TRUE(options.stats);
}

TEST(RelayConfig, ABadLineIsNamedWithItsNumberAndWhatIsWrong) {
  std::string seventeenTones, manyStats;
  for (int i = 0; i < 17; ++i) seventeenTones += "tone T" + std::to_string(i) + "\n";
  for (int i = 0; i <= relay::kMaxConfigSettings; ++i) manyStats += "stats\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"bogus 1", "f.conf:1: unknown setting: bogus"},
      {"tone A\n\ntone", "f.conf:3: tone wants a value"},
      {"stats yes", "f.conf:1: stats takes no value"},
      {"stats --version", "f.conf:1: stats takes no value"},
      {"# port\nport 99999", "f.conf:2: bad port: 99999"},
      {"block 4", "f.conf:1: block wants 8-512 frames, got: 4"},
      {"jack-reserve 1001", "f.conf:1: jack-reserve wants 0-1000 ms, got: 1001"},
      {"file Drums", "f.conf:1: file wants NAME=PATH, got: Drums"},
      {"jack A=x,y,z", "f.conf:1: jack wants NAME, NAME=PORT or NAME=PORT_L,PORT_R, got: A=x,y,z"},
      {"tone A\n# again\ntone A", "f.conf:3: device name used twice: A"},
      {"stdin A\nstdin B", "f.conf:2: stdin may be given once"},
      {seventeenTones, "f.conf:17: at most 16 devices"},
      {manyStats, "f.conf:257: more than 256 settings"},
      {"--tone A", "f.conf:1: write the setting without \"--\": tone"},
      {"Tone A", "f.conf:1: not a setting: Tone"},
      {"help", "f.conf:1: help belongs on the command line, not in this file"},
      {"config other.conf", "f.conf:1: config belongs on the command line, not in this file"},
      {"list-jack", "f.conf:1: list-jack belongs on the command line, not in this file"},
      {std::string("tone A\ntone B\0C\n", 16), "f.conf:2: a NUL byte"},
  };
  for (const auto& [text, message] : cases) {
    Words words = {"left over"};
    std::string error;
    EXPECT_FALSE(relay::ConfigWords(text, "f.conf", &words, &error)) << text;
    EXPECT_EQ(error, message) << text;
    EXPECT_TRUE(words.empty()) << text;
  }
}

TEST(RelayConfig, TheDefaultFileIsReadOnlyWithoutSourcesOnTheCommandLine) {
  const std::string config = Folder("xdg");
  const std::string path = WriteUserConfig(config, "tone From File\nport 2000\n");
  ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
  relay::Options options;
  std::string readFrom, error;

  ASSERT_TRUE(Apply({"--stats", "--port", "3000"}, &options, &readFrom, &error)) << error;
  EXPECT_EQ(readFrom, path);
  ASSERT_EQ(options.sources.size(), 1u);
  EXPECT_EQ(options.sources[0].name, "From File");
  EXPECT_EQ(options.port, 3000);  // the command line comes last
  EXPECT_TRUE(options.stats);

  WriteUserConfig(config, "bogus\n");
  ASSERT_TRUE(Apply({"--tone", "Line"}, &options, &readFrom, &error)) << error;
  EXPECT_EQ(readFrom, "");
  ASSERT_EQ(options.sources.size(), 1u);
  EXPECT_EQ(options.sources[0].name, "Line");

  EXPECT_FALSE(Apply({}, &options, &readFrom, &error));
  EXPECT_EQ(error, path + ":1: unknown setting: bogus");
}

TEST(RelayConfig, WhereTheDefaultFileIsAndWhenItMayBeMissing) {
  const std::string home = Folder("home");
  ScopedEnv homeVar("HOME", home.c_str());
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(relay::DefaultConfigPath(), home + "/.config/skylane/relay.conf");
  }
  ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(relay::DefaultConfigPath(), home + "/.config/skylane/relay.conf");
  {
    ScopedEnv noHome("HOME", nullptr);
    EXPECT_EQ(relay::DefaultConfigPath(), "");
  }

  // No file: no sources, so the relay serves its demo tone.
  relay::Options options;
  std::string readFrom, error;
  ASSERT_TRUE(Apply({"--port", "0"}, &options, &readFrom, &error)) << error;
  EXPECT_EQ(readFrom, "");
  EXPECT_TRUE(options.sources.empty());

  // A file named with --config must be there and readable.
  EXPECT_FALSE(Apply({"--config", home + "/absent.conf"}, &options, &readFrom, &error));
  EXPECT_EQ(error, "cannot read " + home + "/absent.conf: No such file or directory");
  EXPECT_FALSE(Apply({"--config", home}, &options, &readFrom, &error));
  EXPECT_EQ(error, "cannot read " + home + ": Is a directory");
  EXPECT_FALSE(Apply({"--config", ""}, &options, &readFrom, &error));
  EXPECT_EQ(error, "--config wants a file name");

  const std::string big = home + "/big.conf";
  WriteFile(big, std::string(relay::kMaxConfigBytes - 5, '#') + "\nstats\n");
  EXPECT_FALSE(Apply({"--config", big}, &options, &readFrom, &error));
  EXPECT_EQ(error, big + ": larger than 65536 bytes");
}

TEST(RelayConfig, TheCommandLineAddsToANamedFile) {
  const std::string path = Folder("named") + "/named.conf";
  WriteFile(path, "tone A\nblock 64\n");
  relay::Options options;
  std::string readFrom, error;
  ASSERT_TRUE(Apply({"--loopback", "B", "--config", path}, &options, &readFrom, &error)) << error;
  ASSERT_EQ(options.sources.size(), 2u);
  EXPECT_EQ(options.sources[0].name, "A");
  EXPECT_EQ(options.sources[1].name, "B");
  EXPECT_EQ(options.blockFrames, 64);

  EXPECT_FALSE(Apply({"--config", path, "--tone", "A"}, &options, &readFrom, &error));
  EXPECT_EQ(error, "device name used twice: A");
}

TEST(RelayConfigProcess, ServesTheFilesDevicesAndNamesTheFile) {
  const std::string config = Folder("process");
  const std::string path =
      WriteUserConfig(config, "# two devices\ntone First Tone\nloopback Back\nport 0\n");
  ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
  relay_test::Relay relay({});
  EXPECT_GT(relay.ReadPort(), 0);
  EXPECT_NE(relay.ReadLine().find(": First Tone"), std::string::npos);
  EXPECT_NE(relay.ReadLine().find(": (loopback) Back"), std::string::npos);
  EXPECT_EQ(relay.ReadLine(), "settings from " + path);
  relay.Signal(SIGTERM);
  EXPECT_EQ(relay.Wait(), 0);
}

TEST(RelayConfigProcess, ABadFileStopsTheRelayWithExitTwo) {
  const std::string config = Folder("bad");
  const std::string path = WriteUserConfig(config, "tone A\n\nport 0\nfile Drums=/absent.flac\n");
  ScopedEnv xdg("XDG_CONFIG_HOME", config.c_str());
  relay_test::Relay missingSound({});
  EXPECT_EQ(missingSound.Wait(), 2);
  EXPECT_EQ(missingSound.errors(),
            "skylane-relay: cannot read /absent.flac: No such file or "
            "directory (settings from " +
                path + ")\n");

  WriteUserConfig(config, "tone A\n\nport zero\n");
  relay_test::Relay badLine({});
  EXPECT_EQ(badLine.Wait(), 2);
  EXPECT_EQ(badLine.errors(), "skylane-relay: " + path + ":3: bad port: zero\n");
  EXPECT_EQ(badLine.output(), "");
}

}  // namespace
