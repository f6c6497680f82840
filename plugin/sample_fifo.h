// Sample FIFO: a ring of 32-bit samples between one writer thread and one
// reader thread, lock-free, with latency trimming and diagnostic counters.
#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/exported.h"

// Exported layout: fields in this order, all 32-bit except `data`. The indexes
// are published with release stores and read with acquire loads; the counters
// are atomics because diagnostics and settings touch them from other threads.
struct SampleFifo {
  std::atomic<int32_t> writeIndex;  // next slot to write (writer side)
  std::atomic<int32_t> readIndex;   // next slot to read (reader side)
  int32_t capacity;                 // storage size in samples; 0 = released
  float* data;
  std::atomic<int32_t> underflows;  // extractions that found too few samples
  int32_t reservedA[4];
  std::atomic<int32_t> lastInsert;    // count of the last accepted insert
  std::atomic<int32_t> minFill;       // lowest fill since the last trim check
  std::atomic<int32_t> lastFill;      // fill seen by the last extraction
  std::atomic<int32_t> trims;         // trim checks that dropped samples
  std::atomic<int32_t> extractCalls;  // extractions so far
  int32_t trimPeriod;                 // extractions between trim checks
  std::atomic<int32_t> target;        // trim threshold in 256 samples; 0 = off
  int32_t reservedB[4];
};

extern "C" {
// Allocates zeroed storage of `capacity` samples and resets every field.
// Returns 0, or -1 when the storage cannot be allocated (the FIFO is then released).
SKYLANE_EXPORT int cbf_init(SampleFifo* fifo, int capacity);
// Frees the storage; the FIFO stays usable as an empty, released one.
SKYLANE_EXPORT int cbf_release(SampleFifo* fifo);
// Forgets the content (both indexes to 0); counters and storage stay.
SKYLANE_EXPORT int cbf_empty(SampleFifo* fifo);
// Zeroes the storage; the indexes stay.
SKYLANE_EXPORT int cbf_clear(SampleFifo* fifo);
// Writer side: appends `count` samples, overwriting unread ones when the reader
// lags; a block larger than the capacity is dropped.
SKYLANE_EXPORT int cbf_insert(SampleFifo* fifo, int count, const float* source);
// Reader side: moves `count` samples to `destination`, or writes `count` zeros
// and counts an underflow when fewer are queued. Runs the latency trimming.
SKYLANE_EXPORT int cbf_extract(SampleFifo* fifo, int count, int unused, float* destination);
}
