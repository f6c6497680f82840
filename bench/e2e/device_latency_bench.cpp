// Device to track: an impulse played into a private PipeWire null sink is
// captured from the sink's monitor by the relay's PipeWire device and played
// by Skylane in this process at 48000 Hz, with the host's block as large as
// the graph's quantum (one run also with half of it). The time from the cycle
// that fed the impulse to the sink to the plug-in's output sample is measured
// once the FIFO has settled, at quanta 256 and 1024, with the relay's default
// settings and with the lowest ones found free of underruns. A quiet 440 Hz bed under the impulses
// makes any silent output block an underrun; the relay's own underruns come
// from its statistics. Goal at quantum 256 with the low settings: 25 ms.
// SKYLANE_DEVICE_BENCH_SECONDS sets the measured time of each run (default
// 20); SKYLANE_DEVICE_BENCH_RUN=N makes only the Nth run of the table (from 1).
#include <benchmark/benchmark.h>
#include <signal.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/e2e/bench_env.h"
#include "bench/e2e/impulse_player.h"
#include "tests/e2e/child_process.h"
#include "tests/e2e/plugin_rack.h"
#include "tests/relay/pipewire_server.h"

namespace {

constexpr double kRate = ImpulsePlayer::kRate;
constexpr double kSettleSeconds = 8.0;
constexpr double kStartLimitSeconds = 10.0;
constexpr int kTickMs = 100;
constexpr double kGoalMs = 25.0;
constexpr int kGoalQuantum = 256;
constexpr const char* kSink = "skylane-bench-sink";

struct Settings {
  const char* name;
  int quantum;
  int block;      // the relay's --block
  int reserveMs;  // the relay's --jack-reserve
  int hostBlock;  // the host's block size
};

const Settings kRuns[] = {
    {"default", 256, 512, 30, 256},   {"low", 256, 64, 5, 256},   {"low", 256, 64, 5, 128},
    {"default", 1024, 512, 30, 1024}, {"low", 1024, 64, 5, 1024},
};

struct Result {
  Settings settings{};
  int pulses = 0;
  double meanMs = 0.0;
  double maxMs = 0.0;
  long silentBlocks = 0;
  unsigned long long relayUnderruns = 0;
  double targetMs = 0.0;  // the relay's capture ring target
  double seconds = 0.0;
};

double MeasureSeconds() {
  const char* text = std::getenv("SKYLANE_DEVICE_BENCH_SECONDS");
  const double s = text ? std::atof(text) : 0.0;
  return s > 0.0 ? s : 20.0;
}

// Output pulses: the loudest frame of each, in monotonic seconds.
void ScanPulses(const std::vector<float>& left, double blockTime, std::vector<double>* times,
                std::vector<float>* peaks) {
  for (size_t i = 0; i < left.size(); ++i) {
    const float level = std::fabs(left[i]);
    if (level < 0.3f) continue;
    const double t = blockTime + double(i) / kRate;
    if (times->empty() || t - times->back() > 0.5) {
      times->push_back(t);
      peaks->push_back(level);
    } else if (t - times->back() < 0.01 && level > peaks->back()) {
      times->back() = t;
      peaks->back() = level;
    }
  }
}

void Match(const std::vector<double>& out, const std::vector<double>& fed, Result* r) {
  for (double t : out) {
    auto after = std::upper_bound(fed.begin(), fed.end(), t);
    if (after == fed.begin() || t - *(after - 1) > 0.5) continue;
    const double ms = (t - *(after - 1)) * 1000.0;
    r->meanMs += ms;
    r->maxMs = std::max(r->maxMs, ms);
    ++r->pulses;
  }
  if (r->pulses > 0) r->meanMs /= r->pulses;
}

unsigned long long RelayUnderruns(const std::string& log) {
  unsigned long long total = 0;
  for (size_t at = log.find("ppm, "); at != std::string::npos; at = log.find("ppm, ", at + 1)) {
    unsigned long long n = 0;
    if (std::sscanf(log.c_str() + at, "ppm, %llu underruns", &n) == 1) total += n;
  }
  return total;
}

// The capture ring's target in the relay's last statistics line, in ms.
double RingTargetMs(const std::string& log) {
  const size_t at = log.rfind("(target ");
  unsigned long frames = 0;
  if (at == std::string::npos || std::sscanf(log.c_str() + at, "(target %lu)", &frames) != 1)
    return 0.0;
  return 1000.0 * double(frames) / kRate;
}

// The relay with its statistics, read as they come: unread, they would fill
// the pipe within minutes and hold the relay's thread.
class StatsRelay {
 public:
  bool Start(const Settings& s, std::string* error) {
    std::string line;
    if (!child_.Start({RelayPath(), "--port", "0", "--pipewire", std::string("Sink=") + kSink,
                       "--block", std::to_string(s.block), "--jack-reserve",
                       std::to_string(s.reserveMs), "--stats"}) ||
        !child_.ReadLine(&line, 5000) ||
        std::sscanf(line.c_str(), "skylane-relay listening on 127.0.0.1:%d", &port_) != 1) {
      *error = "the relay did not start";
      return false;
    }
    return true;
  }
  void Drain() {
    std::string line;
    while (child_.ReadLine(&line, 1)) {
    }
  }
  void Stop() { child_.Stop(SIGTERM, 5000); }
  int port() const { return port_; }
  const std::string& output() const { return child_.output(); }

