// Measuring and drawing a label with the GDI text path against filling its box,
// the cheapest thing a label draw could cost.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "gdi/gdi.h"

namespace {

double g_fill = 0, g_measure = 0, g_draw = 0;

struct Label {
  HDC dc = GDI_CreateMemContext(nullptr, 200, 24);
  HFONT font = CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HBRUSH brush = CreateSolidBrush(0x808080);
  Label() { SelectObject(dc, font); }
  ~Label() {
    GDI_DeleteGfxContext(dc);
    DeleteObject(font);
    DeleteObject(brush);
  }
};

const char* kText = "Connected: Device - Channel 1";

void BM_FillBox(benchmark::State& state) {
  Label l;
  RECT r{0, 0, 200, 24};
  for (auto _ : state) GDI_FillRect(l.dc, &r, l.brush);
}

void BM_MeasureText(benchmark::State& state) {
  Label l;
  for (auto _ : state) {
    RECT r{0, 0, 0, 0};
    benchmark::DoNotOptimize(DrawText(l.dc, kText, -1, &r, DT_CALCRECT));
  }
}

void BM_DrawText(benchmark::State& state) {
  Label l;
  for (auto _ : state) {
    RECT r{0, 0, 200, 24};
    benchmark::DoNotOptimize(DrawText(l.dc, kText, -1, &r, 0));
  }
}

BENCHMARK(BM_FillBox);
BENCHMARK(BM_MeasureText);
BENCHMARK(BM_DrawText);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      const std::string& n = r.run_name.function_name;
      if (n == "BM_FillBox") g_fill = r.GetAdjustedRealTime();
      if (n == "BM_MeasureText") g_measure = r.GetAdjustedRealTime();
      if (n == "BM_DrawText") g_draw = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (g_fill > 0)
    printf("label cost relative to filling its 200x24 box: measure %.2fx, draw %.2fx\n",
           g_measure / g_fill, g_draw / g_fill);
  benchmark::Shutdown();
  return 0;
}
