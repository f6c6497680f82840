// One 512-frame stereo block through VSTProcessReplacing of a pass-through
// plug-in (float in, double inside, float out), against copying the same
// samples. Prints the cost as a ratio to the copy.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "vst2/plug_vst.h"

namespace {

const int kFrames = 512;

class PassThroughPlug : public PlugVST {
 public:
  PassThroughPlug()
      : PlugVST({nullptr}, 0, "2-2", 1, "Pass", "", "", 0x10000, 0x50617373, 0, 0, false, false,
                false) {}
};

struct Block {
  std::vector<float> inL, inR, outL, outR;
  float* ins[2];
  float* outs[2];
  Block() : inL(kFrames), inR(kFrames), outL(kFrames), outR(kFrames) {
    for (int i = 0; i < kFrames; ++i) inL[i] = inR[i] = (float)(i % 97) / 97.0f;
    ins[0] = inL.data(), ins[1] = inR.data();
    outs[0] = outL.data(), outs[1] = outR.data();
  }
};

void BM_CopyBlock(benchmark::State& state) {
  Block b;
  for (auto _ : state) {
    memcpy(b.outs[0], b.ins[0], kFrames * sizeof(float));
    memcpy(b.outs[1], b.ins[1], kFrames * sizeof(float));
    benchmark::DoNotOptimize(b.outs[0]);
    benchmark::DoNotOptimize(b.outs[1]);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_CopyBlock);

void BM_ProcessReplacing(benchmark::State& state) {
  PassThroughPlug plug;
  AEffect* e = plug.GetAEffect();
  e->dispatcher(e, effSetBlockSize, 0, kFrames, nullptr, 0.0f);
  Block b;
  for (auto _ : state) {
    e->processReplacing(e, b.ins, b.outs, kFrames);
    benchmark::DoNotOptimize(b.outs[0]);
    benchmark::ClobberMemory();
  }
  if (b.outL[100] != b.inL[100]) state.SkipWithError("the plug-in did not pass its input through");
}
BENCHMARK(BM_ProcessReplacing);

// Remembers each benchmark's time per iteration for the closing ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.iterations > 0) times[run.benchmark_name()] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  double copy = reporter.times["BM_CopyBlock"], process = reporter.times["BM_ProcessReplacing"];
  if (copy > 0.0 && process > 0.0)
    printf("VSTProcessReplacing, 512 stereo frames: %.1f x the cost of copying them\n",
           process / copy);
  return 0;
}
