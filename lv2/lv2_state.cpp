// PlugLV2's state: the bytes of the VST 2 state chunk (the framework's version
// header, then every parameter's value) as one chunk property. A chunk that is not exactly one
// state is refused whole, so a damaged session never leaves the instance half restored.

#include <cmath>
#include <cstring>

#include "lv2/plug_lv2.h"

LV2_State_Status PlugLV2::SaveState(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!store || !mMap) return LV2_STATE_ERR_NO_FEATURE;
  ByteChunk chunk;
  {
    IMutexLock lock(this);
    InitChunkWithPlugVer(&chunk);
    if (!SerializeState(&chunk)) return LV2_STATE_ERR_UNKNOWN;
  }
  return store(handle, mStateKey, chunk.GetBytes(), (size_t)chunk.Size(), mChunkType,
               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status PlugLV2::RestoreState(LV2_State_Retrieve_Function retrieve,
                                       LV2_State_Handle handle) {
  if (!retrieve || !mMap) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0, flags = 0;
  const void* data = retrieve(handle, mStateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != mChunkType) return LV2_STATE_ERR_BAD_TYPE;
  ByteChunk chunk;
  if (size > 0x10000 || chunk.PutBytes(data, (int)size) != (int)size) return LV2_STATE_ERR_UNKNOWN;
  int pos = 0;
  GetPlugVerFromChunk(&chunk, &pos);
  if (size - pos != (size_t)NParams() * sizeof(double)) return LV2_STATE_ERR_UNKNOWN;
  for (int i = 0; i < NParams(); ++i) {
    double v;
    memcpy(&v, chunk.GetBytes() + pos + i * sizeof(double), sizeof v);
    if (!std::isfinite(v)) return LV2_STATE_ERR_UNKNOWN;
  }
  IMutexLock lock(this);
  if (UnserializeState(&chunk, pos) < 0) return LV2_STATE_ERR_UNKNOWN;
  RedrawParamControls();
  return LV2_STATE_SUCCESS;
}
