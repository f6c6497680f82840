// Cost of the float process path (attach, convert, render, convert back) for a
// stereo block, as a ratio to a plain float-to-double-to-float copy of the same data.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "plug/plug_base.h"

namespace {

class PassPlug : public PlugBase {
 public:
  PassPlug()
      : PlugBase(1, "2-2", 1, "bench", "bench", "bench", 0x10000, 1, 1, 0, false, false, false,
                 kAPIVST2) {
    SetInputChannelConnections(0, 2, true);
    SetOutputChannelConnections(0, 2, true);
  }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int, double) override {}
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 0.0; }
  void GetTimeSig(int*, int*) override {}
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }
};

using Clock = std::chrono::steady_clock;

void BaselineCopy(float** in, float** out, double* scratch, int n) {
  for (int ch = 0; ch < 2; ++ch) {
    for (int s = 0; s < n; ++s) scratch[s] = in[ch][s];
    for (int s = 0; s < n; ++s) out[ch][s] = (float)scratch[s];
  }
  benchmark::ClobberMemory();
}

void BM_FloatProcessPath(benchmark::State& state) {
  const int n = (int)state.range(0);
  PassPlug plug;
  plug.SetBlockSize(n);
  std::vector<float> in0(n, 0.5f), in1(n, -0.5f), out0(n), out1(n);
  std::vector<double> scratch(n);
  float* ins[] = {in0.data(), in1.data()};
  float* outs[] = {out0.data(), out1.data()};
  double baseline = 0.0, framework = 0.0;
  for (auto _ : state) {
    Clock::time_point t0 = Clock::now();
    BaselineCopy(ins, outs, scratch.data(), n);
    Clock::time_point t1 = Clock::now();
    plug.AttachInputBuffers(0, 2, ins, n);
    plug.AttachOutputBuffers(0, 2, outs);
    plug.ProcessBuffers(0.0f, n);
    benchmark::ClobberMemory();
    Clock::time_point t2 = Clock::now();
    baseline += std::chrono::duration<double>(t1 - t0).count();
    framework += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["ratio_to_plain_copy"] = baseline > 0.0 ? framework / baseline : 0.0;
}

BENCHMARK(BM_FloatProcessPath)->Arg(64)->Arg(512)->Arg(4096);

}  // namespace

BENCHMARK_MAIN();
