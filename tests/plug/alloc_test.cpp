// The process path must not allocate once the block size is set. This binary
// counts heap allocations by interposing malloc and its relatives.

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "tests/plug/test_plug.h"

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

TEST(AllocationTest, CounterSeesAllocations) {
  int counted;
  {
    CountAllocations count;
    SkyTypedBuf<double> buf(4096);
    buf.Resize(100);
    counted = gAllocations;
  }
  EXPECT_GT(counted, 0);
}

TEST(AllocationTest, ProcessPathAllocatesNothingOnceSized) {
  const int n = 256;
  TestPlug plug(4, "1-1 2-2", 1, 8);
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.SetBlockSize(n);
  plug.CreateDelayLine();
  std::vector<float> fin(n, 0.5f), fout0(n), fout1(n);
  std::vector<double> din(n, 0.25), dout0(n), dout1(n);
  float* fins[] = {fin.data(), fin.data()};
  float* fouts[] = {fout0.data(), fout1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout0.data(), dout1.data()};

  CountAllocations count;
  for (int block = 0; block < 4; ++block) {
    plug.AttachInputBuffers(0, 2, fins, n);
    plug.AttachOutputBuffers(0, 2, fouts);
    plug.ProcessBuffers(0.0f, n);
    plug.ProcessBuffersAccumulating(0.0f, n);
    plug.PassThroughBuffers(0.0f, n);
    plug.AttachInputBuffers(0, 2, dins, n);
    plug.AttachOutputBuffers(0, 2, douts);
    plug.ProcessBuffers(0.0, n / 2);
    plug.PassThroughBuffers(0.0, n);
  }
  EXPECT_EQ(0, gAllocations);
  EXPECT_EQ(0.25, dout1[n - 1]);
}

// A block longer than the scratch buffers is rendered as silence, without
// resizing them on the audio thread.
TEST(AllocationTest, BlockLongerThanTheScratchIsSilenceWithoutAllocating) {
  const int small = 16, n = 4096;
  TestPlug plug(1, "2-2");
  plug.SetInputChannelConnections(0, 2, true);
  plug.SetOutputChannelConnections(0, 2, true);
  plug.SetBlockSize(small);
  std::vector<float> fin(n, 0.5f), fout0(n, 3.0f), fout1(n, 3.0f);
  std::vector<double> din(n, 0.25), dout(n, 3.0);
  float* fins[] = {fin.data(), fin.data()};
  float* fouts[] = {fout0.data(), fout1.data()};
  double* dins[] = {din.data(), din.data()};
  double* douts[] = {dout.data(), dout.data()};
  float accumulated;
  {
    CountAllocations count;
    plug.AttachInputBuffers(0, 2, fins, n);
    plug.AttachOutputBuffers(0, 2, fouts);
    plug.ProcessBuffersAccumulating(0.0f, n);
    accumulated = fout0[n - 1];
    plug.ProcessBuffers(0.0f, n);
    plug.AttachInputBuffers(0, 2, dins, n);
    plug.AttachOutputBuffers(0, 2, douts);
    plug.ProcessBuffers(0.0, n);
    EXPECT_EQ(0, gAllocations);
  }
  EXPECT_EQ(3.0f, accumulated);
  EXPECT_EQ(small, plug.GetBlockSize());
  EXPECT_EQ(std::vector<float>(n, 0.0f), fout0);
  EXPECT_EQ(std::vector<float>(n, 0.0f), fout1);
  EXPECT_EQ(std::vector<double>(n, 0.0), dout);
}

}  // namespace
