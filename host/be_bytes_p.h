// Big-endian field access for the program and bank files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

inline void PutBe32(std::vector<uint8_t>* out, uint32_t v) {
  out->push_back(static_cast<uint8_t>(v >> 24));
  out->push_back(static_cast<uint8_t>(v >> 16));
  out->push_back(static_cast<uint8_t>(v >> 8));
  out->push_back(static_cast<uint8_t>(v));
}

inline void PutBeFloat(std::vector<uint8_t>* out, float f) {
  uint32_t v;
  std::memcpy(&v, &f, sizeof v);
  PutBe32(out, v);
}

inline uint32_t GetBe32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline int32_t GetBe32Signed(const uint8_t* p) { return static_cast<int32_t>(GetBe32(p)); }

inline float GetBeFloat(const uint8_t* p) {
  uint32_t v = GetBe32(p);
  float f;
  std::memcpy(&f, &v, sizeof f);
  return f;
}

constexpr uint32_t FourCC(const char (&s)[5]) {
  return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
         (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

// A magic for messages: its four characters when printable, else hex.
inline std::string FourCCText(uint32_t v) {
  std::string s = "'";
  for (int shift = 24; shift >= 0; shift -= 8) {
    char c = static_cast<char>((v >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "0x%08X", v);
      return hex;
    }
    s += c;
  }
  return s + "'";
}
