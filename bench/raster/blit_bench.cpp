// Blits and fills on the editor's 500 x 332 bitmap, each timed beside a peer
// doing the same work in the same iteration (memcpy or pixman). The counter
// "ratio" is our time over the peer's: below 1 is faster than the peer. Where
// the ratio has a goal, "goal" is that ratio and "met" 1 when it was reached.
// Times are the thread's processor time, so other busy processes on the
// machine skew neither side.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <time.h>

#include <cstring>
#include <random>

#include "raster/raster.h"
#include "raster/blit/blit.h"

namespace {

constexpr int kW = 500, kH = 332;

void FillNoise(PX_IBitmap* bm, unsigned seed) {
  std::mt19937 rng(seed);
  PX_pixel* p = bm->getBits();
  for (int y = 0; y < bm->getHeight(); ++y)
    for (int x = 0; x < bm->getWidth(); ++x) {
      PX_pixel v = (PX_pixel)rng();
      if (x % 7 == 0) v &= 0xFFFFFF00u;  // some transparent pixels
      if (x % 5 == 0) v |= 0xFFu;        // and some opaque ones
      p[(size_t)y * bm->getRowSpan() + x] = v;
    }
}

pixman_image_t* Wrap(PX_IBitmap* bm) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, bm->getWidth(), bm->getHeight(),
                                  (uint32_t*)bm->getBits(), bm->getRowSpan() * 4);
}

double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// Times ours() and peer() alternately; reports both, their ratio and, for a
// goal above 0, whether the ratio is at most the goal.
template <class A, class B>
void Pair(benchmark::State& state, A ours, B peer, double goal = 0) {
  double tOurs = 0, tPeer = 0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    ours();
    const double t1 = ThreadSeconds();
    peer();
    const double t2 = ThreadSeconds();
    tOurs += t1 - t0;
    tPeer += t2 - t1;
  }
  const double n = (double)state.iterations();
  state.counters["ours_us"] = tOurs / n * 1e6;
  state.counters["peer_us"] = tPeer / n * 1e6;
  state.counters["ratio"] = tOurs / tPeer;
  if (goal > 0) {
    state.counters["goal"] = goal;
    state.counters["met"] = tOurs / tPeer <= goal ? 1 : 0;
  }
}

struct Scene {
  PX_MemBitmap dest{kW, kH, 4}, src{kW, kH, 4}, peerDest{kW, kH, 4};
  Scene() {
    FillNoise(&dest, 1);
    FillNoise(&src, 2);
    FillNoise(&peerDest, 1);
  }
};

void BM_BlitCopyVsMemcpy(benchmark::State& state) {
  Scene s;
  Pair(
      state, [&] { PX_Blit(&s.dest, &s.src, 0, 0, nullptr, 1.0f, 0); },
      [&] {
        for (int y = 0; y < kH; ++y)
          memcpy(s.peerDest.getBits() + (size_t)y * s.peerDest.getRowSpan(),
                 s.src.getBits() + (size_t)y * s.src.getRowSpan(), kW * 4);
        benchmark::ClobberMemory();
      });
}

void SourceAlphaVsOver(benchmark::State& state, float alpha) {
  Scene s;
  pixman_image_t *ps = Wrap(&s.src), *pd = Wrap(&s.peerDest);
  pixman_color_t c = {0, 0, 0, (uint16_t)(alpha * 65535)};
  pixman_image_t* mask = alpha < 1.0f ? pixman_image_create_solid_fill(&c) : nullptr;
  Pair(
      state, [&] { PX_Blit(&s.dest, &s.src, 0, 0, nullptr, alpha, PX_USE_SOURCE_ALPHA); },
      [&] { pixman_image_composite32(PIXMAN_OP_OVER, ps, mask, pd, 0, 0, 0, 0, 0, 0, kW, kH); },
      0.5);
  if (mask) pixman_image_unref(mask);
  pixman_image_unref(ps);
  pixman_image_unref(pd);
}
void BM_SourceAlphaFullVsPixmanOver(benchmark::State& state) { SourceAlphaVsOver(state, 1.0f); }
void BM_SourceAlphaHalfVsPixmanOver(benchmark::State& state) { SourceAlphaVsOver(state, 0.5f); }

void ScaledVsPixman(benchmark::State& state, int sw, int sh) {
  Scene s;
  PX_MemBitmap src(sw, sh, 4);
  FillNoise(&src, 3);
  pixman_image_t *ps = Wrap(&src), *pd = Wrap(&s.peerDest);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed((double)sw / kW),
                              pixman_double_to_fixed((double)sh / kH));
  pixman_image_set_transform(ps, &t);
  pixman_image_set_filter(ps, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  Pair(
      state,
      [&] {
        PX_ScaledBlit(&s.dest, &src, 0, 0, kW, kH, 0, 0, (float)sw, (float)sh, 1.0f,
                      PX_FILTER_BILINEAR);
      },
      [&] { pixman_image_composite32(PIXMAN_OP_SRC, ps, nullptr, pd, 0, 0, 0, 0, 0, 0, kW, kH); },
      0.5);
  pixman_image_unref(ps);
  pixman_image_unref(pd);
}
void BM_BilinearUpVsPixman(benchmark::State& state) { ScaledVsPixman(state, 128, 128); }
void BM_BilinearDownByTwoVsPixman(benchmark::State& state) {
  ScaledVsPixman(state, 2 * kW, 2 * kH);
}

void BM_FillRectVsPixmanFill(benchmark::State& state) {
  Scene s;
  Pair(
      state, [&] { PX_FillRect(&s.dest, 0, 0, kW, kH, 0x80402010, 1.0f, 0); },
      [&] {
        pixman_fill((uint32_t*)s.peerDest.getBits(), s.peerDest.getRowSpan(), 32, 0, 0, kW, kH,
                    0x80402010);
      },
      0.9);
}

}  // namespace

BENCHMARK(BM_BlitCopyVsMemcpy);
BENCHMARK(BM_SourceAlphaFullVsPixmanOver);
BENCHMARK(BM_SourceAlphaHalfVsPixmanOver);
BENCHMARK(BM_BilinearUpVsPixman);
BENCHMARK(BM_BilinearDownByTwoVsPixman);
BENCHMARK(BM_FillRectVsPixmanFill);
BENCHMARK_MAIN();
