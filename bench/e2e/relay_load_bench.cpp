// Relay load: 32 Skylane instances stream the relay's tone at once in real
// time. Measures the relay's processor time as a share of one core, with the
// idle relay (no client) measured first in the same run as the baseline, and
// counts the blocks each instance played silent once streaming (a tone block
// is never all zeros, so each is an underflow: the stream lost its pace).
// Goal: at most 4 % of a core, no underflow at any client.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/e2e/bench_env.h"
#include "tests/e2e/plugin_rack.h"
#include "tests/e2e/relay_process.h"

namespace {

constexpr int kClients = 32;
constexpr int kBlock = 512;
constexpr double kRate = 44100.0;
constexpr int kTickMs = 100;
constexpr double kIdleSeconds = 2.0;
constexpr double kSettleSeconds = 1.0;
constexpr double kMeasureSeconds = 6.0;
constexpr double kStartLimitSeconds = 10.0;
constexpr double kGoalShare = 0.04;

struct Load {
  double idleShare = 0.0;
  double busyShare = 0.0;
  int streaming = 0;  // instances that produced audio
  long underflows = 0;
  int clientsWithUnderflows = 0;
};

double CpuShare(pid_t pid, double seconds, double cpuBefore) {
  return (ProcessCpuSeconds(pid) - cpuBefore) / seconds;
}

// Processes blocks for seconds; counts silent blocks per instance when counting.
void Run(PluginRack* rack, double seconds, std::vector<long>* silent) {
  const long end = rack->blocks() + long(seconds * kRate / kBlock);
  while (rack->blocks() < end) {
    rack->ProcessBlock();
    if (silent)
      for (int i = 0; i < rack->size(); ++i) (*silent)[size_t(i)] += rack->Silent(i) ? 1 : 0;
  }
}

bool Measure(Load* load, std::string* error) {
  RelayProcess relay;
  if (!relay.Start(RelayPath(), {"--tone", "Tone"}, 0, error)) return false;
  double cpu = ProcessCpuSeconds(relay.pid());
  double wall = MonotonicSeconds();
  SleepUntil(wall + kIdleSeconds);
  load->idleShare = CpuShare(relay.pid(), MonotonicSeconds() - wall, cpu);

  SetPluginEnv(relay.port(), kTickMs);
  PluginRack rack(kRate, kBlock);
  for (int i = 0; i < kClients; ++i)
    if (rack.Add(PluginPath(), error) < 0) return false;
  std::vector<bool> started(kClients, false);
  while (load->streaming < kClients && rack.blocks() < long(kStartLimitSeconds * kRate / kBlock)) {
    rack.ProcessBlock();
    for (int i = 0; i < kClients; ++i)
      if (!started[size_t(i)] && !rack.Silent(i)) {
        started[size_t(i)] = true;
        ++load->streaming;
      }
  }
  Run(&rack, kSettleSeconds, nullptr);
  std::vector<long> silent(kClients, 0);
  cpu = ProcessCpuSeconds(relay.pid());
  wall = MonotonicSeconds();
  Run(&rack, kMeasureSeconds, &silent);
  load->busyShare = CpuShare(relay.pid(), MonotonicSeconds() - wall, cpu);
  for (long s : silent) {
    load->underflows += s;
    load->clientsWithUnderflows += s > 0 ? 1 : 0;
  }
  relay.Stop();
  return true;
}

Load g_load;
bool g_measured = false;

void BM_RelayLoad32Clients(benchmark::State& state) {
  for (auto _ : state) {
    std::string error;
    if (!Measure(&g_load, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    g_measured = true;
  }
  state.counters["idle_cpu_pct"] = 100.0 * g_load.idleShare;
  state.counters["cpu_pct"] = 100.0 * g_load.busyShare;
  state.counters["cpu_vs_goal"] = g_load.busyShare / kGoalShare;
  state.counters["streaming"] = g_load.streaming;
  state.counters["underflows"] = double(g_load.underflows);
}
BENCHMARK(BM_RelayLoad32Clients)->Iterations(1)->Unit(benchmark::kSecond);

void PrintSummary() {
  if (!g_measured) return;
  const Load& l = g_load;
  std::printf("\nRelay load with %d clients streaming in real time (%.0f s measured):\n", kClients,
              kMeasureSeconds);
  std::printf("  relay CPU idle (baseline): %.2f %% of one core\n", 100.0 * l.idleShare);
  std::printf("  relay CPU with %d clients: %.2f %% of one core, %.3f %% per client above idle\n",
              kClients, 100.0 * l.busyShare, 100.0 * (l.busyShare - l.idleShare) / kClients);
  std::printf("  ratio to the 4 %% goal: %.2f - goal %s\n", l.busyShare / kGoalShare,
              l.busyShare <= kGoalShare ? "met" : "NOT met");
  std::printf("  clients streaming: %d of %d; underflows: %ld in %d clients - pace %s\n",
              l.streaming, kClients, l.underflows, l.clientsWithUnderflows,
              l.streaming == kClients && l.underflows == 0 ? "kept" : "NOT kept");
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  PrintSummary();
  return 0;
}
