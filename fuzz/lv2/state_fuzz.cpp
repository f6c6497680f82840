// The LV2 state restore of the Skylane plug-in with arbitrary bytes as the
// state chunk. A state that was taken must save to a state taken again.

#include <lv2/atom/atom.h>
#include <lv2/state/state.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tests/lv2/direct_instance.h"

namespace {

struct Bytes {
  std::vector<uint8_t> data;
  uint32_t type;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  auto* bytes = static_cast<Bytes*>(handle);
  *size = bytes->data.size();
  *type = bytes->type;
  *flags = LV2_STATE_IS_POD;
  return bytes->data.data();
}

LV2_State_Status Store(LV2_State_Handle handle, uint32_t, const void* value, size_t size,
                       uint32_t type, uint32_t) {
  auto* bytes = static_cast<Bytes*>(handle);
  bytes->data.assign((const uint8_t*)value, (const uint8_t*)value + size);
  bytes->type = type;
  return LV2_STATE_SUCCESS;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DirectInstance* sInstance = [] {
    setenv("SKYLANE_TICK_MS", "60000", 1);  // no relay is wanted here
    return new DirectInstance(48000.0, 0);
  }();
  const auto* state = (const LV2_State_Interface*)sInstance->ExtensionData(LV2_STATE__interface);
  Bytes in{std::vector<uint8_t>(data, data + size), sInstance->Urid(LV2_ATOM__Chunk)};
  if (state->restore(sInstance->Handle(), Retrieve, &in, 0, nullptr) != LV2_STATE_SUCCESS) return 0;
  Bytes out{{}, 0};
  if (state->save(sInstance->Handle(), Store, &out, LV2_STATE_IS_POD, nullptr) != LV2_STATE_SUCCESS)
    abort();
  if (state->restore(sInstance->Handle(), Retrieve, &out, 0, nullptr) != LV2_STATE_SUCCESS) abort();
  return 0;
}
