#include "plug/byte_chunk.h"

#include <cstring>

#include "base/sky_string.h"

int ByteChunk::PutBytes(const void* pSrc, int n) {
  int size = Size();
  if (n < 0 || n > 0x7fffffff - size) return 0;
  if (!mBytes.ResizeOK(size + n, false)) return 0;
  if (n) memcpy(mBytes.Get() + size, pSrc, n);
  return Size();
}

int ByteChunk::GetBytes(void* pDst, int n, int startPos) const {
  // Compared without forming startPos + n, which could overflow.
  if (startPos < 0 || n < 0 || n > Size() - startPos) return -1;
  if (n) memcpy(pDst, mBytes.Get() + startPos, n);
  return startPos + n;
}

int ByteChunk::PutStr(const char* str) {
  int32_t len = str ? (int32_t)strlen(str) : 0;
  if (!Put(&len)) return 0;
  return PutBytes(str, len);
}

int ByteChunk::GetStr(SkyString* pStr, int startPos) const {
  int32_t len = 0;
  int pos = Get(&len, startPos);
  if (pos < 0 || len < 0 || len > Size() - pos) return -1;
  if (len > 0) pStr->Set((const char*)mBytes.Get() + pos, len);
  return pos + len;
}

int ByteChunk::PutBool(bool b) {
  uint8_t byte = b ? 1 : 0;
  return PutBytes(&byte, 1);
}

int ByteChunk::GetBool(bool* pB, int startPos) const {
  uint8_t byte = 0;
  int pos = GetBytes(&byte, 1, startPos);
  if (pos >= 0) *pB = byte != 0;
  return pos;
}

int ByteChunk::PutChunk(const ByteChunk* pRHS) { return PutBytes(pRHS->GetBytes(), pRHS->Size()); }

int ByteChunk::Resize(int n) {
  int oldSize = Size();
  if (n < 0) n = 0;
  mBytes.Resize(n, true);
  if (Size() > oldSize) memset(mBytes.Get() + oldSize, 0, Size() - oldSize);
  return oldSize;
}
