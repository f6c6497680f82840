#include "relay/byte_queue.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace relay {

ByteQueue::ByteQueue(size_t capacity) : data_(capacity) { assert(capacity > 0); }

bool ByteQueue::Push(const uint8_t* data, size_t size) {
  if (size > free()) return false;
  const size_t end = (start_ + size_) % data_.size();
  const size_t first = std::min(size, data_.size() - end);
  std::memcpy(&data_[end], data, first);
  std::memcpy(&data_[0], data + first, size - first);
  size_ += size;
  return true;
}

const uint8_t* ByteQueue::Front(size_t* size) const {
  *size = std::min(size_, data_.size() - start_);
  return &data_[start_];
}

void ByteQueue::Pop(size_t count) {
  count = std::min(count, size_);
  start_ = (start_ + count) % data_.size();
  size_ -= count;
  if (size_ == 0) start_ = 0;
}

}  // namespace relay
