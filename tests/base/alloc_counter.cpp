#include "tests/base/alloc_counter.h"

#include <cstddef>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {
thread_local bool tCounting = false;
thread_local int tAllocations = 0;
}  // namespace

extern "C" void* malloc(size_t n) {
  if (tCounting) ++tAllocations;
  return __libc_malloc(n);
}

extern "C" void* calloc(size_t count, size_t n) {
  if (tCounting) ++tAllocations;
  return __libc_calloc(count, n);
}

extern "C" void* realloc(void* p, size_t n) {
  if (tCounting) ++tAllocations;
  return __libc_realloc(p, n);
}

int AllocationsDuring(const std::function<void()>& fn) {
  tAllocations = 0;
  tCounting = true;
  fn();
  tCounting = false;
  return tAllocations;
}
