// Unloading a module tears down its bitmap and font caches; an editor that
// still exists afterwards must not touch them (and nothing may crash).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "tests/gui/unload_report.h"

namespace {

using BuildFn = int (*)(UnloadReport*);

TEST(UnloadTest, EditorOutlivingTheCachesDrawsNothingFromThem) {
  for (int load = 0; load < 2; ++load) {
    void* module = dlopen(UNLOAD_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, module) << dlerror();
    BuildFn build = reinterpret_cast<BuildFn>(dlsym(module, "unload_module_build"));
    ASSERT_NE(nullptr, build);
    UnloadReport report;
    EXPECT_GT(build(&report), 100);  // image and text drawn while the caches live
    ASSERT_EQ(0, dlclose(module));
    ASSERT_TRUE(report.destroyed) << "the module did not unload";
    EXPECT_TRUE(report.lateLoadIsNull);
    EXPECT_FALSE(report.lateTextDrawn);
    EXPECT_EQ(0, report.lateInk);
  }
}

// Resident size of this process in bytes, from /proc/self/statm.
long ResidentBytes() {
  long pages = 0, resident = 0;
  FILE* f = fopen("/proc/self/statm", "r");
  if (!f) return -1;
  const int n = fscanf(f, "%ld %ld", &pages, &resident);
  fclose(f);
  return n == 2 ? resident * sysconf(_SC_PAGESIZE) : -1;
}

bool LoadBuildUnload() {
  void* module = dlopen(UNLOAD_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  if (!module) return false;
  BuildFn build = reinterpret_cast<BuildFn>(dlsym(module, "unload_module_build"));
  UnloadReport report;
  const bool drawn = build && build(&report) > 100;
  return dlclose(module) == 0 && drawn && report.destroyed;
}

// The module's fonts (its own fontconfig configuration and FreeType handle)
// go with it: loading, drawing text and unloading again and again does not
// make the process grow.
TEST(UnloadTest, RepeatedLoadsDoNotGrowTheProcess) {
#ifdef SKYLANE_SANITIZED
  GTEST_SKIP() << "the sanitizer's allocator keeps freed memory resident";
#endif
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(LoadBuildUnload());
  const int kCycles = 20;
  const long before = ResidentBytes();
  ASSERT_GT(before, 0);
  for (int i = 0; i < kCycles; ++i) ASSERT_TRUE(LoadBuildUnload());
  const long perCycle = (ResidentBytes() - before) / kCycles;
  RecordProperty("resident_bytes_per_cycle", static_cast<int>(perCycle));
  printf("resident size per cycle: %ld bytes\n", perCycle);
  EXPECT_LT(perCycle, 32 * 1024);
}

}  // namespace
