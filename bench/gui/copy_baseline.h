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
