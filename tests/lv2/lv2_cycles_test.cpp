// Loading and unloading the module 100 times in one process leaves nothing
// behind: no thread, no descriptor, and the module itself unmapped.
#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "tests/lv2/lv2_test_host.h"
#include "tests/plugin/scripted_relay.h"

namespace {

int Threads() {
  int n = 0;
  DIR* dir = opendir("/proc/self/task");
  while (dir && readdir(dir)) ++n;
  if (dir) closedir(dir);
  return n;
}

bool ModuleMapped() {
  std::ifstream maps("/proc/self/maps");
  std::string line;
  while (std::getline(maps, line)) {
    if (line.find(SKYLANE_LV2_BUNDLE "/Skylane.so") != std::string::npos) return true;
  }
  return false;
}

TEST(CyclesTest, AHundredLoadsAndUnloadsLeaveNothingBehind) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 1);
  LV2TestHost host;
  ASSERT_TRUE(host.Instantiate(48000.0));  // the system libraries it pulls in stay
  host.Free();
  ASSERT_FALSE(ModuleMapped());
  const int threads = Threads(), descriptors = OpenDescriptors();
  for (int cycle = 0; cycle < 100; ++cycle) {
    ASSERT_TRUE(host.Instantiate(cycle % 2 ? 44100.0 : 48000.0)) << cycle;
    EXPECT_TRUE(ModuleMapped());
    host.Control("effects_loop") = (float)(cycle % 2);
    host.Run(64);
    host.Free();
    ASSERT_FALSE(ModuleMapped()) << cycle;
    ASSERT_EQ(Threads(), threads) << cycle;
    ASSERT_EQ(OpenDescriptors(), descriptors) << cycle;
  }
}

}  // namespace
