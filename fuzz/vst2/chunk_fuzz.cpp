// effSetChunk on the example plug-in with arbitrary bytes: the first byte picks
// bank (even) or program (odd), the rest is the chunk. A chunk that was taken
// must read back as a chunk the plug-in takes again.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/vst2/example_plug.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static ExamplePlug* sPlug = [] {
    ExamplePlug* p = new ExamplePlug({nullptr});
    p->EnsureDefaultPreset();
    return p;
  }();
  if (size < 1) return 0;
  AEffect* e = sPlug->GetAEffect();
  int index = data[0] & 1;
  std::vector<uint8_t> chunk(data + 1, data + size);
  if (!e->dispatcher(e, effSetChunk, index, (VstIntPtr)chunk.size(), chunk.data(), 0.0f)) return 0;
  void* out = nullptr;
  VstIntPtr n = e->dispatcher(e, effGetChunk, index, 0, &out, 0.0f);
  if (n <= 0 || !out) abort();
  std::vector<uint8_t> again((uint8_t*)out, (uint8_t*)out + n);
  if (!e->dispatcher(e, effSetChunk, index, n, again.data(), 0.0f)) abort();
  return 0;
}
