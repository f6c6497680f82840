// What the editor benchmarks measure against: one plain copy of a 500 x 332
// 32-bit bitmap, timed in the thread's processor time so that other busy
// processes skew neither side.
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstring>

#include "raster/pixels/bitmap.h"

constexpr int kEditorW = 500, kEditorH = 332;

inline double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct BaselineCopy {
  PX_MemBitmap src{kEditorW, kEditorH, 4}, dest{kEditorW, kEditorH, 4};
  BaselineCopy() {
    memset(src.getBits(), 0x5A, static_cast<size_t>(src.getRowSpan()) * kEditorH * 4);
  }
  void operator()() {
    for (int y = 0; y < kEditorH; ++y) {
      memcpy(dest.getBits() + static_cast<size_t>(y) * dest.getRowSpan(),
             src.getBits() + static_cast<size_t>(y) * src.getRowSpan(), kEditorW * 4);
    }
    benchmark::ClobberMemory();
  }
};

// Times ours() and the copy alternately, after an untimed setup() each round;
// ours() stands for perRound operations.
template <class S, class A>
void Pair(benchmark::State& state, S setup, A ours, int perRound = 1) {
  BaselineCopy copy;
  double tOurs = 0, tCopy = 0;
  for (auto _ : state) {
    setup();
    const double t0 = ThreadSeconds();
    ours();
    const double t1 = ThreadSeconds();
    copy();
    const double t2 = ThreadSeconds();
    tOurs += t1 - t0;
    tCopy += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_us"] = tOurs / n / perRound * 1e6;
  state.counters["copy_us"] = tCopy / n * 1e6;
  state.counters["ratio"] = tOurs / perRound / tCopy;
}
