// Preset slots: making, restoring, renaming and pruning presets.

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "plug/base64.h"
#include "plug/plug_base.h"
#include "plug/text_util_p.h"
#include "plug/trace.h"

namespace {

// Marks the parameters that a named-parameter preset leaves at their current value.
const double kUnsetParamValue = 9.999e-8;

bool TakesIntArg(const IParam* pParam) {
  IParam::EParamType type = pParam->Type();
  return type == IParam::kTypeBool || type == IParam::kTypeInt || type == IParam::kTypeEnum;
}

}  // namespace

IPreset* PlugBase::ClaimPreset(const char* name) {
  for (int i = 0; i < NPresets(); ++i) {
    IPreset* pPreset = mPresets.Get(i);
    if (pPreset->mInitialized) continue;
    pPreset->mInitialized = true;
    CopyText(pPreset->mName, name ? name : "Empty", MAX_PRESET_NAME_LEN);
    pPreset->mChunk.Clear();
    return pPreset;
  }
  return nullptr;
}

void PlugBase::MakeDefaultUserPresetName(char* pName) {
  int nDefaultNames = 0;
  for (int i = 0; i < NPresets(); ++i)
    if (strstr(mPresets.Get(i)->mName, DEFAULT_USER_PRESET_NAME)) ++nDefaultNames;
  snprintf(pName, MAX_PRESET_NAME_LEN, "%s %d", DEFAULT_USER_PRESET_NAME, nDefaultNames + 1);
}

void PlugBase::MakeDefaultPreset(const char* name, int nPresets) {
  for (int i = 0; i < nPresets; ++i) {
    IPreset* pPreset = ClaimPreset(name);
    if (!pPreset) return;
    SerializeState(&pPreset->mChunk);
  }
}

void PlugBase::EnsureDefaultPreset() { MakeDefaultPreset("Empty", NPresets()); }

bool PlugBase::MakePreset(const char* name, ...) {
  IPreset* pPreset = ClaimPreset(name);
  if (!pPreset) return false;
  va_list vp;
  va_start(vp, name);
  for (int i = 0; i < NParams(); ++i) {
    double v = TakesIntArg(GetParam(i)) ? (double)va_arg(vp, int) : va_arg(vp, double);
    pPreset->mChunk.Put(&v);
  }
  va_end(vp);
  return true;
}

bool PlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
  IPreset* pPreset = ClaimPreset(name);
  if (!pPreset) return false;
  int n = NParams();
  SkyTypedBuf<double> values(4096);
  values.Resize(n);
  double* v = values.Get();
  for (int i = 0; i < n; ++i) v[i] = kUnsetParamValue;

  va_list vp;
  va_start(vp, nParamsNamed);
  for (int i = 0; i < nParamsNamed; ++i) {
    int paramIdx = va_arg(vp, int);
    assert(paramIdx >= 0 && paramIdx < n);
    v[paramIdx] = TakesIntArg(GetParam(paramIdx)) ? (double)va_arg(vp, int) : va_arg(vp, double);
  }
  va_end(vp);

  for (int i = 0; i < n; ++i) {
    if (v[i] == kUnsetParamValue) v[i] = GetParam(i)->Value();
    pPreset->mChunk.Put(v + i);
  }
  return true;
}

bool PlugBase::MakePresetFromChunk(const char* name, ByteChunk* pChunk) {
  IPreset* pPreset = ClaimPreset(name);
  if (!pPreset) return false;
  pPreset->mChunk.PutChunk(pChunk);
  return true;
}

bool PlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
  ByteChunk presetChunk;
  presetChunk.Resize(sizeOfChunk);
  Base64Decode(blob, presetChunk.GetBytes(), presetChunk.Size());
  return MakePresetFromChunk(name, &presetChunk);
}

bool PlugBase::RestorePreset(int idx) {
  IPreset* pPreset = mPresets.Get(idx);
  if (!pPreset) return false;
  bool restoredOK;
  if (pPreset->mInitialized) {
    restoredOK = UnserializeState(&pPreset->mChunk, 0) > 0;
  } else {
    pPreset->mInitialized = true;
    MakeDefaultUserPresetName(pPreset->mName);
    pPreset->mChunk.Clear();
    restoredOK = SerializeState(&pPreset->mChunk);
  }
  if (restoredOK) {
    mCurrentPresetIdx = idx;
    PresetsChangedByHost();
    RedrawParamControls();
  }
  return restoredOK;
}

bool PlugBase::RestorePreset(const char* name) {
  if (!name || !*name) return false;
  for (int i = 0; i < NPresets(); ++i)
    if (!strcmp(mPresets.Get(i)->mName, name)) return RestorePreset(i);
  return false;
}

const char* PlugBase::GetPresetName(int idx) {
  IPreset* pPreset = mPresets.Get(idx);
  return pPreset ? pPreset->mName : "";
}

void PlugBase::ModifyCurrentPreset(const char* name) {
  IPreset* pPreset = mPresets.Get(mCurrentPresetIdx);
  if (!pPreset) return;
  pPreset->mChunk.Clear();
  Trace(__func__, __LINE__, "%d %s", mCurrentPresetIdx, pPreset->mName);
  SerializeState(&pPreset->mChunk);
  if (name && *name) CopyText(pPreset->mName, name, MAX_PRESET_NAME_LEN);
}

void PlugBase::PruneUninitializedPresets() {
  // The current index keeps designating the same slot, or the first one if it went.
  IPreset* pCurrent = mPresets.Get(mCurrentPresetIdx);
  for (int i = NPresets() - 1; i >= 0; --i)
    if (!mPresets.Get(i)->mInitialized) mPresets.Delete(i, true);
  int idx = mPresets.Find(pCurrent);
  mCurrentPresetIdx = idx >= 0 ? idx : 0;
}
