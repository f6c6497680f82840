#include "plugin/sample_fifo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

namespace {

constexpr int kCapacity = 4096;
constexpr int kTotal = 400000;

int fillOf(const SampleFifo& f) {
  const int w = f.writeIndex.load(std::memory_order_acquire);
  const int r = f.readIndex.load(std::memory_order_acquire);
  return w >= r ? w - r : w + kCapacity - r;
}

// Inserts the numbers 1..kTotal in blocks of varying size, never lapping the reader.
void writeNumbers(SampleFifo* f) {
  std::vector<float> block(700);
  int next = 1;
  for (int size = 1; next <= kTotal; size = size % 699 + 1) {
    const int count = std::min(size, kTotal - next + 1);
    while (fillOf(*f) + count > kCapacity - 1) std::this_thread::yield();
    for (int i = 0; i < count; ++i) block[i] = static_cast<float>(next + i);
    cbf_insert(f, count, block.data());
    next += count;
  }
}

TEST(SampleFifoThreads, EverySampleArrivesOnceAndInOrder) {
  SampleFifo f;
  ASSERT_EQ(cbf_init(&f, kCapacity), 0);
  std::thread writer(writeNumbers, &f);
  std::vector<float> block(256);
  int expected = 1;
  int mismatches = 0;
  while (expected <= kTotal) {
    const int count = std::min<int>(static_cast<int>(block.size()), kTotal - expected + 1);
    const int underflowsBefore = f.underflows.load();
    cbf_extract(&f, count, 0, block.data());
    if (f.underflows.load() != underflowsBefore) {
      std::this_thread::yield();
      continue;
    }
    for (int i = 0; i < count; ++i) mismatches += block[i] != static_cast<float>(expected + i);
    expected += count;
  }
  writer.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(fillOf(f), 0);
  EXPECT_EQ(f.trims, 0);
  cbf_release(&f);
}

}  // namespace
