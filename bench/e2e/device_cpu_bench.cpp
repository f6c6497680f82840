// The relay's processor time with one PipeWire device and one client: a
// private PipeWire null sink at 48000 Hz, quantum 1024, fed a steady tone by
// pw-cat, captured by the relay's --pipewire device and played by Skylane in
// this process. The baseline, in the same run, is the relay with its built-in
// tone device and the same client. Goal: at most 1 % of one core.
// SKYLANE_DEVICE_CPU_SECONDS sets the measured time of each run (default 60).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/e2e/bench_env.h"
#include "tests/e2e/plugin_rack.h"
#include "tests/e2e/relay_process.h"
#include "tests/relay/pipewire_server.h"

namespace {

constexpr double kRate = 48000;
constexpr int kQuantum = 1024;
constexpr double kStartLimitSeconds = 10.0;
constexpr double kSettleSeconds = 5.0;
constexpr int kTickMs = 100;
constexpr double kGoalPercent = 1.0;
constexpr const char* kSink = "skylane-cpu-sink";

double MeasureSeconds() {
  const char* text = std::getenv("SKYLANE_DEVICE_CPU_SECONDS");
  const double s = text ? std::atof(text) : 0.0;
  return s > 0.0 ? s : 60.0;
}

// The relay with these sources and one Skylane client in real time: the
// relay's processor time over the measured stretch, in percent of one core.
bool RelayPercent(const std::vector<std::string>& sources, double* percent, std::string* error) {
  RelayProcess relay;
  if (!relay.Start(RelayPath(), sources, 0, error)) return false;
  SetPluginEnv(relay.port(), kTickMs);
  PluginRack rack(kRate, kQuantum);
  if (rack.Add(PluginPath(), error) < 0) return false;
  const double blocksPerSecond = kRate / kQuantum;
  while (rack.Silent(0) && rack.blocks() < long(kStartLimitSeconds * blocksPerSecond))
    rack.ProcessBlock();
  if (rack.Silent(0)) {
    *error = "the plug-in played nothing from " + sources[0];
    return false;
  }
  long end = rack.blocks() + long(kSettleSeconds * blocksPerSecond);
  while (rack.blocks() < end) rack.ProcessBlock();
  const double startCpu = ProcessCpuSeconds(relay.pid());
  const double start = MonotonicSeconds();
  end = rack.blocks() + long(MeasureSeconds() * blocksPerSecond);
  while (rack.blocks() < end) rack.ProcessBlock();
  const double cpu = ProcessCpuSeconds(relay.pid()) - startCpu;
  *percent = 100.0 * cpu / (MonotonicSeconds() - start);
  relay.Stop();
  return startCpu >= 0.0;
}

double g_pipewire = -1.0, g_tone = -1.0;

void BM_RelayDeviceCpu(benchmark::State& state) {
  if (!relay_test::PipeWireInstalled()) {
    state.SkipWithError("pipewire, wireplumber, pw-cli, pw-cat or dbus-daemon is not installed");
    return;
  }
  for (auto _ : state) {
    relay_test::PrivatePipeWire pw;
    if (!pw.Start() || !pw.AddSink(kSink) || !ForcePipeWireQuantum(kQuantum) ||
        !pw.Play(kSink, kQuantum)) {
      state.SkipWithError("the private PipeWire does not start");
      return;
    }
    std::string error;
    if (!RelayPercent({"--pipewire", std::string("Sink=") + kSink}, &g_pipewire, &error) ||
        !RelayPercent({"--tone", "Tone"}, &g_tone, &error)) {
      state.SkipWithError(error.c_str());
      return;
    }
    state.counters["pipewire_percent"] = g_pipewire;
    state.counters["tone_percent"] = g_tone;
  }
}
BENCHMARK(BM_RelayDeviceCpu)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (g_pipewire < 0.0 || g_tone <= 0.0) return 0;
  std::printf(
      "\nRelay CPU, one client, %.0f s each: PipeWire device (quantum %d) %.2f %% of a core, "
      "tone device %.2f %%; PipeWire / tone: %.2f; to the %.0f %% goal: %.2f (%s)\n",
      MeasureSeconds(), kQuantum, g_pipewire, g_tone, g_pipewire / g_tone, kGoalPercent,
      g_pipewire / kGoalPercent, g_pipewire <= kGoalPercent ? "met" : "NOT met");
  return 0;
}
