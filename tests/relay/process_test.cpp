// Runs the skylane-relay executable as a real process.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "tests/relay/relay_process.h"
#include "tests/relay/test_client.h"

namespace {

using relay_test::Record;
using relay_test::Relay;
using relay_test::TestClient;

TEST(RelayProcess, HelpDescribesTheSourcesAndExitsZero) {
  for (const char* flag : {"--help", "-h"}) {
    Relay relay({flag});
    EXPECT_EQ(relay.Wait(), 0) << flag;
    EXPECT_EQ(relay.output().rfind("Usage: skylane-relay [options] [sources]\n", 0), 0u) << flag;
    EXPECT_EQ(relay.errors(), "") << flag;
    for (const char* word : {"--tone", "--file", "--stdin", "--loopback", "--impulse", "--jack",
                             "--jack-capture", "--list-jack", "--port", "--stats"})
      EXPECT_NE(relay.output().find(word), std::string::npos) << word;
  }
}

TEST(RelayProcess, BadCommandLinesExitWithTwoAndAMessage) {
  const std::string text = ::testing::TempDir() + "relay_text.txt";
  FILE* f = fopen(text.c_str(), "w");
  ASSERT_NE(f, nullptr);
  fputs("plain text\n", f);
  fclose(f);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--frobnicate"}, "unknown option: --frobnicate"},
      {{"--tone"}, "--tone wants a value"},
      {{"--port", "99999"}, "bad port"},
      {{"--file", "Song=/nonexistent/song.wav"}, "/nonexistent/song.wav"},
      {{"--file", "Text=" + text}, "relay_text.txt"},
      {{"--file", "NoPath"}, "NAME=PATH"},
      {{"--tone", "A", "--tone", "A"}, "used twice"},
  };
  for (const auto& [args, message] : cases) {
    Relay relay(args);
    EXPECT_EQ(relay.Wait(), 2) << args[0];
    EXPECT_EQ(relay.errors().rfind("skylane-relay: ", 0), 0u) << relay.errors();
    EXPECT_NE(relay.errors().find(message), std::string::npos) << relay.errors();
    EXPECT_EQ(relay.output(), "") << args[0];
  }
  Relay usage({"--jack", "A=x,y,z"});
  EXPECT_EQ(usage.Wait(), 2);
  EXPECT_EQ(usage.errors(),
            "skylane-relay: --jack wants NAME, NAME=PORT or NAME=PORT_L,PORT_R, got: A=x,y,z\n"
            "Try 'skylane-relay --help'.\n");
}

TEST(RelayProcess, ServesTheDemoToneAndStopsCleanlyOnSigterm) {
  Relay relay({"--port", "0"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  {
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    ASSERT_TRUE(client.SendRequest(0, 0));
    Record r;
    ASSERT_TRUE(client.ReadRecord(&r));
    EXPECT_EQ(r.type(), 1);
    EXPECT_EQ(r.text(), "Skylane Demo Tone");
    std::vector<float> s;
    ASSERT_TRUE(client.ReadFrames(1024, &s));
    float peak = 0;
    for (float v : s) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, 0.25f, 0.01f);
  }
  relay.Signal(SIGTERM);
  EXPECT_EQ(relay.Wait(), 0);
  EXPECT_NE(relay.output().find("client 1 connected"), std::string::npos) << relay.output();
  EXPECT_NE(relay.output().find("client 1 disconnected"), std::string::npos) << relay.output();
}

TEST(RelayProcess, StreamsStandardInputAndStopsOnSigint) {
  Relay relay({"--port", "0", "--stdin", "Pipe", "--stats"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  std::vector<float> frames(2 * 4410);
  for (size_t i = 0; i < frames.size(); i += 2) {
    frames[i] = 0.125f;
    frames[i + 1] = -0.375f;
  }
  TestClient client;
  ASSERT_TRUE(client.Connect(port));
  ASSERT_TRUE(client.SendRequest(0, 0));
  Record r;
  ASSERT_TRUE(client.ReadRecord(&r));
  EXPECT_EQ(r.text(), "Pipe");
  ASSERT_EQ(write(relay.stdinFd(), frames.data(), frames.size() * 4),
            static_cast<ssize_t>(frames.size() * 4));
  bool heard = false;
  for (int i = 0; i < 200 && !heard; ++i) {
    ASSERT_TRUE(client.ReadRecord(&r));
    heard = r.header > 0 && r.samples[0] == 0.125f && r.samples[1] == -0.375f;
  }
  EXPECT_TRUE(heard);
  std::string line;
  for (int i = 0; i < 10 && line.rfind("stats:", 0) != 0; ++i) line = relay.ReadLine(3000);
  EXPECT_EQ(line.rfind("stats: 1 clients, 1 streaming; last second: ", 0), 0u) << line;
  relay.CloseStdin();
  const std::string ended = "device \"Pipe\": standard input ended; the device plays silence";
  for (int i = 0; i < 20 && line.rfind(ended, 0) != 0; ++i) line = relay.ReadLine(3000);
  EXPECT_EQ(line.rfind(ended, 0), 0u) << line;
  relay.Signal(SIGINT);
  EXPECT_EQ(relay.Wait(), 0);
  EXPECT_EQ(relay.output().find(ended), std::string::npos) << "said once";
}

TEST(RelayProcess, ABusyPortIsARuntimeError) {
  Relay first({"--port", "0"});
  const int port = first.ReadPort();
  ASSERT_GT(port, 0);
  Relay second({"--port", std::to_string(port)});
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_NE(second.errors().find("cannot listen"), std::string::npos) << second.errors();
}

}  // namespace