 private:
  ChildProcess child_;
  int port_ = 0;
};

bool Measure(const Settings& s, Result* r, std::string* error) {
  r->settings = s;
  r->seconds = MeasureSeconds();
  if (!ForcePipeWireQuantum(s.quantum)) {
    *error = "pw-metadata cannot set the quantum";
    return false;
  }
  ImpulsePlayer player;
  if (!player.Start(kSink, s.quantum)) {
    *error = "the impulse player cannot start";
    return false;
  }
  StatsRelay relay;
  if (!relay.Start(s, error)) return false;
  SetPluginEnv(relay.port(), kTickMs);
  PluginRack rack(kRate, s.hostBlock);
  if (rack.Add(PluginPath(), error) < 0) return false;
  const double blocksPerSecond = kRate / s.hostBlock;
  const auto process = [&] {
    rack.ProcessBlock();
    if (rack.blocks() % 64 == 0) relay.Drain();
  };
  while (rack.Silent(0) && rack.blocks() < long(kStartLimitSeconds * blocksPerSecond)) process();
  if (rack.Silent(0)) {
    *error = "the plug-in played nothing";
    return false;
  }
  const long settled = rack.blocks() + long(kSettleSeconds * blocksPerSecond);
  while (rack.blocks() < settled) process();
  std::vector<double> out;
  std::vector<float> peaks;
  const long end = rack.blocks() + long(r->seconds * blocksPerSecond);
  while (rack.blocks() < end) {
    process();
    r->silentBlocks += rack.Silent(0) ? 1 : 0;
    ScanPulses(rack.Left(0), rack.blockTime(), &out, &peaks);
  }
  player.Stop();
  Match(out, player.Impulses(), r);
  relay.Stop();
  r->relayUnderruns = RelayUnderruns(relay.output());
  r->targetMs = RingTargetMs(relay.output());
  return true;
}

std::vector<Result> g_results;

void BM_DeviceToTrack(benchmark::State& state) {
  if (!relay_test::PipeWireInstalled()) {
    state.SkipWithError("pipewire, wireplumber, pw-cli, pw-cat or dbus-daemon is not installed");
    return;
  }
  for (auto _ : state) {
    relay_test::PrivatePipeWire pw;
    if (!pw.Start() || !pw.AddSink(kSink)) {
      state.SkipWithError("the private PipeWire does not start");
      return;
    }
    const char* only = std::getenv("SKYLANE_DEVICE_BENCH_RUN");
    for (const Settings& s : kRuns) {
      if (only && std::atoi(only) != int(&s - kRuns) + 1) continue;
      Result r;
      std::string error;
      if (!Measure(s, &r, &error)) {
        state.SkipWithError(error.c_str());
        return;
      }
      g_results.push_back(r);
      if (s.quantum == kGoalQuantum && std::string(s.name) == "low" && s.hostBlock == s.quantum) {
        state.counters["q256_low_ms"] = r.maxMs;
        state.counters["q256_low_vs_goal"] = r.maxMs / kGoalMs;
      }
    }
  }
}
BENCHMARK(BM_DeviceToTrack)->Iterations(1)->Unit(benchmark::kSecond);

void PrintSummary() {
  if (g_results.empty()) return;
  std::printf("\nDevice to track at 48000 Hz, %.0f s a run after %.0f s:\n", g_results[0].seconds,
              kSettleSeconds);
  std::printf("%8s %8s %6s %8s %6s %7s %7s %8s %8s %7s %11s %s\n", "quantum", "settings", "block",
              "reserve", "host", "ring", "pulses", "mean ms", "max ms", "ratio", "underruns",
              "goal met");
  for (const Result& r : g_results) {
    // The goal is for a host whose block is the quantum.
    const bool goal = r.settings.quantum == kGoalQuantum && std::string(r.settings.name) == "low" &&
                      r.settings.hostBlock == r.settings.quantum;
    const long underruns = r.silentBlocks + long(r.relayUnderruns);
    std::printf(
        "%8d %8s %6d %6d ms %6d %7.1f %7d %8.1f %8.1f %7.2f %5ld+%-5llu %s\n", r.settings.quantum,
        r.settings.name, r.settings.block, r.settings.reserveMs, r.settings.hostBlock, r.targetMs,
        r.pulses, r.meanMs, r.maxMs, r.maxMs / kGoalMs, r.silentBlocks, r.relayUnderruns,
        !goal ? "-" : (r.pulses > 0 && r.maxMs <= kGoalMs && underruns == 0 ? "yes" : "NO"));
  }
  std::printf(
      "(host: the host's block; ring: the relay's capture ring target in ms; ratio: max to the "
      "%.0f ms goal; underruns: silent plug-in blocks + relay's)\n",
      kGoalMs);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
