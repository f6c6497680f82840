// PlayQueue: how the plug-in shares its sample FIFO between the receive thread
// (the writer) and the audio callback (the reader), each moving only its own
// index.
//
// Emptying: any thread may ask for it. The writer acknowledges a request at its
// write position before it queues anything more, and the reader then skips to
// that position; until the writer has acknowledged, the reader plays silence.
// So no sample queued before an emptying is ever played after it, even one
// that a dropped connection was still queueing at that moment.
//
// Room: the writer queues a block only when it fits beside the unread samples
// and otherwise drops and counts it, so it never writes storage the reader has
// yet to copy.
#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/sample_fifo.h"

class PlayQueue {
 public:
  explicit PlayQueue(SampleFifo& fifo) : mFifo(fifo) {}
  PlayQueue(const PlayQueue&) = delete;
  PlayQueue& operator=(const PlayQueue&) = delete;

  // Any thread: asks for everything queued so far to be dropped.
  void RequestEmpty() { mRequests.fetch_add(1, std::memory_order_release); }

  // Writer: the emptyings requested so far. A writer reads this before it
  // checks that its stream is still current, then passes it to Acknowledge.
  uint32_t Requests() const { return mRequests.load(std::memory_order_acquire); }
  // Writer: acknowledges the requests at the current write position; true when
  // that is a new acknowledgement (whatever the writer holds back is stale).
  bool Acknowledge(uint32_t requests);
  // Writer: queues count samples, or drops and counts them when they do not
  // fit beside the unread ones. True when queued.
  bool Insert(const float* samples, int count);
  // Blocks dropped by Insert so far.
  int Dropped() const { return mDropped.load(std::memory_order_relaxed); }

  // Reader: carries out an acknowledged emptying, then extracts count samples
  // (silence, counted as an underflow, while an emptying waits for the writer).
  void Extract(float* destination, int count);

 private:
  int32_t Distance(int32_t from, int32_t to) const;

  SampleFifo& mFifo;
  std::atomic<uint32_t> mRequests{0};
  // The writer's latest acknowledgement: the requests it covers and the number
  // of samples written before it (stored first).
  std::atomic<uint32_t> mAcknowledged{0};
  std::atomic<int64_t> mAcknowledgedAt{0};
  int64_t mWritten = 0;  // writer: samples queued so far
  int64_t mRead = 0;     // reader: samples consumed or skipped so far
  uint32_t mServed = 0;  // reader: requests carried out
  std::atomic<int> mDropped{0};
};
