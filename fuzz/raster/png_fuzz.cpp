// Arbitrary bytes into the memory PNG loader, both into a new bitmap and into
// a caller's bitmap: no crash, no leak, bounded memory.
#include <cstddef>
#include <cstdint>

#include "raster/lice_png.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  delete LICE_LoadPNGFromMemory(data, (int)size, nullptr);
  LICE_MemBitmap mine(3, 3, 4);
  LICE_LoadPNGFromMemory(data, (int)size, &mine);
  return 0;
}
