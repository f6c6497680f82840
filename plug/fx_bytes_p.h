#pragma once
// Big-endian fields and whole-file transfer for the program and bank files.

#include <cstdint>

#include "plug/byte_chunk.h"

// Four-character code, first character in the most significant byte.
constexpr uint32_t FxMagic(const char (&s)[5]) {
  return (uint32_t)(uint8_t)s[0] << 24 | (uint32_t)(uint8_t)s[1] << 16 |
         (uint32_t)(uint8_t)s[2] << 8 | (uint32_t)(uint8_t)s[3];
}

// Appends v big-endian; false when the chunk could not grow.
bool PutBE32(ByteChunk* pChunk, uint32_t v);
bool PutBEFloat(ByteChunk* pChunk, float f);
// Reads a big-endian value at *pPos and advances; false (position kept) past the end.
bool GetBE32(const ByteChunk& chunk, int* pPos, uint32_t* pV);
bool GetBEFloat(const ByteChunk& chunk, int* pPos, float* pF);

// Reads a whole file; false if it cannot be opened or read, or is implausibly large.
bool ReadFileToChunk(const char* path, ByteChunk* pChunk);
// Writes the chunk as the whole file; on any failure removes what was written.
bool WriteChunkToFile(const char* path, const ByteChunk& chunk);
