// The editor's repaint costs, each timed beside one plain copy of a 500 x 332
// bitmap in the same iteration. The counter "ratio" is the editor's time over
// the copy's. Goals: full repaint <= 5, IsDirty with nothing dirty < 0.01,
// repaint after one text line changed < 0.5. The full repaint at scale 2 is
// timed beside the same editor's at scale 1 instead: goal <= 4, once with
// images that have 2x versions and once with images that are enlarged. Times
// are the thread's processor time, so other busy processes skew neither side.
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
// controls and fourteen lines of text. With hiRes its images have 2x versions.
struct Editor {
  TestPlug plug{4};
  GraphicsHeadless* gui = new GraphicsHeadless(&plug, kW, kH);
  ITextControl* lines[kLines];

  explicit Editor(int scale = 1, bool hiRes = false) {
    gui->SetDrawScale(scale);
    if (hiRes) {
      gui->AttachBackground(3, "Skylaneplug.png");
    } else {
      gui->AttachBackground(1, "background.png");
    }
    IBitmap button = hiRes ? gui->LoadIBitmap(4, "IRadioButtonsControl_x2.png", 2)
                           : gui->LoadIBitmap(2, "button_x2.png", 2);
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

// Full repaints at scale 2 and at scale 1 alternately; "ratio" is 2x over 1x.
void BM_FullRepaint2xVs1x(benchmark::State& state) {
  const bool hiRes = state.range(0) != 0;
  Editor one(1, hiRes), two(2, hiRes);
  double t1 = 0, t2 = 0;
  for (auto _ : state) {
    one.gui->SetAllControlsDirty();
    two.gui->SetAllControlsDirty();
    const double t0 = ThreadSeconds();
    one.Repaint();
    const double tMid = ThreadSeconds();
    two.Repaint();
    const double tEnd = ThreadSeconds();
    t1 += tMid - t0;
    t2 += tEnd - tMid;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["1x_us"] = t1 / n * 1e6;
  state.counters["2x_us"] = t2 / n * 1e6;
  state.counters["ratio"] = t2 / t1;
}

BENCHMARK(BM_FullRepaintVsCopy);
BENCHMARK(BM_FullRepaint2xVs1x)->ArgName("images_2x")->Arg(1)->Arg(0);
BENCHMARK(BM_IsDirtyWithNothingDirtyVsCopy);
BENCHMARK(BM_OneTextLineRepaintVsCopy);

}  // namespace

BENCHMARK_MAIN();
