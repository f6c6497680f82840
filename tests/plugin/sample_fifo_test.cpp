#include "plugin/sample_fifo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A FIFO with its storage, released at the end of the test.
struct Fifo {
  explicit Fifo(int capacity) { EXPECT_EQ(cbf_init(&f, capacity), 0); }
  ~Fifo() { cbf_release(&f); }
  SampleFifo f;
};

// Samples numbered from `first`, so every one can be traced.
std::vector<float> numbered(int count, int first) {
  std::vector<float> v(count);
  for (int i = 0; i < count; ++i) v[i] = static_cast<float>(first + i);
  return v;
}

void expectNumbered(const std::vector<float>& v, int first) {
  for (size_t i = 0; i < v.size(); ++i)
    ASSERT_EQ(v[i], static_cast<float>(first + static_cast<int>(i))) << "at " << i;
}

TEST(SampleFifo, InitSetsEveryField) {
  Fifo fifo(64);
  const SampleFifo& f = fifo.f;
  EXPECT_EQ(f.capacity, 64);
  ASSERT_NE(f.data, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(f.data[i], 0.0f);
  EXPECT_EQ(f.writeIndex, 0);
  EXPECT_EQ(f.readIndex, 0);
  EXPECT_EQ(f.underflows, 0);
  EXPECT_EQ(f.reservedA[0], 0);
  EXPECT_EQ(f.reservedA[1], 0);
  EXPECT_EQ(f.reservedA[2], -1);
  EXPECT_EQ(f.reservedA[3], 0);
  EXPECT_EQ(f.lastInsert, 0);
  EXPECT_EQ(f.minFill, 64);
  EXPECT_EQ(f.extractCalls, 0);
  EXPECT_EQ(f.trimPeriod, 200);
  EXPECT_EQ(f.target, 0);
  EXPECT_EQ(f.reservedB[0], 16);
  EXPECT_EQ(f.reservedB[1], 8);
  EXPECT_EQ(f.reservedB[2], 4);
  EXPECT_EQ(f.reservedB[3], 2);
}

TEST(SampleFifo, FreshExtractGivesZerosAndOneUnderflow) {
  Fifo fifo(64);
  fifo.f.target = 8;
  std::vector<float> out(16, 7.0f);
  cbf_extract(&fifo.f, 16, 0, out.data());
  EXPECT_EQ(out, std::vector<float>(16, 0.0f));
  EXPECT_EQ(fifo.f.underflows, 1);
  EXPECT_EQ(fifo.f.extractCalls, 1);
  EXPECT_EQ(fifo.f.lastFill, 0);
  EXPECT_EQ(fifo.f.trims, 0);
  EXPECT_EQ(fifo.f.minFill, 64);  // the check at call 0 opened a new window
  EXPECT_EQ(fifo.f.readIndex, 0);
}

TEST(SampleFifo, ExactFillSucceedsAndOneMoreIsSilence) {
  Fifo fifo(64);
  const auto in = numbered(40, 1);
  cbf_insert(&fifo.f, 40, in.data());
  EXPECT_EQ(fifo.f.lastInsert, 40);
  std::vector<float> out(40);
  cbf_extract(&fifo.f, 40, 0, out.data());
  expectNumbered(out, 1);
  EXPECT_EQ(fifo.f.readIndex, fifo.f.writeIndex);
  EXPECT_EQ(fifo.f.underflows, 0);

  cbf_insert(&fifo.f, 10, in.data());
  std::vector<float> more(11, 5.0f);
  cbf_extract(&fifo.f, 11, 0, more.data());
  EXPECT_EQ(more, std::vector<float>(11, 0.0f));
  EXPECT_EQ(fifo.f.underflows, 1);
  EXPECT_EQ(fifo.f.readIndex, 40);  // no partial read
  EXPECT_EQ(fifo.f.lastFill, 10);
}

TEST(SampleFifo, InsertAndExtractWrapAroundTheEnd) {
  Fifo fifo(16);
  std::vector<float> out(10);
  cbf_insert(&fifo.f, 10, numbered(10, 1).data());
  cbf_extract(&fifo.f, 10, 0, out.data());
  cbf_insert(&fifo.f, 10, numbered(10, 11).data());
  EXPECT_EQ(fifo.f.writeIndex, 4);  // 6 samples at the end, 4 at the start
  EXPECT_EQ(fifo.f.data[15], 16.0f);
  EXPECT_EQ(fifo.f.data[0], 17.0f);
  cbf_extract(&fifo.f, 10, 0, out.data());
  expectNumbered(out, 11);
  EXPECT_EQ(fifo.f.readIndex, 4);

  cbf_insert(&fifo.f, 12, numbered(12, 21).data());
  EXPECT_EQ(fifo.f.writeIndex, 0);  // ended exactly at the end
  std::vector<float> last(12);
  cbf_extract(&fifo.f, 12, 0, last.data());
  expectNumbered(last, 21);
  EXPECT_EQ(fifo.f.readIndex, 0);
}

TEST(SampleFifo, OversizedInsertChangesNothing) {
  Fifo fifo(16);
  cbf_insert(&fifo.f, 5, numbered(5, 1).data());
  const auto big = numbered(17, 100);
  cbf_insert(&fifo.f, 17, big.data());
  EXPECT_EQ(fifo.f.writeIndex, 5);
  EXPECT_EQ(fifo.f.lastInsert, 5);
  EXPECT_EQ(fifo.f.data[5], 0.0f);
}

TEST(SampleFifo, BadArgumentsAreRefusedWithoutEffect) {
  Fifo fifo(16);
  float sample = 1.0f;
  EXPECT_EQ(cbf_insert(&fifo.f, -1, &sample), -1);
  EXPECT_EQ(cbf_insert(&fifo.f, 3, nullptr), -1);
  EXPECT_EQ(cbf_extract(&fifo.f, -5, 0, &sample), -1);
  EXPECT_EQ(cbf_extract(nullptr, 1, 0, &sample), -1);
  EXPECT_EQ(fifo.f.writeIndex, 0);
  EXPECT_EQ(fifo.f.lastInsert, 0);
  EXPECT_EQ(fifo.f.extractCalls, 0);
  EXPECT_EQ(fifo.f.underflows, 0);
  EXPECT_EQ(cbf_insert(&fifo.f, 0, nullptr), 0);
  EXPECT_EQ(cbf_extract(&fifo.f, 0, 0, nullptr), 0);
  EXPECT_EQ(fifo.f.extractCalls, 1);
}

// Runs the extractions 1..200 with the fill at `level` each time; returns the
// samples the 200th extraction delivered. Samples are numbered from 1.
std::vector<float> holdLevelForOnePeriod(SampleFifo* f, int level, int count, int* next) {
  std::vector<float> out(count);
  cbf_extract(f, count, 0, out.data());  // call 0: empty, opens the window
  cbf_insert(f, level - count, numbered(level - count, *next).data());
  *next += level - count;
  for (int call = 1; call <= 200; ++call) {
    cbf_insert(f, count, numbered(count, *next).data());
    *next += count;
    cbf_extract(f, count, 0, out.data());
  }
  return out;
}

TEST(SampleFifo, TrimmingDropsTheExcessAboveTwiceTheRequest) {
  Fifo fifo(32768);
  fifo.f.target = 8;
  int next = 1;
  const auto out = holdLevelForOnePeriod(&fifo.f, 3000, 512, &next);
  EXPECT_EQ(fifo.f.trims, 1);
  EXPECT_EQ(fifo.f.lastFill, 3000);
  EXPECT_EQ(fifo.f.minFill, 32768);
  // Before the check the reader stood 3000 samples behind the writer; it
  // skipped 3000 - 1024 of them.
  const int readBefore = next - 3000;
  expectNumbered(out, readBefore + (3000 - 1024));
  EXPECT_EQ(fifo.f.underflows, 1);
}

TEST(SampleFifo, NoTrimmingAtOrBelowTheTargetOrWhenSwitchedOff) {
  for (int target : {0, 11}) {  // off; threshold 2816 >= the level
    Fifo fifo(32768);
    fifo.f.target = target;
    int next = 1;
    const auto out = holdLevelForOnePeriod(&fifo.f, 2816, 512, &next);
    EXPECT_EQ(fifo.f.trims, 0);
    expectNumbered(out, next - 2816);
  }
}

TEST(SampleFifo, TrimmingNeverMovesTheReaderBackwards) {
  // A level above the target but below twice the request: nothing to drop.
  Fifo fifo(32768);
  fifo.f.target = 8;
  int next = 1;
  const auto out = holdLevelForOnePeriod(&fifo.f, 6000, 4096, &next);
  EXPECT_EQ(fifo.f.trims, 0);
  EXPECT_EQ(fifo.f.minFill, 32768);
  expectNumbered(out, next - 6000);
}

TEST(SampleFifo, EmptyForgetsContentButKeepsCounters) {
  Fifo fifo(16);
  std::vector<float> out(4);
  cbf_extract(&fifo.f, 4, 0, out.data());
  cbf_insert(&fifo.f, 8, numbered(8, 1).data());
  cbf_empty(&fifo.f);
  EXPECT_EQ(fifo.f.writeIndex, 0);
  EXPECT_EQ(fifo.f.readIndex, 0);
  EXPECT_EQ(fifo.f.underflows, 1);
  EXPECT_EQ(fifo.f.data[0], 1.0f);
  cbf_clear(&fifo.f);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(fifo.f.data[i], 0.0f);
}

TEST(SampleFifo, ReleasedFifoGivesZerosWithoutTouchingCounters) {
  SampleFifo f;
  cbf_init(&f, 32);
  cbf_insert(&f, 8, numbered(8, 1).data());
  cbf_release(&f);
  EXPECT_EQ(f.capacity, 0);
  EXPECT_EQ(f.data, nullptr);
  std::vector<float> out(8, 3.0f);
  cbf_extract(&f, 8, 0, out.data());
  EXPECT_EQ(out, std::vector<float>(8, 0.0f));
  EXPECT_EQ(f.extractCalls, 0);
  EXPECT_EQ(f.underflows, 0);
  cbf_insert(&f, 4, out.data());
  EXPECT_EQ(f.lastInsert, 8);
  EXPECT_EQ(cbf_release(&f), 0);
}

TEST(SampleFifo, NonPositiveCapacityGivesAReleasedFifo) {
  SampleFifo f;
  EXPECT_EQ(cbf_init(&f, -3), 0);
  EXPECT_EQ(f.capacity, 0);
  EXPECT_EQ(f.data, nullptr);
  float out[2] = {1, 1};
  cbf_extract(&f, 2, 0, out);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(f.underflows, 0);
}

}  // namespace
