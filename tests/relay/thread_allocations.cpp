#include "tests/relay/thread_allocations.h"

#include <dirent.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {

std::atomic<pid_t> gWatched{-1};
std::atomic<int> gAllocations{0};
thread_local pid_t tSelf = 0;

void Count() {
  if (gWatched.load(std::memory_order_relaxed) < 0) return;
  if (!tSelf) tSelf = gettid();
  if (tSelf == gWatched.load(std::memory_order_relaxed))
    gAllocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

extern "C" void* malloc(size_t n) {
  Count();
  return __libc_malloc(n);
}

extern "C" void* calloc(size_t count, size_t n) {
  Count();
  return __libc_calloc(count, n);
}

extern "C" void* realloc(void* p, size_t n) {
  Count();
  return __libc_realloc(p, n);
}

std::vector<std::pair<pid_t, std::string>> ThreadsOfThisProcess() {
  std::vector<std::pair<pid_t, std::string>> threads;
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return threads;
  while (dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    const std::string path = std::string("/proc/self/task/") + entry->d_name + "/comm";
    char name[64] = {};
    if (FILE* f = std::fopen(path.c_str(), "r")) {
      if (!std::fgets(name, sizeof name, f)) name[0] = 0;
      std::fclose(f);
    }
    name[std::strcspn(name, "\n")] = 0;
    threads.emplace_back(static_cast<pid_t>(std::atoi(entry->d_name)), name);
  }
  closedir(tasks);
  return threads;
}

int AllocationsOnThreadDuring(pid_t tid, const std::function<void()>& fn) {
  gAllocations.store(0);
  gWatched.store(tid);
  fn();
  gWatched.store(-1);
  return gAllocations.load();
}
