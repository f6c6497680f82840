#include "host/file_bytes.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  bytes->clear();
  uint8_t block[65536];
  bool ok = true;
  for (;;) {
    size_t n = std::fread(block, 1, sizeof block, f);
    if (bytes->size() + n > kMaxFileBytes) {
      *error = path + ": larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB";
      ok = false;
      break;
    }
    bytes->insert(bytes->end(), block, block + n);
    if (n < sizeof block) break;
  }
  if (ok && std::ferror(f)) {
    *error = path + ": read error";
    ok = false;
  }
  std::fclose(f);
  return ok;
}

bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string* error) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    *error = path + ": " + std::strerror(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) *error = path + ": write error";
  return ok;
}
