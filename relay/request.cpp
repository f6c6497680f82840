#include "relay/request.h"

#include <cstring>

namespace relay {

namespace {

constexpr char kPrefix[] = "GET /.stream";
constexpr size_t kPrefixLength = sizeof kPrefix - 1;
constexpr size_t kMaxIdDigits = 8;

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ParseRequestLine(const char* line, size_t length, StreamRequest* out) {
  if (length < kPrefixLength || std::memcmp(line, kPrefix, kPrefixLength) != 0) return false;
  size_t pos = kPrefixLength;
  uint32_t id = 0;
  size_t digits = 0;
  for (; pos < length && HexValue(line[pos]) >= 0; ++pos, ++digits) {
    if (digits == kMaxIdDigits) return false;
    id = id << 4 | static_cast<uint32_t>(HexValue(line[pos]));
  }
  if (digits == 0) return false;
  // What follows the ID must be exactly "_<0-3>\r\n".
  if (length - pos != 4 || line[pos] != '_') return false;
  const char channel = line[pos + 1];
  if (channel < '0' || channel > '3') return false;
  if (line[pos + 2] != '\r' || line[pos + 3] != '\n') return false;
  out->deviceId = id;
  out->channel = channel - '0';
  return true;
}

size_t RequestReader::Feed(const uint8_t* data, size_t size) {
  size_t used = 0;
  while (status_ == Status::kIncomplete && used < size) {
    if (length_ == kMaxRequestLine) {
      status_ = Status::kMalformed;
      break;
    }
    const char c = static_cast<char>(data[used++]);
    line_[length_++] = c;
    if (c != '\n') continue;
    status_ = ParseRequestLine(line_, length_, &request_) ? Status::kComplete : Status::kMalformed;
  }
  return used;
}

}  // namespace relay
