// Latency from the relay to the plug-in's output: the relay's impulse device
// sends one full-scale sample a second; a probe client notes when each left
// the relay, four Skylane instances (Latency Control 1 to 4) play it, and the
// time from the relay to the output sample is taken once the FIFO has settled
// (its trimming runs on every 200th block, so after block 400). The goal for
// each setting is its FIFO target plus two blocks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/e2e/bench_env.h"
#include "bench/e2e/impulse_probe.h"
#include "tests/e2e/plugin_rack.h"
#include "tests/e2e/relay_process.h"

namespace {

constexpr int kBlock = 512;
constexpr int kSettings = 4;
constexpr int kParamLatency = 1;
constexpr long kSettledBlock = 400;
constexpr double kMeasureSeconds = 3.6;
constexpr int kTickMs = 100;

// FIFO target of a Latency Control setting plus two blocks, in milliseconds.
double GoalMs(int setting, double rate) {
  const double targetFrames = (12.0 * setting - 4.0) * 256.0 / 2.0;
  return (targetFrames + 2.0 * kBlock) / rate * 1000.0;
}

// Output pulses of one instance: the loudest frame of each, in monotonic seconds.
class PulseFinder {
 public:
  void Scan(const std::vector<float>& left, double blockTime, double rate) {
    for (size_t i = 0; i < left.size(); ++i) {
      const double level = std::fabs(left[i]);
      if (level < 0.2) continue;
      const double t = blockTime + double(i) / rate;
      if (times_.empty() || t - times_.back() > 0.5) {
        times_.push_back(t);
        peaks_.push_back(level);
      } else if (t - times_.back() < 0.01 && level > peaks_.back()) {
        times_.back() = t;
        peaks_.back() = level;
      }
    }
  }
  const std::vector<double>& times() const { return times_; }

 private:
  std::vector<double> times_;
  std::vector<double> peaks_;
};

struct Latency {
  int setting = 0;
  double rate = 0.0;
  double meanMs = 0.0;
  double maxMs = 0.0;
  int pulses = 0;
};

Latency Match(int setting, double rate, const std::vector<double>& out,
              const std::vector<double>& sent) {
  Latency l;
  l.setting = setting;
  l.rate = rate;
  for (double t : out) {
    auto after = std::upper_bound(sent.begin(), sent.end(), t);
    if (after == sent.begin() || t - *(after - 1) > 0.5) continue;
    const double ms = (t - *(after - 1)) * 1000.0;
    l.meanMs += ms;
    l.maxMs = std::max(l.maxMs, ms);
    ++l.pulses;
  }
  if (l.pulses > 0) l.meanMs /= l.pulses;
  return l;
}

bool Measure(double rate, std::vector<Latency>* results, std::string* error) {
  RelayProcess relay;
  if (!relay.Start(RelayPath(), {"--impulse", "Impulse"}, 0, error)) return false;
  ImpulseProbe probe;
  if (!probe.Start(relay.port())) {
    *error = "the probe cannot connect";
    return false;
  }
  SetPluginEnv(relay.port(), kTickMs);
  PluginRack rack(rate, kBlock);
  std::vector<PulseFinder> finders(kSettings);
  for (int s = 1; s <= kSettings; ++s) {
    const int i = rack.Add(PluginPath(), error);
    if (i < 0) return false;
    rack.SetParameter(i, kParamLatency, NormalizedInt(s, 1, kSettings));
  }
  const long end = kSettledBlock + long(kMeasureSeconds * rate / kBlock);
  while (rack.blocks() < end) {
    rack.ProcessBlock();
    if (rack.blocks() <= kSettledBlock) continue;
    for (int i = 0; i < kSettings; ++i)
      finders[size_t(i)].Scan(rack.Left(i), rack.blockTime(), rate);
  }
  probe.Stop();
  const std::vector<double> sent = probe.Impulses();
  for (int i = 0; i < kSettings; ++i)
    results->push_back(Match(i + 1, rate, finders[size_t(i)].times(), sent));
  relay.Stop();
  return true;
}

std::vector<Latency> g_results;

void BM_RelayToOutputLatency(benchmark::State& state) {
  const double rate = double(state.range(0));
  for (auto _ : state) {
    std::vector<Latency> results;
    std::string error;
    if (!Measure(rate, &results, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    for (const Latency& l : results) {
      const std::string key = "L" + std::to_string(l.setting);
      state.counters[key + "_ms"] = l.maxMs;
      state.counters[key + "_vs_goal"] = l.maxMs / GoalMs(l.setting, rate);
      g_results.push_back(l);
    }
  }
}
BENCHMARK(BM_RelayToOutputLatency)->Arg(44100)->Arg(48000)->Iterations(1)->Unit(benchmark::kSecond);

void PrintSummary() {
  std::printf("\nRelay-to-output latency, 512-frame blocks, after the FIFO settled:\n");
  std::printf("%8s %8s %7s %9s %9s %9s %7s %s\n", "rate", "setting", "pulses", "mean ms", "max ms",
              "goal ms", "ratio", "goal met");
  for (const Latency& l : g_results) {
    const double goal = GoalMs(l.setting, l.rate);
    std::printf("%8.0f %8d %7d %9.1f %9.1f %9.1f %7.2f %s\n", l.rate, l.setting, l.pulses, l.meanMs,
                l.maxMs, goal, l.maxMs / goal, l.pulses > 0 && l.maxMs <= goal ? "yes" : "NO");
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
