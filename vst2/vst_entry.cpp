#include "vst2/vst_entry.h"

#include <new>

#include "base/mutex.h"

namespace {

// Created on first use, destroyed at process exit.
WDL_Mutex& CreationMutex()
{
  static WDL_Mutex sMutex;
  return sMutex;
}

}  // namespace

AEffect* VSTCreateEffect(audioMasterCallback hostCallback, IPlugVSTFactory factory)
{
  WDL_MutexLock lock(&CreationMutex());
  IPlugVST* pPlug = nullptr;
  // Nothing may throw into the host: a failed allocation is a failed load.
  try
  {
    pPlug = factory({hostCallback});
  }
  catch (const std::bad_alloc&)
  {
    return nullptr;
  }
  if (!pPlug) return nullptr;
  pPlug->EnsureDefaultPreset();
  AEffect* pEffect = pPlug->GetAEffect();
  if (pEffect->numPrograms < 1) pEffect->numPrograms = 1;
  return pEffect;
}
