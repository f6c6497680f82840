// The stream request a client sends first: "GET /.stream<hex id>_<channel>\r\n".
#pragma once

#include <cstddef>
#include <cstdint>

namespace relay {

struct StreamRequest {
  uint32_t deviceId = 0;  // 0 asks for the first device
  int channel = 0;        // 0-3
};

// Longest request line accepted, CR LF included.
constexpr size_t kMaxRequestLine = 64;

// Parses one whole line (CR LF included). Accepts 1-8 hex digits and a
// channel 0-3; anything else is malformed.
bool ParseRequestLine(const char* line, size_t length, StreamRequest* out);

// Collects the request line from a byte stream arriving in pieces.
class RequestReader {
 public:
  enum class Status { kIncomplete, kComplete, kMalformed };

  // Takes bytes up to and including the line's LF; returns how many it used.
  size_t Feed(const uint8_t* data, size_t size);
  Status status() const { return status_; }
  const StreamRequest& request() const { return request_; }

 private:
  char line_[kMaxRequestLine] = {};
  size_t length_ = 0;
  Status status_ = Status::kIncomplete;
  StreamRequest request_;
};

}  // namespace relay
