#include "plugin/sample_fifo.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// The exported layout: 32-bit words around one pointer at its natural alignment.
constexpr size_t kDataOffset = (12 + alignof(float*) - 1) / alignof(float*) * alignof(float*);
constexpr size_t word(int n) { return kDataOffset + sizeof(float*) + 4 * n; }

static_assert(sizeof(std::atomic<int32_t>) == 4 && std::atomic<int32_t>::is_always_lock_free,
              "atomic indexes must be plain lock-free 32-bit words");
static_assert(offsetof(SampleFifo, writeIndex) == 0, "writeIndex offset");
static_assert(offsetof(SampleFifo, readIndex) == 4, "readIndex offset");
static_assert(offsetof(SampleFifo, capacity) == 8, "capacity offset");
static_assert(offsetof(SampleFifo, data) == kDataOffset, "data offset");
static_assert(offsetof(SampleFifo, underflows) == word(0), "underflows offset");
static_assert(offsetof(SampleFifo, reservedA) == word(1), "reservedA offset");
static_assert(offsetof(SampleFifo, lastInsert) == word(5), "lastInsert offset");
static_assert(offsetof(SampleFifo, minFill) == word(6), "minFill offset");
static_assert(offsetof(SampleFifo, lastFill) == word(7), "lastFill offset");
static_assert(offsetof(SampleFifo, trims) == word(8), "trims offset");
static_assert(offsetof(SampleFifo, extractCalls) == word(9), "extractCalls offset");
static_assert(offsetof(SampleFifo, trimPeriod) == word(10), "trimPeriod offset");
static_assert(offsetof(SampleFifo, target) == word(11), "target offset");
static_assert(offsetof(SampleFifo, reservedB) == word(12), "reservedB offset");
static_assert(sizeof(SampleFifo) ==
                  (word(16) + alignof(float*) - 1) / alignof(float*) * alignof(float*),
              "SampleFifo size");

constexpr auto kRelaxed = std::memory_order_relaxed;

// Counters wrap around instead of overflowing.
void bump(std::atomic<int32_t>& counter) {
  counter.store(static_cast<int32_t>(static_cast<uint32_t>(counter.load(kRelaxed)) + 1u), kRelaxed);
}

void zero(float* destination, int count) {
  if (destination && count > 0)
    std::memset(destination, 0, sizeof(float) * static_cast<size_t>(count));
}

bool released(const SampleFifo* fifo) { return fifo->capacity <= 0 || !fifo->data; }

int32_t fillLevel(int32_t write, int32_t read, int32_t capacity) {
  return write >= read ? write - read : write + capacity - read;
}

// Every trimPeriod-th extraction: when the lowest fill of the period exceeded
// the target, skip the samples that stayed unread all along, keeping a reserve
// of twice the request. Returns the (possibly advanced) read position.
int32_t trimmedRead(SampleFifo* fifo, int32_t read, int count) {
  const int32_t calls = fifo->extractCalls.load(kRelaxed);
  const int32_t target = fifo->target.load(kRelaxed);
  if (fifo->trimPeriod <= 0 || calls % fifo->trimPeriod != 0 || target <= 0) return read;
  const int64_t lowest = fifo->minFill.load(kRelaxed);
  const int64_t reserve = 2 * static_cast<int64_t>(count);
  if (lowest > static_cast<int64_t>(target) * 256 && lowest > reserve) {
    int64_t advanced = read + lowest - reserve;
    if (advanced >= fifo->capacity) advanced -= fifo->capacity;
    read = static_cast<int32_t>(advanced);
    bump(fifo->trims);
  }
  fifo->minFill.store(fifo->capacity, kRelaxed);
  return read;
}

// Copies count samples starting at read, wrapping once; returns the next read position.
int32_t copyOut(const SampleFifo* fifo, int32_t read, int count, float* destination) {
  if (count == 0) return read;
  const int32_t first = count < fifo->capacity - read ? count : fifo->capacity - read;
  std::memcpy(destination, fifo->data + read, sizeof(float) * static_cast<size_t>(first));
  if (first < count) {
    std::memcpy(destination + first, fifo->data,
                sizeof(float) * static_cast<size_t>(count - first));
    return count - first;
  }
  return read + count == fifo->capacity ? 0 : read + count;
}

}  // namespace

