#pragma once
// IPreset: one preset slot of a plug-in (name and stored state).

#include "plug/byte_chunk.h"

#define MAX_PRESET_NAME_LEN 256
#define UNUSED_PRESET_NAME "empty"
#define DEFAULT_USER_PRESET_NAME "user preset"

struct IPreset {
  IPreset();

  bool mInitialized;  // the slot holds a state
  char mName[MAX_PRESET_NAME_LEN];
  ByteChunk mChunk;  // the state as SerializeState writes it, without header
};
