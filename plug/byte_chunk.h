#pragma once
// ByteChunk: a little-endian byte buffer that plug-in states are written into and
// read from. Reads never leave the chunk: a failed read returns -1.

#include <cstdint>

#include "base/heapbuf.h"

class SkyString;

class ByteChunk {
 public:
  ByteChunk() : mBytes(4096) {}

  // Appends n bytes; returns the new size, or 0 when the chunk could not grow.
  int PutBytes(const void* pSrc, int n);
  // Copies n bytes from startPos; returns the position after them, or -1.
  int GetBytes(void* pDst, int n, int startPos) const;

  // Appends a value in native byte order; returns the new size (0 on failure).
  template <class T>
  int Put(const T* pVal) {
    return PutBytes(pVal, (int)sizeof(T));
  }
  // Reads a value written by Put; returns the position after it, or -1.
  template <class T>
  int Get(T* pVal, int startPos) const {
    return GetBytes(pVal, (int)sizeof(T), startPos);
  }

  // Appends an int32 length and the characters, without terminator.
  int PutStr(const char* str);
  // Reads a text written by PutStr into pStr (kept unchanged for a zero length);
  // returns the position after it, or -1 when the length is negative or runs past the end.
  int GetStr(SkyString* pStr, int startPos) const;
  int PutBool(bool b);
  // Reads one byte; any non-zero byte is true.
  int GetBool(bool* pB, int startPos) const;
  // Appends all bytes of another chunk, without a length.
  int PutChunk(const ByteChunk* pRHS);

  int Size() const { return mBytes.GetSize(); }
  uint8_t* GetBytes() { return mBytes.Get(); }
  const uint8_t* GetBytes() const { return mBytes.Get(); }
  // Sets the size, zero-filling added bytes; returns the old size.
  int Resize(int n);
  void Clear() { mBytes.Resize(0, true); }

 private:
  SkyTypedBuf<uint8_t> mBytes;
};
