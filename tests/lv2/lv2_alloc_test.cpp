// run() must never allocate: this binary counts the heap allocations made
// while blocks are processed, streaming with the effects loop on, with
// control changes handed to the worker in the same blocks.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/base/alloc_counter.h"
#include "tests/lv2/direct_instance.h"
#include "tests/plugin/scripted_relay.h"

namespace {

TEST(AllocationTest, RunAllocatesNothingWhileStreamingWithTheEffectsLoop) {
  for (int announced : {0, 512}) {
    ScriptedRelay relay;
    UseTestRelay(relay.Port(), 5);
    DirectInstance instance(48000.0, announced);
    const int fd = relay.Accept();
    ASSERT_GE(fd, 0);
    ASSERT_FALSE(ReadRequest(fd, nullptr).empty());
    ASSERT_TRUE(WaitFor([&] { return instance.Plug()->Status().linkOpen == 1; }));
    instance.controls[3] = 1.0f;
    instance.Run(1);
    instance.RunWorker();
    ASSERT_EQ(instance.Plug()->Status().effectsLoop, 1);
    ASSERT_TRUE(SendAudio(fd, 4096, 0.5f));
    int block = 0;
    for (int frames : {8192, 0, 1, 64, 512, 1500, 4096}) {
      EXPECT_EQ(AllocationsDuring([&] {
                  instance.controls[0] = (float)(++block % 4);
                  instance.Run(frames);
                }),
                0)
          << announced << " " << frames;
      instance.RunWorker();
    }
    EXPECT_GT(instance.Requests(), 5);
    close(fd);
  }
}

}  // namespace
