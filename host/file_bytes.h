// Whole files as bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Largest file ReadFileBytes accepts.
constexpr size_t kMaxFileBytes = size_t(256) << 20;

// Reads the whole file; false with *error when it is missing, unreadable or too large.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);
// Writes the whole file; false with *error when it cannot be written completely.
bool WriteFileBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