extern "C" {

int cbf_init(SampleFifo* fifo, int capacity) {
  if (!fifo) return -1;
  const int32_t size = capacity > 0 ? capacity : 0;
  fifo->data =
      size ? static_cast<float*>(std::calloc(static_cast<size_t>(size), sizeof(float))) : nullptr;
  fifo->capacity = fifo->data ? size : 0;
  fifo->writeIndex.store(0, std::memory_order_release);
  fifo->readIndex.store(0, std::memory_order_release);
  fifo->underflows.store(0, kRelaxed);
  fifo->reservedA[0] = 0;
  fifo->reservedA[1] = 0;
  fifo->reservedA[2] = -1;
  fifo->reservedA[3] = 0;
  fifo->lastInsert.store(0, kRelaxed);
  fifo->minFill.store(fifo->capacity, kRelaxed);
  fifo->lastFill.store(0, kRelaxed);
  fifo->trims.store(0, kRelaxed);
  fifo->extractCalls.store(0, kRelaxed);
  fifo->trimPeriod = 200;
  fifo->target.store(0, kRelaxed);
  const int32_t spare[4] = {16, 8, 4, 2};
  std::memcpy(fifo->reservedB, spare, sizeof spare);
  return size && !fifo->data ? -1 : 0;
}

int cbf_release(SampleFifo* fifo) {
  if (!fifo) return -1;
  std::free(fifo->data);
  fifo->data = nullptr;
  fifo->capacity = 0;
  fifo->writeIndex.store(0, std::memory_order_release);
  fifo->readIndex.store(0, std::memory_order_release);
  return 0;
}

int cbf_empty(SampleFifo* fifo) {
  if (!fifo) return -1;
  fifo->writeIndex.store(0, std::memory_order_release);
  fifo->readIndex.store(0, std::memory_order_release);
  return 0;
}

int cbf_clear(SampleFifo* fifo) {
  if (!fifo) return -1;
  zero(fifo->data, fifo->capacity);
  return 0;
}

int cbf_insert(SampleFifo* fifo, int count, const float* source) {
  if (!fifo || count < 0 || (count > 0 && !source)) return -1;
  if (count > fifo->capacity) return 0;
  fifo->lastInsert.store(count, kRelaxed);
  if (count == 0 || released(fifo)) return 0;
  int32_t write = fifo->writeIndex.load(kRelaxed);
  const int32_t room = fifo->capacity - write;
  if (count > room) {
    std::memcpy(fifo->data + write, source, sizeof(float) * static_cast<size_t>(room));
    source += room;
    count -= room;
    write = 0;
  }
  std::memcpy(fifo->data + write, source, sizeof(float) * static_cast<size_t>(count));
  write += count;
  fifo->writeIndex.store(write >= fifo->capacity ? 0 : write, std::memory_order_release);
  return 0;
}

int cbf_extract(SampleFifo* fifo, int count, int /*unused*/, float* destination) {
  if (!fifo || count < 0 || (count > 0 && !destination)) return -1;
  if (released(fifo)) {
    zero(destination, count);
    return 0;
  }
  const int32_t write = fifo->writeIndex.load(std::memory_order_acquire);
  const int32_t read = fifo->readIndex.load(kRelaxed);
  const int32_t fill = fillLevel(write, read, fifo->capacity);
  if (fill < fifo->minFill.load(kRelaxed)) fifo->minFill.store(fill, kRelaxed);
  fifo->lastFill.store(fill, kRelaxed);
  const int32_t start = trimmedRead(fifo, read, count);
  bump(fifo->extractCalls);
  if (count <= fill) {
    fifo->readIndex.store(copyOut(fifo, start, count, destination), std::memory_order_release);
  } else {
    bump(fifo->underflows);
    zero(destination, count);
  }
  return 0;
}

}  // extern "C"
