// Line and circle drawing on plain and flipped bitmaps, each timed beside a
// peer blending about the same number of pixels in the same iteration. The
// peer is a plain weighted copy written in this file, so it stays the same
// whatever the library's own fills do. The counter "ratio" is the shape's time
// over the peer's, so the figure does not depend on how fast the machine is;
// times are the thread's processor time.
#include <benchmark/benchmark.h>

#include <time.h>

#include "raster/raster.h"
#include "raster/shapes/shapes.h"

namespace {

constexpr int kSize = 512;
const PX_pixel kColour = PX_PackRGBA(200, 120, 40, 255);

// A heap bitmap that stores its first image row last.
class FlippedBitmap : public PX_MemBitmap {
 public:
  FlippedBitmap(int w, int h) : PX_MemBitmap(w, h, 4) {}
  bool isFlipped() override { return true; }
};

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// The peer: the colour copied at weight 204/256 over the first rows rows,
// channel by channel. Aligned so that its loop sits at the same offset within
// a cache line in every build (branch placement alone can move it by 10 %).
__attribute__((aligned(64), noinline)) void PeerBlend(PX_IBitmap* bm, int rows) {
  const int c[4] = {(int)PX_GETA(kColour), (int)PX_GETR(kColour), (int)PX_GETG(kColour),
                    (int)PX_GETB(kColour)};
  for (int y = 0; y < rows; ++y) {
    PX_pixel_chan* p = (PX_pixel_chan*)(bm->getBits() + (size_t)y * bm->getRowSpan());
    for (int i = 0; i < kSize * 4; ++i)
      p[i] = (PX_pixel_chan)(c[i & 3] + (p[i] - c[i & 3]) * 52 / 256);
  }
}

// Draws with shape(bm) and blends fillRows full rows with the peer,
// alternately; state.range(0) selects the flipped bitmap.
template <class S>
void VsFill(benchmark::State& state, int fillRows, S&& shape) {
  PX_MemBitmap plain(kSize, kSize, 4);
  FlippedBitmap flipped(kSize, kSize);
  PX_IBitmap* bm = state.range(0) ? (PX_IBitmap*)&flipped : &plain;
  PX_Clear(bm, 0);
  double tShape = 0, tFill = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    shape(bm);
    benchmark::ClobberMemory();
    const double t1 = ThreadSeconds();
    PeerBlend(bm, fillRows);
    benchmark::ClobberMemory();
    const double t2 = ThreadSeconds();
    tShape += t1 - t0;
    tFill += t2 - t1;
  }
  state.counters["ratio"] = tFill > 0 ? tShape / tFill : 0;
}

// 64 shallow lines of 500 steps: 32000 pixels plain, 64000 anti-aliased.
void BM_LineVsFill(benchmark::State& state) {
  VsFill(state, 62, [](PX_IBitmap* bm) {
    for (int i = 0; i < 64; ++i) PX_Line(bm, 5, 3 + i, 505, 200 + 4 * i, kColour, 0.8f, 0, false);
  });
}
void BM_AALineVsFill(benchmark::State& state) {
  VsFill(state, 125, [](PX_IBitmap* bm) {
    for (int i = 0; i < 64; ++i) PX_Line(bm, 5, 3 + i, 505, 200 + 4 * i, kColour, 0.8f, 0, true);
  });
}
// Steep lines partly outside the bitmap, so that clipping runs too.
void BM_ClippedLineVsFill(benchmark::State& state) {
  VsFill(state, 62, [](PX_IBitmap* bm) {
    for (int i = 0; i < 64; ++i)
      PX_Line(bm, 7 * i - 40, -30, 7 * i + 60, 560, kColour, 0.8f, PX_COMBINE_ADD, false);
  });
}
// 64 diagonals of 400 pixels, the anti-aliased pattern blending three per step.
void BM_DiagonalLineVsFill(benchmark::State& state) {
  VsFill(state, 150, [](PX_IBitmap* bm) {
    for (int i = 0; i < 64; ++i) PX_Line(bm, i, 10, i + 400, 410, kColour, 0.8f, 0, true);
  });
}
void BM_AAFLineVsFill(benchmark::State& state) {
  VsFill(state, 125, [](PX_IBitmap* bm) {
    for (int i = 0; i < 64; ++i)
      PX_FLine(bm, 5.25f, 3.5f + i, 505.75f, 200.3f + 4 * i, kColour, 0.8f, 0, true);
  });
}

// Outlines of radius 20 to 250: about 50000 pixels plain, twice that anti-aliased.
void BM_CircleVsFill(benchmark::State& state) {
  VsFill(state, 100, [](PX_IBitmap* bm) {
    for (int r = 20; r < 250; r += 7)
      PX_Circle(bm, 256.3f, 255.6f, (float)r, kColour, 0.8f, 0, false);
  });
}
void BM_AACircleVsFill(benchmark::State& state) {
  VsFill(state, 200, [](PX_IBitmap* bm) {
    for (int r = 20; r < 250; r += 7)
      PX_Circle(bm, 256.3f, 255.6f, r + 0.4f, kColour, 0.8f, 0, true);
  });
}
// A disc of radius 200 covers about the pixels of 245 rows.
void BM_FillCircleVsFill(benchmark::State& state) {
  VsFill(state, 245,
         [](PX_IBitmap* bm) { PX_FillCircle(bm, 256.3f, 255.6f, 200, kColour, 0.8f, 0, false); });
}
void BM_AAFillCircleVsFill(benchmark::State& state) {
  VsFill(state, 245,
         [](PX_IBitmap* bm) { PX_FillCircle(bm, 256.3f, 255.6f, 200.4f, kColour, 0.8f, 0, true); });
}
// Many small circles: set-up cost, the coverage maps and the midpoint path.
void BM_SmallCirclesVsFill(benchmark::State& state) {
  VsFill(state, 40, [](PX_IBitmap* bm) {
    for (int i = 0; i < 400; ++i)
      PX_Circle(bm, 10.0f + i, 10.0f + i, 1.5f + (float)(i % 8) * 0.5f, kColour, 0.8f, 0,
                i % 3 == 0);
  });
}

}  // namespace

BENCHMARK(BM_LineVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_AALineVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_ClippedLineVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_DiagonalLineVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_AAFLineVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_CircleVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_AACircleVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_FillCircleVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_AAFillCircleVsFill)->Arg(0)->Arg(1);
BENCHMARK(BM_SmallCirclesVsFill)->Arg(0)->Arg(1);
BENCHMARK_MAIN();
