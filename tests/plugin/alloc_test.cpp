// The audio callback must never allocate: this binary counts heap allocations
// by interposing malloc and its relatives while blocks are processed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <vector>

#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

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

namespace {

// Counts the allocations of the calling thread during fn.
template <class Fn>
int allocationsDuring(Fn fn) {
  tAllocations = 0;
  tCounting = true;
  fn();
  tCounting = false;
  return tAllocations;
}

TEST(AllocationTest, CounterSeesAllocations) {
  EXPECT_GT(allocationsDuring([] {
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
      EXPECT_EQ(allocationsDuring([&] {
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
