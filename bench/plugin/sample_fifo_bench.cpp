// cbf_insert and cbf_extract of 1024 samples against memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "bench/plugin/ratio_report.h"
#include "plugin/sample_fifo.h"

namespace {

constexpr int kCount = 1024;
constexpr int kCapacity = 0x8000;

// One FIFO (the plug-in's size, trimming on) and one block of samples shared
// by all benchmarks, so that the baseline copies between the very same buffers:
// memcpy speed depends on how source and destination are placed in memory.
struct Shared {
  Shared() : block(kCount, 0.5f) {
    cbf_init(&fifo, kCapacity);
    fifo.target = 8;
  }
  ~Shared() { cbf_release(&fifo); }
  SampleFifo fifo;
  std::vector<float> block;
};

Shared& shared() {
  static Shared s;
  return s;
}

// An odd start offset makes every 32nd block wrap around the end of the ring.
constexpr int kOffset = 3;

void BM_memcpy(benchmark::State& state) {
  Shared& s = shared();
  int at = kOffset;
  for (auto _ : state) {
    const int first = std::min(kCount, kCapacity - at);
    std::memcpy(s.fifo.data + at, s.block.data(), sizeof(float) * first);
    std::memcpy(s.fifo.data, s.block.data() + first, sizeof(float) * (kCount - first));
    at = (at + kCount) % kCapacity;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_cbf_insert(benchmark::State& state) {
  Shared& s = shared();
  cbf_empty(&s.fifo);
  cbf_insert(&s.fifo, kOffset, s.block.data());
  for (auto _ : state) {
    cbf_insert(&s.fifo, kCount, s.block.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
}

// The writer is simulated by keeping the write index just behind the reader,
// so every extraction finds a nearly full FIFO.
void BM_cbf_extract(benchmark::State& state) {
  Shared& s = shared();
  SampleFifo& fifo = s.fifo;
  cbf_empty(&fifo);
  fifo.readIndex = kOffset;
  const int underflows = fifo.underflows;
  for (auto _ : state) {
    const int read = fifo.readIndex.load(std::memory_order_relaxed);
    fifo.writeIndex.store(read == 0 ? kCapacity - 1 : read - 1, std::memory_order_release);
    cbf_extract(&fifo, kCount, 0, s.block.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kCount);
  if (fifo.underflows != underflows) state.SkipWithError("unexpected underflow");
}

BENCHMARK(BM_memcpy);
BENCHMARK(BM_cbf_insert);
BENCHMARK(BM_cbf_extract);

}  // namespace

int main(int argc, char** argv) {
  // Goal: at most 1.5 times the time of memcpy, i.e. at least 1 / 1.5 of its speed.
  return skylane_bench::runAndCompare(
      argc, argv,
      {{"BM_cbf_insert", {"BM_memcpy"}, 1 / 1.5}, {"BM_cbf_extract", {"BM_memcpy"}, 1 / 1.5}});
}
