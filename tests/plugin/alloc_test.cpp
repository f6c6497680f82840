// The audio callback must never allocate: this binary counts the heap
// allocations made while blocks are processed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "tests/base/alloc_counter.h"
#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

namespace {

TEST(AllocationTest, CounterSeesAllocations) {
  EXPECT_GT(AllocationsDuring([] {
              std::vector<int> grown;
              for (int i = 0; i < 100; ++i) grown.push_back(i);
              volatile int last = grown.back();
              (void)last;
            }),
            0);
}

// Through the host's entry points and the plug-in's own method, with no block
// size announced (the default is 1024 frames) and blocks of up to 8192 frames,
// the first one among them: the callback never allocates.
TEST(AllocationTest, CallbackAllocatesNothingWhileStreamingWithTheEffectsLoop) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 5);
  auto plug = OpenSkylane();
  const int fd = relay.Accept();
  ASSERT_GE(fd, 0);
  ASSERT_FALSE(ReadRequest(fd, nullptr).empty());
  ASSERT_TRUE(WaitFor([&] { return plug->Status().linkOpen == 1; }));
  SetParam(*plug, kParamEffectsLoop, 1);
  ASSERT_TRUE(SendAudio(fd, 4096, 0.5f));
  AEffect* effect = plug->GetAEffect();
  constexpr int kMost = 8192;
  std::vector<float> floatIn(kMost, 0.25f), floatOut0(kMost), floatOut1(kMost);
  float* floatIns[2] = {floatIn.data(), floatIn.data()};
  float* floatOuts[2] = {floatOut0.data(), floatOut1.data()};
  Block block(kMost);
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    plug->SetSampleRate(rate);
    for (int frames : {kMost, 1, 64, 512, 1500, 4096}) {
      EXPECT_EQ(AllocationsDuring([&] {
                  effect->processReplacing(effect, floatIns, floatOuts, frames);
                  effect->processDoubleReplacing(effect, block.inputs, block.outputs, frames);
                  block.Process(*plug, frames);
                }),
                0)
          << rate << " " << frames;
    }
  }
  plug.reset();
  close(fd);
}

}  // namespace
