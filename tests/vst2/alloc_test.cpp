// The process entries must not allocate. This binary interposes malloc and its
// relatives for the whole process, the dlopen'ed example included; operator new
// allocates through malloc, so it is counted too.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/vst2/test_host.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);

namespace {
bool gCounting = false;
int gAllocations = 0;
}  // namespace

extern "C" void* malloc(size_t n) {
  if (gCounting) ++gAllocations;
  return __libc_malloc(n);
}

extern "C" void* calloc(size_t count, size_t n) {
  if (gCounting) ++gAllocations;
  return __libc_calloc(count, n);
}

extern "C" void* realloc(void* p, size_t n) {
  if (gCounting) ++gAllocations;
  return __libc_realloc(p, n);
}

namespace {

struct CountAllocations {
  CountAllocations() { gAllocations = 0, gCounting = true; }
  ~CountAllocations() { gCounting = false; }
};

TEST(AllocTest, CounterSeesThePlugInsAllocations) {
  TestHostReset();
  LoadedPlugin plug;
  ASSERT_NE(plug.effect(), nullptr);
  int counted;
  {
    CountAllocations count;
    void* data = nullptr;
    plug.Dispatch(effGetChunk, 0, 0, &data);  // grows the bank chunk from empty
    counted = gAllocations;
  }
  EXPECT_GT(counted, 0);
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

  int counted;
  {
    CountAllocations count;
    for (int block = 0; block < 20; ++block) {
      e->processReplacing(e, fIns, fOuts, 512 - block);
      e->processDoubleReplacing(e, dIns, dOuts, 512 - block);
      e->process(e, fIns, fOuts, 256);
      e->setParameter(e, 0, 0.25f * (block % 4));
      e->getParameter(e, 0);
    }
    counted = gAllocations;
  }
  EXPECT_EQ(counted, 0);
  EXPECT_GT(Host().Calls(audioMasterWantMidi), 0);
}

}  // namespace
