// Shape and text throughput, each as a ratio to a baseline timed in the same
// loop: anti-aliased lines and filled circles against a plain fill of the
// same pixel count, cached-font text against cairo's show_text.
#include <benchmark/benchmark.h>
#include <cairo.h>

#include <chrono>

#include "gdi/gdi.h"
#include "raster/raster.h"
#include "raster/shapes/shapes.h"
#include "raster/text/text.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double timed(F&& f) {
  const auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Runs work and baseline alternately; reports work's time, the ratio and,
// for a goal above 0, whether the ratio is at most the goal.
template <class W, class B>
void compare(benchmark::State& state, W&& work, B&& baseline, double goal = 0) {
  double tw = 0, tb = 0;
  for (auto _ : state) {
    const double w = timed(work);
    tb += timed(baseline);
    tw += w;
    state.SetIterationTime(w);
  }
  state.counters["ratio_vs_baseline"] = tb > 0 ? tw / tb : 0;
  if (goal > 0) {
    state.counters["goal"] = goal;
    state.counters["met"] = tb > 0 && tw / tb <= goal ? 1 : 0;
  }
}

const PX_pixel kColour = PX_PackRGBA(200, 120, 40, 255);

void BM_AALineVsFill(benchmark::State& state) {
  PX_MemBitmap bm(512, 512, 4);
  PX_Clear(&bm, 0);
  // 64 lines of about 500 pixels, two pixels blended per step: 64 x 1000 pixels.
  compare(
      state,
      [&] {
        for (int i = 0; i < 64; ++i)
          PX_Line(&bm, 5, 3 + i, 505, 200 + 4 * i, kColour, 0.8f, 0, true);
        benchmark::ClobberMemory();
      },
      [&] {
        PX_FillRect(&bm, 0, 0, 500, 128, kColour, 0.8f, 0);
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_AALineVsFill)->UseManualTime();

void BM_FillCircleVsFill(benchmark::State& state) {
  PX_MemBitmap bm(512, 512, 4);
  PX_Clear(&bm, 0);
  // A disc of radius 200 covers about the pixels of a 354 x 354 square.
  compare(
      state,
      [&] {
        PX_FillCircle(&bm, 256, 256, 200, kColour, 0.8f, 0, true);
        benchmark::ClobberMemory();
      },
      [&] {
        PX_FillRect(&bm, 0, 0, 354, 354, kColour, 0.8f, 0);
        benchmark::ClobberMemory();
      });
}
BENCHMARK(BM_FillCircleVsFill)->UseManualTime();

// A 30-character label at 14 pixels, glyphs cached before timing, against
// cairo's show_text of the same string and size at the same opacity.
void DrawTextVsCairo(benchmark::State& state, float alpha, unsigned flags) {
  const char* label = "Latency Control: 512 samples!";
  PX_MemBitmap bm(400, 40, 4);
  PX_Clear(&bm, 0);
  PX_CachedFont font;
  font.SetFromHFont(CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "sans-serif"),
                    PX_FONT_FLAG_OWNS_HFONT);
  font.SetTextColor(kColour);
  font.SetCombineMode(PX_COMBINE_COPY, alpha);
  RECT r{0, 0, 400, 40};
  font.DrawText(&bm, label, -1, &r, flags);
  cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 400, 40);
  cairo_t* cr = cairo_create(surf);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, 14);
  cairo_set_source_rgba(cr, 0.8, 0.5, 0.2, alpha);
  compare(
      state,
      [&] {
        RECT rr{0, 0, 400, 40};
        font.DrawText(&bm, label, -1, &rr, flags);
        benchmark::ClobberMemory();
      },
      [&] {
        cairo_move_to(cr, 0, 14);
        cairo_show_text(cr, label);
        cairo_surface_flush(surf);
      },
      1 / 3.0);  // at least three times cairo's speed
  cairo_destroy(cr);
  cairo_surface_destroy(surf);
}

void BM_DrawTextVsCairo(benchmark::State& state) { DrawTextVsCairo(state, 1.0f, 0); }
BENCHMARK(BM_DrawTextVsCairo)->UseManualTime();

// Partial opacity (no fully covered shortcut) and a centred label, which is
// measured before it is drawn; cairo still draws at a fixed origin.
void BM_DrawTextCentredHalfVsCairo(benchmark::State& state) {
  DrawTextVsCairo(state, 0.5f, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}
BENCHMARK(BM_DrawTextCentredHalfVsCairo)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
