// State chunks: parameter values, the framework version header and the bank of presets.

#include <cmath>
#include <cstring>

#include "plug/plug_base.h"
#include "plug/text_util_p.h"
#include "plug/trace.h"

namespace {

const int32_t kPlugMagic = 0x70666674;  // "tffp" read as a little-endian int32
const int32_t kPlugVersion = 0x00010000;
const double kCompareTolerance = 0.00001;

// Converts to single precision, saturating instead of overflowing.
float ToFloat(double v) {
  if (v > 3.4028234663852886e38) return HUGE_VALF;
  if (v < -3.4028234663852886e38) return -HUGE_VALF;
  return (float)v;
}

}  // namespace

bool PlugBase::SerializeState(ByteChunk* pChunk) { return SerializeParams(pChunk); }

int PlugBase::UnserializeState(ByteChunk* pChunk, int startPos) {
  return UnserializeParams(pChunk, startPos);
}

bool PlugBase::SerializeParams(ByteChunk* pChunk) {
  IMutexLock lock(this);
  for (int i = 0; i < NParams(); ++i) {
    IParam* pParam = GetParam(i);
    double v = pParam->Value();
    Trace(__func__, __LINE__, "%d %s %f", i, pParam->GetNameForHost(), v);
    if (pChunk->Put(&v) <= 0) return false;
  }
  return true;
}

int PlugBase::UnserializeParams(ByteChunk* pChunk, int startPos) {
  IMutexLock lock(this);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    IParam* pParam = GetParam(i);
    double v = 0.0;
    pos = pChunk->Get(&v, pos);
    if (pos < 0) v = 0.0;
    pParam->Set(v);
    Trace(__func__, __LINE__, "%d %s %f", i, pParam->GetNameForHost(), pParam->Value());
  }
  OnParamReset();
  return pos;
}

void PlugBase::InitChunkWithPlugVer(ByteChunk* pChunk) {
  pChunk->Clear();
  int32_t magic = kPlugMagic, version = kPlugVersion;
  pChunk->Put(&magic);
  pChunk->Put(&version);
}

int PlugBase::GetPlugVerFromChunk(ByteChunk* pChunk, int* pPos) {
  int32_t magic = 0, version = 0;
  int pos = pChunk->Get(&magic, *pPos);
  if (pos < 0 || magic != kPlugMagic) return 0;
  pos = pChunk->Get(&version, pos);
  if (pos < 0) return 0;
  *pPos = pos;
  return version;
}

bool PlugBase::SerializePresets(ByteChunk* pChunk) {
  bool savedOK = true;
  for (int i = 0; i < NPresets() && savedOK; ++i) {
    IPreset* pPreset = mPresets.Get(i);
    Trace(__func__, __LINE__, "%d %s", i, pPreset->mName);
    pChunk->PutStr(pPreset->mName);
    pChunk->PutBool(pPreset->mInitialized);
    if (pPreset->mInitialized) savedOK = pChunk->PutChunk(&pPreset->mChunk) > 0;
  }
  return savedOK;
}

int PlugBase::UnserializePresets(ByteChunk* pChunk, int startPos) {
  int pos = startPos;
  for (int i = 0; i < NPresets() && pos >= 0; ++i) {
    // A slot is updated only when its name, flag and state all read correctly.
    IPreset* pPreset = mPresets.Get(i);
    SkyString name;
    bool initialized = false;
    pos = pChunk->GetStr(&name, pos);
    pos = pChunk->GetBool(&initialized, pos);
    if (pos >= 0 && initialized) pos = UnserializeState(pChunk, pos);
    if (pos < 0) break;
    CopyText(pPreset->mName, name.Get(), MAX_PRESET_NAME_LEN);
    Trace(__func__, __LINE__, "%d %s", i, pPreset->mName);
    pPreset->mInitialized = initialized;
    if (initialized) {
      pPreset->mChunk.Clear();
      SerializeState(&pPreset->mChunk);
    }
  }
  RestorePreset(mCurrentPresetIdx);
  return pos;
}

bool PlugBase::CompareState(const unsigned char* data, int startPos) {
  bool isEqual = true;
  const unsigned char* p = data + (size_t)startPos * sizeof(double);
  for (int i = 0; i < NParams(); ++i, p += sizeof(double)) {
    double stored;
    memcpy(&stored, p, sizeof(double));
    double diff = (double)ToFloat(GetParam(i)->Value()) - (double)ToFloat(stored);
    isEqual &= std::fabs(diff) < kCompareTolerance;
  }
  return isEqual;
}
