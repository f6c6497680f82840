// The small pieces the plug-in's threads share: status lines, the stop signal,
// the test-only settings and the socket guard.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "plugin/relay_link.h"
#include "plugin/relay_settings.h"
#include "plugin/status_text.h"
#include "plugin/stop_signal.h"
#include "tests/plugin/scripted_relay.h"

namespace {

std::string textOf(const StatusText& line) {
  char buffer[StatusText::kCapacity];
  line.Copy(buffer, sizeof buffer);
  return buffer;
}

bool neverCancelled(void*) { return false; }

TEST(StatusTextTest, StoresBoundedTextsAndForwardsThem) {
  StatusText line("Disconnected");
  EXPECT_EQ(textOf(line), "Disconnected");
  line.Format("Connected: %s - %s", std::string(300, 'd').c_str(), "TR0");
  EXPECT_EQ(textOf(line).size(), 259u);
  line.Set(nullptr);
  EXPECT_EQ(textOf(line), "");

  std::string shown;
  line.Attach([](void* target, const char* text) { *static_cast<std::string*>(target) = text; },
              &shown);
  line.Set("Audio flowing");
  EXPECT_EQ(shown, "Audio flowing");
  char small[4];
  line.Copy(small, sizeof small);
  EXPECT_STREQ(small, "Aud");
}

TEST(StopSignalTest, RaisingEndsASleepAtOnce) {
  StopSignal stop;
  EXPECT_TRUE(stop.SleepFor(1));
  std::thread raiser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.Raise();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(stop.SleepFor(60000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  raiser.join();
  EXPECT_FALSE(stop.SleepFor(1000));
}

TEST(RelaySettingsTest, EnvironmentOverridesOnlyValidValues) {
  unsetenv("SKYLANE_RELAY_PORT");
  unsetenv("SKYLANE_TICK_MS");
  unsetenv("SKYLANE_STALL_MS");
  RelaySettings settings = RelaySettings::FromEnvironment();
  EXPECT_EQ(settings.port, 53669);
  EXPECT_EQ(settings.tickMs, 1000);
  EXPECT_EQ(settings.stallMs, 3000);
  setenv("SKYLANE_RELAY_PORT", "40001", 1);
  setenv("SKYLANE_TICK_MS", "25", 1);
  setenv("SKYLANE_STALL_MS", "250", 1);
  settings = RelaySettings::FromEnvironment();
  EXPECT_EQ(settings.port, 40001);
  EXPECT_EQ(settings.tickMs, 25);
  EXPECT_EQ(settings.stallMs, 250);
  for (const char* bad : {"0", "65536", "-3", "12x", "", "99999999999999999999"}) {
    setenv("SKYLANE_RELAY_PORT", bad, 1);
    setenv("SKYLANE_TICK_MS", bad, 1);
    settings = RelaySettings::FromEnvironment();
    EXPECT_EQ(settings.port, 53669) << bad;
    EXPECT_EQ(settings.tickMs, 1000) << bad;
  }
  for (const char* bad : {"9", "600001", "-3", "12x", ""}) {
    setenv("SKYLANE_STALL_MS", bad, 1);
    EXPECT_EQ(RelaySettings::FromEnvironment().stallMs, 3000) << bad;
  }
  unsetenv("SKYLANE_RELAY_PORT");
  unsetenv("SKYLANE_TICK_MS");
  unsetenv("SKYLANE_STALL_MS");
}

TEST(RelayLinkTest, ConnectFailsWithoutAListener) {
  int port;
  {
    ScriptedRelay relay;
    port = relay.Port();
  }
  int limit = 0;
  EXPECT_EQ(ConnectToRelay(port, 500, neverCancelled, nullptr, &limit), -1);
  EXPECT_EQ(ConnectToRelay(
                port, 500, [](void*) { return true; }, nullptr, &limit),
            -1);
}

TEST(RelayLinkTest, WholePacketsAndNothingAfterRetire) {
  ScriptedRelay relay;
  int limit = 0;
  const int fd = ConnectToRelay(relay.Port(), 2000, neverCancelled, nullptr, &limit);
  ASSERT_GE(fd, 0);
  EXPECT_GE(limit, 64 * 1024);
  const int peer = relay.Accept();
  ASSERT_GE(peer, 0);
  RelayLink link;
  const int32_t head = 2;
  const float body[4] = {1, 2, 3, 4};
  EXPECT_EQ(link.Send(&head, 4, body, sizeof body), RelayLink::SendResult::kNoLink);
  link.Publish(fd, limit);
  EXPECT_TRUE(link.IsOpen());
  EXPECT_EQ(link.Send(&head, 4, body, sizeof body), RelayLink::SendResult::kSent);
  char got[20];
  ASSERT_TRUE(ReadExactly(peer, got, sizeof got));
  EXPECT_EQ(0, memcmp(got, &head, 4));
  EXPECT_EQ(0, memcmp(got + 4, body, 16));
  link.Shutdown();
  EXPECT_TRUE(PeerClosed(peer));
  link.Retire();
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(link.Send(&head, 4, body, sizeof body), RelayLink::SendResult::kNoLink);
  link.Shutdown();  // nothing left to shut down: harmless
  close(peer);
}

// A peer that stops reading fills the queue: later packets are dropped whole,
// and every byte the peer eventually reads belongs to a complete packet.
TEST(RelayLinkTest, FullQueueDropsWholePacketsWithoutBlocking) {
  ScriptedRelay relay;
  int limit = 0;
  const int fd = ConnectToRelay(relay.Port(), 2000, neverCancelled, nullptr, &limit);
  const int peer = relay.Accept();
  ASSERT_GE(fd, 0);
  ASSERT_GE(peer, 0);
  RelayLink link;
  link.Publish(fd, limit);
  std::vector<float> body(2 * 1000, 0.5f);
  const int32_t head = 1000;
  int sent = 0, dropped = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 2000; ++i) {
    const RelayLink::SendResult r = link.Send(&head, 4, body.data(), body.size() * 4);
    ASSERT_NE(r, RelayLink::SendResult::kFailed);
    (r == RelayLink::SendResult::kSent ? sent : dropped)++;
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_GT(dropped, 0);
  EXPECT_GT(sent, 0);
  link.Shutdown();
  link.Retire();
  size_t total = 0;
  char scratch[65536];
  ssize_t got;
  while ((got = recv(peer, scratch, sizeof scratch, 0)) > 0) total += static_cast<size_t>(got);
  EXPECT_EQ(total, static_cast<size_t>(sent) * 8004);
  close(peer);
}

}  // namespace
