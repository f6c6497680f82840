// Unloading a module tears down its bitmap and font caches; an editor that
// still exists afterwards must not touch them (and nothing may crash).
#include <dlfcn.h>
#include <gtest/gtest.h>

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

}  // namespace
