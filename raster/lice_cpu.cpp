// Processor feature detection for the raster kernels.
#include <atomic>

#include "raster/lice_cpu_p.h"

namespace {

LiceSimd detect() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("avx2")) return kLiceAvx2;
#endif
#if defined(__SSE2__)
  return kLiceSse2;
#else
  return kLiceScalar;
#endif
}

std::atomic<int> g_limit{kLiceAvx2};

}  // namespace

LiceSimd lice_simd() {
  static const LiceSimd detected = detect();
  const int limit = g_limit.load(std::memory_order_relaxed);
  return detected < limit ? detected : (LiceSimd)limit;
}

void lice_limit_simd(LiceSimd level) { g_limit.store(level, std::memory_order_relaxed); }
