// The process path must not allocate once the block size is set.

#include <gtest/gtest.h>

#include <vector>

#include "tests/base/alloc_counter.h"
#include "tests/plug/test_plug.h"

namespace {

TEST(AllocationTest, CounterSeesAllocations) {
  EXPECT_GT(AllocationsDuring([] {
              SkyTypedBuf<double> buf(4096);
              buf.Resize(100);
            }),
            0);
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

  const int counted = AllocationsDuring([&] {
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
  });
  EXPECT_EQ(0, counted);
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
  const int counted = AllocationsDuring([&] {
    plug.AttachInputBuffers(0, 2, fins, n);
    plug.AttachOutputBuffers(0, 2, fouts);
    plug.ProcessBuffersAccumulating(0.0f, n);
    accumulated = fout0[n - 1];
    plug.ProcessBuffers(0.0f, n);
    plug.AttachInputBuffers(0, 2, dins, n);
    plug.AttachOutputBuffers(0, 2, douts);
    plug.ProcessBuffers(0.0, n);
  });
  EXPECT_EQ(0, counted);
  EXPECT_EQ(3.0f, accumulated);
  EXPECT_EQ(small, plug.GetBlockSize());
  EXPECT_EQ(std::vector<float>(n, 0.0f), fout0);
  EXPECT_EQ(std::vector<float>(n, 0.0f), fout1);
  EXPECT_EQ(std::vector<double>(n, 0.0), dout);
}

}  // namespace
