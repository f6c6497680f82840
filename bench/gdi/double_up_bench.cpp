// Pixel doubling of an editor-sized image against a plain scalar loop.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "gdi/gdi.h"

namespace {

const int kW = 500, kH = 332, kDestSpan = (2 * kW + 3) & ~3;

void PlainDoubleUp(int* dest, const int* src, int w, int h, int srcspan, int destspan) {
  for (int y = 0; y < h; ++y) {
    int* d0 = dest + 2 * y * destspan;
    int* d1 = d0 + destspan;
    for (int x = 0; x < w; ++x)
      d0[2 * x] = d0[2 * x + 1] = d1[2 * x] = d1[2 * x + 1] = src[y * srcspan + x];
  }
}

struct Images {
  std::vector<int> src = std::vector<int>(kW * kH);
  int* dest;
  Images() {
    for (int i = 0; i < kW * kH; ++i) src[i] = i * 2654435761u;
    dest = static_cast<int*>(aligned_alloc(32, sizeof(int) * kDestSpan * 2 * kH));
  }
  ~Images() { free(dest); }
};

double g_plain = 0, g_fast = 0;

void BM_PlainDoubleUp(benchmark::State& state) {
  Images im;
  for (auto _ : state) {
    PlainDoubleUp(im.dest, im.src.data(), kW, kH, kW, kDestSpan);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_FastDoubleUp(benchmark::State& state) {
  Images im;
  for (auto _ : state) {
    GDI_fastDoubleUpImage(im.dest, im.src.data(), kW, kH, kW, kDestSpan);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

BENCHMARK(BM_PlainDoubleUp);
BENCHMARK(BM_FastDoubleUp);

// Reports each run's time per image, then the fast path's speed-up over the plain loop.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_name.function_name == "BM_PlainDoubleUp") g_plain = r.GetAdjustedRealTime();
      if (r.run_name.function_name == "BM_FastDoubleUp") g_fast = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (g_plain > 0 && g_fast > 0)
    printf("fastDoubleUp speed-up over plain loop (500x332): %.2fx\n", g_plain / g_fast);
  benchmark::Shutdown();
  return 0;
}
