#include "plugin/play_queue.h"

#include <cstring>

int32_t PlayQueue::Distance(int32_t from, int32_t to) const {
  return to >= from ? to - from : to + mFifo.capacity - from;
}

bool PlayQueue::Acknowledge(uint32_t requests) {
  if (mAcknowledged.load(std::memory_order_relaxed) == requests) return false;
  mAcknowledgedAt.store(mWritten, std::memory_order_relaxed);
  mAcknowledged.store(requests, std::memory_order_release);
  return true;
}

bool PlayQueue::Insert(const float* samples, int count) {
  const int32_t write = mFifo.writeIndex.load(std::memory_order_relaxed);
  const int32_t read = mFifo.readIndex.load(std::memory_order_acquire);
  // One slot stays free: a full ring would read as an empty one.
  if (count < 1 || count > mFifo.capacity - 1 - Distance(read, write)) {
    mDropped.fetch_add(1, std::memory_order_relaxed);
    return false;
  }
  cbf_insert(&mFifo, count, samples);
  mWritten += count;
  return true;
}

void PlayQueue::Extract(float* destination, int count) {
  const uint32_t requests = mRequests.load(std::memory_order_acquire);
  if (requests != mServed) {
    if (mAcknowledged.load(std::memory_order_acquire) != requests) {
      std::memset(destination, 0, sizeof(float) * static_cast<size_t>(count));
      mFifo.underflows.store(mFifo.underflows.load(std::memory_order_relaxed) + 1,
                             std::memory_order_relaxed);
      return;
    }
    // The reader may have gone past that position in a block read while the
    // request was being made; it never goes back.
    const int64_t skip = mAcknowledgedAt.load(std::memory_order_relaxed) - mRead;
    if (skip > 0) {
      const int32_t read = mFifo.readIndex.load(std::memory_order_relaxed);
      mFifo.readIndex.store(static_cast<int32_t>((read + skip) % mFifo.capacity),
                            std::memory_order_release);
      mRead += skip;
    }
    mServed = requests;
  }
  const int32_t before = mFifo.readIndex.load(std::memory_order_relaxed);
  cbf_extract(&mFifo, count, 0, destination);
  mRead += Distance(before, mFifo.readIndex.load(std::memory_order_relaxed));
}
