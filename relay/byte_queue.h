// A bounded ring of bytes waiting to be sent to one client (single thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace relay {

class ByteQueue {
 public:
  explicit ByteQueue(size_t capacity);  // capacity > 0

  // Appends all of data, or nothing when it does not fit.
  bool Push(const uint8_t* data, size_t size);
  // The oldest bytes that lie contiguous in memory; size 0 when empty.
  const uint8_t* Front(size_t* size) const;
  // Removes count bytes from the front (at most size()).
  void Pop(size_t count);

  size_t size() const { return size_; }
  size_t free() const { return data_.size() - size_; }

 private:
  std::vector<uint8_t> data_;
  size_t start_ = 0;
  size_t size_ = 0;
};

}  // namespace relay
