// PipeWire devices against a private PipeWire with its session manager: a
// null sink fed a known tone by pw-cat, captured by name and as the desktop's
// output; the default changed, the sink removed and made again, the server
// killed and started again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <cmath>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "relay/drift_control.h"
#include "relay/pipewire_host.h"
#include "tests/relay/pipewire_server.h"
#include "tests/relay/recorder.h"
#include "tests/relay/relay_process.h"
#include "tests/relay/running_server.h"
#include "tests/relay/tone_check.h"

namespace relay {
namespace {

using relay_test::AnalyseTone;
using relay_test::PrivatePipeWire;
using relay_test::Recorder;
using relay_test::RunningServer;
using relay_test::ToneReport;
using Clock = std::chrono::steady_clock;

// The relay's server with a tone device, a device on the sink "trial" by
// name and the two desktop devices.
struct Relay {
  Relay() : log(tmpfile()) {
    PipeWireHostConfig config;
    config.log = log;
    host = std::make_unique<PipeWireHost>(
        config, std::vector<PwDeviceSpec>{{"Trial", PwMode::kTarget, "trial"},
                                          {"Desktop Output", PwMode::kDefaultOutput, ""},
                                          {"Desktop Input", PwMode::kDefaultInput, ""}});
    std::vector<Device> devices;
    AddDevice(&devices, "Tone", MakeToneSource());
    named = AddDevice(&devices, "Trial", host->MakeSource(0)).id;
    desktop = AddDevice(&devices, "Desktop Output", host->MakeSource(1)).id;
    input = AddDevice(&devices, "Desktop Input", host->MakeSource(2)).id;
    ServerConfig serverConfig;
    serverConfig.stats = true;
    server = std::make_unique<RunningServer>(std::move(devices), serverConfig);
    host->Start();
  }
  ~Relay() {
    server.reset();
    host.reset();
    fclose(log);
  }
  std::string Log() {
    std::string text;
    rewind(log);
    for (char line[1024]; fgets(line, sizeof line, log);) text += line;
    return text + server->Log();
  }
  FILE* log;
  std::unique_ptr<PipeWireHost> host;
  std::unique_ptr<RunningServer> server;
  uint32_t named = 0, desktop = 0, input = 0;
};

class PipeWireDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!relay_test::PipeWireInstalled())
      GTEST_SKIP() << "pipewire, wireplumber, pw-cli, pw-cat or dbus-daemon is not installed";
    ASSERT_TRUE(pw_.Start()) << pw_.Log();
    ASSERT_TRUE(pw_.AddSink("trial")) << pw_.Log();
  }
  PrivatePipeWire pw_;
};

