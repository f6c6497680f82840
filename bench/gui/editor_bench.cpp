// The editor's repaint costs, each timed beside one plain copy of a 500 x 332
// bitmap in the same iteration. The counter "ratio" is the editor's time over
// the copy's. Goals: full repaint <= 5, IsDirty with nothing dirty < 0.01,
// repaint after one text line changed < 0.5. Times are the thread's
// processor time, so other busy processes skew neither side.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "gui/controls/bitmaps.h"
#include "gui/controls/text.h"
#include "gui/headless/graphics_headless.h"
#include "bench/gui/copy_baseline.h"
#include "tests/plug/test_plug.h"

namespace {

constexpr int kW = kEditorW, kH = kEditorH;
constexpr int kLines = 14;

// An editor like the product's: background image, four two-frame bitmap
// controls and fourteen lines of text.
struct Editor {
  TestPlug plug{4};
  GraphicsHeadless* gui = new GraphicsHeadless(&plug, kW, kH);
  ITextControl* lines[kLines];

  Editor() {
    gui->AttachBackground(1, "background.png");
    IBitmap button = gui->LoadIBitmap(2, "button_x2.png", 2);
    for (int i = 0; i < 4; ++i)
      gui->AttachControl(new IBitmapControl(&plug, 20, 60 + 24 * i, i, &button));
    IText style(12, &COLOR_WHITE, "Liberation Sans", IText::kStyleNormal, IText::kAlignNear);
    char text[64];
    for (int i = 0; i < kLines; ++i) {
      snprintf(text, sizeof(text), "Line %d: Connected: Desk - Input %d", i, i % 4 + 1);
      lines[i] = new ITextControl(&plug, IRECT(80, 20 + 20 * i, 480, 36 + 20 * i), &style, text);
      gui->AttachControl(lines[i]);
    }
    plug.AttachGraphics(gui);
    Repaint();
  }
  void Repaint() {
    IRECT r;
    if (gui->IsDirty(&r)) gui->Draw(&r);
  }
};

void BM_FullRepaintVsCopy(benchmark::State& state) {
  Editor e;
  Pair(
      state, [&] { e.gui->SetAllControlsDirty(); }, [&] { e.Repaint(); });
}

// One round asks kAsks times, so that the clock's own cost does not count;
// the figure is per ask.
void BM_IsDirtyWithNothingDirtyVsCopy(benchmark::State& state) {
  constexpr int kAsks = 1000;
  Editor e;
  Pair(
      state, [] {},
      [&] {
        for (int i = 0; i < kAsks; ++i) {
          IRECT r;
          benchmark::DoNotOptimize(e.gui->IsDirty(&r));
        }
      },
      kAsks);
}

void BM_OneTextLineRepaintVsCopy(benchmark::State& state) {
  Editor e;
  const char* texts[2] = {"Connected: Desk - Input 1", "Connected: Studio - Input 2"};
  int flip = 0;
  Pair(
      state, [&] { e.lines[7]->SetTextFromPlug(texts[flip ^= 1]); }, [&] { e.Repaint(); });
}

BENCHMARK(BM_FullRepaintVsCopy);
BENCHMARK(BM_IsDirtyWithNothingDirtyVsCopy);
BENCHMARK(BM_OneTextLineRepaintVsCopy);

}  // namespace

BENCHMARK_MAIN();
