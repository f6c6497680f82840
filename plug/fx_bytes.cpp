#include "plug/fx_bytes_p.h"

#include <cstdio>
#include <cstring>

namespace {

// Program and bank files beyond this size are refused unread.
const long kMaxFxFileSize = 1L << 28;

}  // namespace

bool PutBE32(ByteChunk* pChunk, uint32_t v) {
  uint8_t b[4] = {(uint8_t)(v >> 24), (uint8_t)(v >> 16), (uint8_t)(v >> 8), (uint8_t)v};
  return pChunk->PutBytes(b, 4) > 0;
}

bool PutBEFloat(ByteChunk* pChunk, float f) {
  uint32_t v;
  memcpy(&v, &f, sizeof(v));
  return PutBE32(pChunk, v);
}

bool GetBE32(const ByteChunk& chunk, int* pPos, uint32_t* pV) {
  uint8_t b[4];
  int pos = chunk.GetBytes(b, 4, *pPos);
  if (pos < 0) return false;
  *pV = (uint32_t)b[0] << 24 | (uint32_t)b[1] << 16 | (uint32_t)b[2] << 8 | b[3];
  *pPos = pos;
  return true;
}

bool GetBEFloat(const ByteChunk& chunk, int* pPos, float* pF) {
  uint32_t v;
  if (!GetBE32(chunk, pPos, &v)) return false;
  memcpy(pF, &v, sizeof(v));
  return true;
}

bool ReadFileToChunk(const char* path, ByteChunk* pChunk) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  bool ok = false;
  long size = -1;
  if (!fseek(f, 0, SEEK_END) && (size = ftell(f)) >= 0 && size <= kMaxFxFileSize &&
      !fseek(f, 0, SEEK_SET)) {
    pChunk->Resize((int)size);
    ok = pChunk->Size() == size && (!size || fread(pChunk->GetBytes(), 1, size, f) == (size_t)size);
  }
  fclose(f);
  return ok;
}

bool WriteChunkToFile(const char* path, const ByteChunk& chunk) {
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  size_t n = (size_t)chunk.Size();
  bool ok = !n || fwrite(chunk.GetBytes(), 1, n, f) == n;
  ok = !fclose(f) && ok;
  if (!ok) remove(path);
  return ok;
}
