// Arbitrary bytes into the memory PNG loader, both into a new bitmap and into
// a caller's bitmap: no crash, no leak, bounded memory.
#include <cstddef>
#include <cstdint>

#include "raster/png/png_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  delete PX_LoadPNGFromMemory(data, (int)size, nullptr);
  PX_MemBitmap mine(3, 3, 4);
  PX_LoadPNGFromMemory(data, (int)size, &mine);
  return 0;
}
