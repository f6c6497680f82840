// Processor feature detection for the raster kernels.
#include <atomic>

#include "raster/pixels/cpu_p.h"

namespace {

PxSimd detect() {
#if defined(__x86_64__) || defined(__i386__)
  if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl") &&
      __builtin_cpu_supports("avx512vnni"))
    return kPxAvx512;
  if (__builtin_cpu_supports("avx2")) return kPxAvx2;
#endif
#if defined(__SSE2__)
  return kPxSse2;
#else
  return kPxScalar;
#endif
}

std::atomic<int> g_limit{kPxAvx512};

}  // namespace

PxSimd px_simd() {
  static const PxSimd detected = detect();
  const int limit = g_limit.load(std::memory_order_relaxed);
  return detected < limit ? detected : (PxSimd)limit;
}

void px_limit_simd(PxSimd level) { g_limit.store(level, std::memory_order_relaxed); }
