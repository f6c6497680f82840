#include "vst2/vst_entry.h"

#include <new>

#include "base/mutex.h"

namespace {

// Created on first use, destroyed at process exit.
SkyMutex& CreationMutex() {
  static SkyMutex sMutex;
  return sMutex;
}

}  // namespace

AEffect* VSTCreateEffect(audioMasterCallback hostCallback, PlugVSTFactory factory) {
  SkyMutexLock lock(&CreationMutex());
  PlugVST* pPlug = nullptr;
  // Nothing may throw into the host: a failed allocation is a failed load.
  try {
    pPlug = factory({hostCallback});
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (!pPlug) return nullptr;
  pPlug->EnsureDefaultPreset();
  AEffect* pEffect = pPlug->GetAEffect();
  if (pEffect->numPrograms < 1) pEffect->numPrograms = 1;
  return pEffect;
}
