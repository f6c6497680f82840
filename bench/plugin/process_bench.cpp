// Cost of one 512-frame audio callback as a fraction of the block's real-time
// duration: at 44100 Hz without resampling, and at 48000 Hz with the effects
// loop sending over a connected socket to a relay that reads everything.
#include <benchmark/benchmark.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "plugin/skylane.h"
#include "tests/plugin/scripted_relay.h"

namespace {

constexpr int kFrames = 512;

// The relay side of the effects loop: reads and discards whatever arrives.
class DrainingRelay {
 public:
  DrainingRelay() { UseTestRelay(mRelay.Port(), 5); }
  ~DrainingRelay() {
    if (mFd >= 0) shutdown(mFd, SHUT_RDWR);
    if (mReader.joinable()) mReader.join();
    if (mFd >= 0) close(mFd);
  }
  bool AcceptPlugin() {
    mFd = mRelay.Accept();
    if (mFd < 0 || ReadRequest(mFd, nullptr).empty()) return false;
    mReader = std::thread([this] {
      char scratch[65536];
      while (recv(mFd, scratch, sizeof scratch, 0) > 0) received += sizeof scratch;
    });
    return true;
  }
  std::atomic<long> received{0};

 private:
  ScriptedRelay mRelay;
  int mFd = -1;
  std::thread mReader;
};

double threadCpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

void runBlocks(benchmark::State& state, Skylane& plug, double rate) {
  std::vector<double> in(kFrames, 0.25), outLeft(kFrames), outRight(kFrames);
  double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  std::vector<float> feed(2 * kFrames, 0.5f);
  PlayQueue& queue = plug.Queue();
  queue.Acknowledge(queue.Requests());
  long blocks = 0;
  const double cpuStart = threadCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  for (auto _ : state) {
    queue.Insert(feed.data(), 2 * kFrames);  // what the receive thread delivers per block
    plug.ProcessDoubleReplacing(inputs, outputs, kFrames);
    benchmark::DoNotOptimize(outLeft.data());
    ++blocks;
  }
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double realTime = blocks * kFrames / rate;
  state.counters["percent_of_real_time"] = 100.0 * elapsed / realTime;
  state.counters["cpu_percent_of_real_time"] = 100.0 * (threadCpuSeconds() - cpuStart) / realTime;
}

void BM_Process44100(benchmark::State& state) {
  DrainingRelay relay;  // nobody is accepted: the link stays down
  Skylane plug(PlugInstanceInfo{nullptr});
  plug.OnParamReset();
  runBlocks(state, plug, 44100.0);
}

void BM_Process48000EffectsLoop(benchmark::State& state) {
  DrainingRelay relay;
  auto plug = std::make_unique<Skylane>(PlugInstanceInfo{nullptr});
  plug->OnParamReset();
  plug->SetSampleRate(48000.0);
  if (!relay.AcceptPlugin() || !WaitFor([&] { return plug->Status().linkOpen == 1; })) {
    state.SkipWithError("no connection");
    return;
  }
  plug->GetParam(kParamEffectsLoop)->Set(1);
  plug->OnParamChange(kParamEffectsLoop);
  runBlocks(state, *plug, 48000.0);
  state.counters["dropped_packets"] = plug->Status().droppedPackets;
  plug.reset();
}

BENCHMARK(BM_Process44100)->MinTime(0.5);
BENCHMARK(BM_Process48000EffectsLoop)->MinTime(0.5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  std::printf(
      "goal: each block below 0.1 %% of its real-time duration (percent_of_real_time < 0.1)\n");
  benchmark::Shutdown();
  return 0;
}
