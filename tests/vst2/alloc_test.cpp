// The process entries must not allocate; the dlopen'ed example's allocations
// are counted too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/base/alloc_counter.h"
#include "tests/vst2/test_host.h"

namespace {

TEST(AllocTest, CounterSeesThePlugInsAllocations) {
  TestHostReset();
  LoadedPlugin plug;
  ASSERT_NE(plug.effect(), nullptr);
  void* data = nullptr;
  // Grows the bank chunk from empty.
  EXPECT_GT(AllocationsDuring([&] { plug.Dispatch(effGetChunk, 0, 0, &data); }), 0);
}

TEST(AllocTest, ProcessEntriesAllocateNothing) {
  TestHostReset();
  LoadedPlugin plug;
  AEffect* e = plug.effect();
  ASSERT_NE(e, nullptr);
  plug.Dispatch(effOpen);
  plug.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
  plug.Dispatch(effSetBlockSize, 0, 100);  // longer blocks are rendered in pieces
  plug.Dispatch(effMainsChanged, 0, 1);
  std::vector<float> fIn(512, 0.5f), fOut(512);
  std::vector<double> dIn(512, 0.5), dOut(512);
  float* fIns[2] = {fIn.data(), fIn.data()};
  float* fOuts[2] = {fOut.data(), fOut.data()};
  double* dIns[2] = {dIn.data(), dIn.data()};
  double* dOuts[2] = {dOut.data(), dOut.data()};

  const int counted = AllocationsDuring([&] {
    for (int block = 0; block < 20; ++block) {
      e->processReplacing(e, fIns, fOuts, 512 - block);
      e->processDoubleReplacing(e, dIns, dOuts, 512 - block);
      e->process(e, fIns, fOuts, 256);
      e->setParameter(e, 0, 0.25f * (block % 4));
      e->getParameter(e, 0);
    }
  });
  EXPECT_EQ(counted, 0);
  EXPECT_GT(Host().Calls(audioMasterWantMidi), 0);
}

}  // namespace
