// JACK devices against a private JACK server with the dummy driver: a test
// client plays a known tone into the relay's ports, a relay client receives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "relay/drift_control.h"
#include "relay/jack_host.h"
#include "tests/relay/jack_server.h"
#include "tests/relay/recorder.h"
#include "tests/relay/running_server.h"
#include "tests/relay/test_client.h"
#include "tests/relay/tone_check.h"

namespace relay {
namespace {

using relay_test::AnalyseTone;
using relay_test::PrivateJackServer;
using relay_test::Recorder;
using relay_test::RunningServer;
using relay_test::TestClient;
using relay_test::TonePlayer;
using relay_test::ToneReport;
using Clock = std::chrono::steady_clock;

constexpr auto kDeadline = std::chrono::seconds(20);

bool WaitLinks(const JackHost& host, uint32_t links) {
  for (const auto end = Clock::now() + kDeadline; Clock::now() < end;) {
    if (host.links() >= links) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// The relay's server with a tone device and one JACK device connected to the
// player, printing statistics every second.
struct Relay {
  Relay() : jackLog(tmpfile()) {
    JackHostConfig config;
    config.log = jackLog;
    host = std::make_unique<JackHost>(
        config, std::vector<JackDeviceSpec>{{"Player", {"player:out_l", "player:out_r"}}});
    std::vector<Device> devices;
    AddDevice(&devices, "Tone", MakeToneSource());
    jackId = AddDevice(&devices, "Player", host->MakeSource(0)).id;
    ServerConfig serverConfig;
    serverConfig.stats = true;
    server = std::make_unique<RunningServer>(std::move(devices), serverConfig);
    host->Start();
  }
  ~Relay() {
    server.reset();
    host.reset();
    fclose(jackLog);
  }
  // What the JACK host and the server said, for a failure's message.
  std::string Log() {
    std::string text;
    rewind(jackLog);
    for (char line[1024]; fgets(line, sizeof line, jackLog);) text += line;
    return text + server->Log();
  }
  FILE* jackLog;
  std::unique_ptr<JackHost> host;
  std::unique_ptr<RunningServer> server;
  uint32_t jackId = 0;
};

class JackDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!relay_test::JackdInstalled()) GTEST_SKIP() << "jackd is not installed";
  }
  PrivateJackServer jackd_;
  TonePlayer player_;
};

size_t CountXRuns(const std::string& log) {
  size_t count = 0;
  for (size_t at = log.find("XRun"); at != std::string::npos; at = log.find("XRun", at + 1))
    ++count;
  return count;
}

// Judged over a window of 3 s in which the server itself kept time: a server
// that misses its own periods (a busy machine) loses audio no client can mend,
// so such a window is set aside and the next one judged.
TEST_F(JackDevices, StreamTheConnectedProgramAt44100HzWithoutDropouts) {
  ASSERT_TRUE(jackd_.Start());
  ASSERT_TRUE(player_.Start());
  Relay relay;
  ASSERT_TRUE(WaitLinks(*relay.host, 1));
  Recorder recorder(relay.server->port(), relay.jackId);
  ASSERT_TRUE(recorder.WaitFor(true));
  std::vector<float> samples;
  for (int window = 0; window < 4 && samples.empty(); ++window) {
    const size_t xruns = CountXRuns(jackd_.Log()), start = recorder.frames();
    ASSERT_TRUE(recorder.WaitFrames(3 * 44100));
    if (CountXRuns(jackd_.Log()) != xruns) continue;
    const std::vector<float> all = recorder.samples();
    samples.assign(all.begin() + 2 * start, all.end());
  }
  recorder.Finish();
  if (samples.empty())
    GTEST_SKIP() << "the JACK server missed periods in every window\n" << jackd_.Log();
  const ToneReport left = AnalyseTone(samples, 0, 44100, TonePlayer::kLeftHz, 0.5, 441);
  const ToneReport right = AnalyseTone(samples, 1, 44100, TonePlayer::kRightHz, 0.25, 441);
  // The dummy driver's clock runs slow by up to a few hundred parts per million
  // on a busy machine; the relay follows it within its drift control's range,
  // which bounds the pitch.
  const double range = 1 + DriftControl::kMaxCorrection;
  EXPECT_GT(left.frequency, TonePlayer::kLeftHz / range - 0.05);
  EXPECT_LT(left.frequency, TonePlayer::kLeftHz * range + 0.05);
  EXPECT_GT(right.frequency, TonePlayer::kRightHz / range - 0.05);
  EXPECT_LT(right.frequency, TonePlayer::kRightHz * range + 0.05);
  EXPECT_NEAR(left.rms, TonePlayer::kLeftLevel / std::sqrt(2.0), 0.004);
  EXPECT_NEAR(right.rms, TonePlayer::kRightLevel / std::sqrt(2.0), 0.002);
  EXPECT_EQ(left.breaks, 0u) << "a dropout after the start\n" << relay.Log() << jackd_.Log();
  EXPECT_EQ(right.breaks, 0u);
  std::printf("received %zu frames: %.4f Hz at %.4f rms, %.4f Hz at %.4f rms\n", samples.size() / 2,
              left.frequency, left.rms, right.frequency, right.rms);
}

TEST_F(JackDevices, ComeBackWhenTheServerStartsLateOrRestartsAndNothingElseNotices) {
  Relay relay;
  Recorder jack(relay.server->port(), relay.jackId);
  Recorder tone(relay.server->port(), 0);
  ASSERT_TRUE(jack.WaitFrames(44100 / 2));
  ASSERT_TRUE(jack.WaitFor(false)) << "silent while no server runs";

  ASSERT_TRUE(jackd_.Start());
  ASSERT_TRUE(player_.Start());
  ASSERT_TRUE(jack.WaitFor(true)) << "the device comes once the server is there";

  player_.Close();
  jackd_.Kill();
  ASSERT_TRUE(jack.WaitFor(false)) << "silent once the server is gone";

  ASSERT_TRUE(jackd_.Start());
  ASSERT_TRUE(player_.Start());
  ASSERT_TRUE(jack.WaitFor(true)) << "and back when it returns";
  EXPECT_GE(relay.host->links(), 2u);

  tone.Finish();
  const ToneReport other = AnalyseTone(tone.samples(), 0, 44100, 440, 0.25);
  EXPECT_NEAR(other.frequency, 440, 0.05);
  EXPECT_EQ(other.breaks, 0u) << "the tone device's client noticed";
}

}  // namespace
}  // namespace relay