// The relay's own losses for a device (underruns and trims) from its
// statistics, once a line written after now is there. Level steps are the
// graph's losses, which the relay only follows.
uint64_t RelayLosses(Relay* relay, uint32_t id) {
  const std::string mark = "stats: device " + std::to_string(id) + " ";
  const auto count = [&] {
    const std::string log = relay->server->Log();
    size_t n = 0;
    for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1)) ++n;
    return n;
  };
  const size_t before = count();
  for (const auto end = Clock::now() + Recorder::kDeadline; count() < before + 2;) {
    if (Clock::now() > end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  const std::string log = relay->server->Log();
  const size_t line = log.rfind(mark);
  const size_t counts = line == std::string::npos ? line : log.find("ppm, ", line);
  unsigned long long underruns = 0, trims = 0;
  if (counts != std::string::npos)
    std::sscanf(log.c_str() + counts, "ppm, %llu underruns, %llu trims", &underruns, &trims);
  return underruns + trims;
}

// The tone over 3-second windows, the first without a break judged: its
// pitch and level. A busy machine may make the graph or the player miss
// cycles, which no client can mend: when every window broke while the relay
// itself lost nothing, nothing is judged and the reason is returned.
std::string ExpectTone(Relay* relay, uint32_t id, Recorder* recorder, const char* what) {
  const uint64_t losses = RelayLosses(relay, id);
  ToneReport best;
  best.breaks = ~size_t(0);
  std::vector<float> window, bestWindow;
  for (int w = 0; w < 6 && best.breaks; ++w) {
    const size_t start = recorder->frames();
    if (!recorder->WaitFrames(3 * 44100)) break;
    const std::vector<float> all = recorder->samples();
    window.assign(all.begin() + static_cast<long>(2 * start), all.end());
    const ToneReport left =
        AnalyseTone(window, 0, 44100, PrivatePipeWire::kLeftHz, PrivatePipeWire::kLeftLevel, 441);
    if (left.breaks >= best.breaks) continue;
    best = left;
    bestWindow = window;
  }
  if (best.breaks && RelayLosses(relay, id) == losses)
    return std::string(what) + ": every window broke upstream of the relay, which lost nothing";
  const ToneReport right = AnalyseTone(bestWindow, 1, 44100, PrivatePipeWire::kRightHz,
                                       PrivatePipeWire::kRightLevel, 441);
  const double range = 1 + DriftControl::kMaxCorrection;
  EXPECT_EQ(best.breaks, 0u) << what << ": a dropout in every window\n" << relay->Log();
  EXPECT_GT(best.frequency, PrivatePipeWire::kLeftHz / range - 0.05) << what;
  EXPECT_LT(best.frequency, PrivatePipeWire::kLeftHz * range + 0.05) << what;
  EXPECT_NEAR(best.rms, PrivatePipeWire::kLeftLevel / std::sqrt(2.0), 0.004) << what;
  EXPECT_NEAR(right.rms, PrivatePipeWire::kRightLevel / std::sqrt(2.0), 0.004) << what;
  std::printf("%s: %.4f Hz at %.4f rms\n", what, best.frequency, best.rms);
  return std::string();
}

TEST_F(PipeWireDevices, CaptureASinkByNameAndAsTheDesktopOutput) {
  for (const int quantum : {256, 1024, 2048}) {
    SCOPED_TRACE(quantum);
    ASSERT_TRUE(pw_.Play("trial", quantum));
    Relay relay;
    Recorder named(relay.server->port(), relay.named);
    Recorder desktop(relay.server->port(), relay.desktop);
    ASSERT_TRUE(named.WaitFor(true)) << relay.Log() << pw_.Log();
    ASSERT_TRUE(desktop.WaitFor(true)) << relay.Log() << pw_.Log();
    for (const std::string& why : {ExpectTone(&relay, relay.named, &named, "by name"),
                                   ExpectTone(&relay, relay.desktop, &desktop, "desktop output")})
      if (!why.empty()) GTEST_SKIP() << why;
    pw_.StopPlaying();
  }
}

// The named device stays on its sink when the default changes; the desktop
// device follows the default. A sink that goes plays silence and comes back.
TEST_F(PipeWireDevices, NamedStaysDesktopFollowsTargetComesBack) {
  ASSERT_TRUE(pw_.AddSink("other"));
  ASSERT_TRUE(pw_.SetDefaultSink("trial"));
  ASSERT_TRUE(pw_.Play("trial", 1024));
  Relay relay;
  Recorder named(relay.server->port(), relay.named);
  Recorder desktop(relay.server->port(), relay.desktop);
  ASSERT_TRUE(named.WaitFor(true)) << relay.Log();
  ASSERT_TRUE(desktop.WaitFor(true)) << relay.Log();

  ASSERT_TRUE(pw_.SetDefaultSink("other"));
  EXPECT_TRUE(desktop.WaitFor(false)) << "the desktop device moved to the silent default";
  EXPECT_TRUE(named.WaitFor(true));
  const std::string why = ExpectTone(&relay, relay.named, &named, "named, default elsewhere");
  if (!why.empty()) GTEST_SKIP() << why;
  ASSERT_TRUE(pw_.SetDefaultSink("trial"));
  EXPECT_TRUE(desktop.WaitFor(true)) << "and back with the default";

  pw_.StopPlaying();
  ASSERT_TRUE(pw_.RemoveNode("trial"));
  EXPECT_TRUE(named.WaitFor(false)) << "silent while the sink is gone";
  ASSERT_TRUE(pw_.AddSink("trial"));
  ASSERT_TRUE(pw_.Play("trial", 1024));
  EXPECT_TRUE(named.WaitFor(true)) << "back once the sink is\n" << relay.Log();
}

// The desktop input device follows the default input device: it goes
// silent when the default moves to a quiet microphone and hears the first
// again when the default comes back.
TEST_F(PipeWireDevices, DesktopInputFollowsTheDefaultInput) {
  ASSERT_TRUE(pw_.AddSource("mic"));
  ASSERT_TRUE(pw_.AddSource("quiet"));
  ASSERT_TRUE(pw_.SetDefaultSource("mic"));
  ASSERT_TRUE(pw_.PlayInto("mic", 1024)) << pw_.Log();
  Relay relay;
  Recorder input(relay.server->port(), relay.input);
  ASSERT_TRUE(input.WaitFor(true)) << relay.Log() << pw_.Log();
  const std::string why = ExpectTone(&relay, relay.input, &input, "desktop input");
  if (!why.empty()) GTEST_SKIP() << why;

  ASSERT_TRUE(pw_.SetDefaultSource("quiet"));
  EXPECT_TRUE(input.WaitFor(false)) << "the desktop input moved to the quiet default";
  ASSERT_TRUE(pw_.SetDefaultSource("mic"));
  EXPECT_TRUE(input.WaitFor(true)) << "and back with the default\n" << relay.Log();
}

// Killed and started again, the server brings every PipeWire device back;
// the tone device's client never notices.
TEST_F(PipeWireDevices, ComeBackAfterTheServerRestarts) {
  ASSERT_TRUE(pw_.Play("trial", 1024));
  Relay relay;
  Recorder named(relay.server->port(), relay.named);
  Recorder tone(relay.server->port(), 0);
  ASSERT_TRUE(named.WaitFor(true)) << relay.Log();

  pw_.Kill();
  ASSERT_TRUE(named.WaitFor(false)) << "silent while the server is gone";
  ASSERT_TRUE(pw_.Start()) << pw_.Log();
  const auto back = Clock::now();
  ASSERT_TRUE(pw_.AddSink("trial"));
  ASSERT_TRUE(pw_.Play("trial", 1024));
  ASSERT_TRUE(named.WaitFor(true)) << relay.Log();
  std::printf("sound again %.2f s after the server answered\n",
              std::chrono::duration<double>(Clock::now() - back).count());
  EXPECT_GE(relay.host->links(), 2u);
  const std::string why = ExpectTone(&relay, relay.named, &named, "after the restart");
  if (!why.empty()) GTEST_SKIP() << why;

  tone.Finish();
  const ToneReport other = AnalyseTone(tone.samples(), 0, 44100, 440, 0.25);
  EXPECT_NEAR(other.frequency, 440, 0.05);
  EXPECT_EQ(other.breaks, 0u) << "the tone device's client noticed";
}

// A JACK device through PipeWire's JACK library, which reports a lost server
// through the plain shutdown callback only: it comes back after a restart.
TEST_F(PipeWireDevices, JackDeviceThroughPipeWireComesBackAfterARestart) {
  const std::string library = "/usr/lib/x86_64-linux-gnu/pipewire-0.3/jack";
  if (access((library + "/libjack.so.0").c_str(), R_OK) != 0)
    GTEST_SKIP() << "pipewire-jack is not installed";
  setenv("LD_LIBRARY_PATH", library.c_str(), 1);
  const char* tsan = getenv("TSAN_OPTIONS");
  const std::string tsanBefore = tsan ? tsan : "";
  setenv("TSAN_OPTIONS", (tsanBefore + " suppressions=" SKYLANE_PIPEWIRE_TSAN_SUPP).c_str(), 1);
  relay_test::Relay process({"--port", "0", "--jack", "Sink=trial:monitor_FL,trial:monitor_FR"});
  unsetenv("LD_LIBRARY_PATH");
  setenv("TSAN_OPTIONS", tsanBefore.c_str(), 1);
  const int port = process.ReadPort();
  ASSERT_GT(port, 0);
  ASSERT_TRUE(pw_.Play("trial", 1024));
  Recorder sink(port, 0);
  ASSERT_TRUE(sink.WaitFor(true));
  pw_.Kill();
  ASSERT_TRUE(sink.WaitFor(false)) << "silent while the server is gone";
  ASSERT_TRUE(pw_.Start()) << pw_.Log();
  ASSERT_TRUE(pw_.AddSink("trial"));
  ASSERT_TRUE(pw_.Play("trial", 1024));
  const bool back = sink.WaitFor(true);
  sink.Finish();
  process.Signal(SIGTERM);
  const int code = process.Wait();
  EXPECT_TRUE(back) << "back once the server is\n" << process.errors() << pw_.Log();
  EXPECT_EQ(code, 0) << process.output() << process.errors();
}

}  // namespace
}  // namespace relay
