// Program (FXP) and bank (FXB) files.

#include "plug/fxp_files.h"

#include <cstring>

#include "base/sky_string.h"
#include "plug/fx_bytes_p.h"
#include "plug/plug_base.h"

namespace {

const uint32_t kCcnK = FxMagic("CcnK");
const uint32_t kFxProgramParams = FxMagic("FxCk");
const uint32_t kFxProgramChunk = FxMagic("FPCh");
const uint32_t kFxBankPrograms = FxMagic("FxBk");
const uint32_t kFxBankChunk = FxMagic("FBCh");
const int kFxNameSize = 28;
const int kFxpHeaderSize = 56;   // up to the chunk size or the values
const int kFxbHeaderSize = 156;  // up to the chunk size or the program records
const int kFxbReservedSize = 124;

// The fields before the name (program) or the reserved bytes (bank).
struct FxHeader {
  uint32_t magic, byteSize, kind, version;
  int32_t uniqueID, plugVersion, count;  // count: parameters (program) or programs (bank)
};

bool PutName(ByteChunk* pOut, const char* name) {
  char field[kFxNameSize];
  memset(field, 0, sizeof(field));
  size_t n = name ? strlen(name) : 0;
  if (n > kFxNameSize - 1) n = kFxNameSize - 1;
  if (n) memcpy(field, name, n);
  return pOut->PutBytes(field, kFxNameSize) > 0;
}

// name receives up to kFxNameSize characters and a terminator.
bool GetName(const ByteChunk& in, int* pPos, char* name) {
  int pos = in.GetBytes(name, kFxNameSize, *pPos);
  if (pos < 0) return false;
  name[kFxNameSize] = 0;
  *pPos = pos;
  return true;
}

bool PutHeader(ByteChunk* pOut, const FxHeader& h) {
  return PutBE32(pOut, h.magic) && PutBE32(pOut, h.byteSize) && PutBE32(pOut, h.kind) &&
         PutBE32(pOut, h.version) && PutBE32(pOut, (uint32_t)h.uniqueID) &&
         PutBE32(pOut, (uint32_t)h.plugVersion) && PutBE32(pOut, (uint32_t)h.count);
}

bool GetHeader(const ByteChunk& in, int* pPos, FxHeader* pH) {
  uint32_t uniqueID, plugVersion, count;
  if (!(GetBE32(in, pPos, &pH->magic) && GetBE32(in, pPos, &pH->byteSize) &&
        GetBE32(in, pPos, &pH->kind) && GetBE32(in, pPos, &pH->version) &&
        GetBE32(in, pPos, &uniqueID) && GetBE32(in, pPos, &plugVersion) &&
        GetBE32(in, pPos, &count)))
    return false;
  pH->uniqueID = (int32_t)uniqueID;
  pH->plugVersion = (int32_t)plugVersion;
  pH->count = (int32_t)count;
  return true;
}

FxHeader MakeHeader(PlugBase* pPlug, uint32_t kind, uint32_t version, int count) {
  return FxHeader{kCcnK, 0, kind, version, pPlug->GetUniqueID(), pPlug->GetEffectVersion(true),
                  count};
}

// A program record of parameter values; values[i] is parameter i's normalised value.
bool PutParamProgram(PlugBase* pPlug, ByteChunk* pOut, const char* name, const double* values) {
  bool ok = PutHeader(pOut, MakeHeader(pPlug, kFxProgramParams, 1, pPlug->NParams())) &&
            PutName(pOut, name);
  for (int i = 0; i < pPlug->NParams() && ok; ++i) ok = PutBEFloat(pOut, (float)values[i]);
  return ok;
}

// Whether the bytes from pos hold one big-endian single per parameter.
bool HoldsParamValues(PlugBase* pPlug, const ByteChunk& in, int pos) {
  return (int64_t)in.Size() - pos >= (int64_t)pPlug->NParams() * 4;
}

void ApplyParamValues(PlugBase* pPlug, const ByteChunk& in, int* pPos) {
  for (int i = 0; i < pPlug->NParams(); ++i) {
    float v = 0.0f;
    GetBEFloat(in, pPos, &v);
    pPlug->GetParam(i)->SetNormalized(v);
  }
}

// Reads one slot of a serialised preset list (name, flag, state) at *pPos and
// stores its parameter values, normalised; the state is taken as one double per
// parameter from its start, and a value that cannot be read counts as 0.
bool NextSlotValues(PlugBase* pPlug, const ByteChunk& presets, int* pPos, double* values) {
  SkyString name;
  bool initialized = false;
  int pos = presets.GetStr(&name, *pPos);
  pos = presets.GetBool(&initialized, pos);
  if (pos < 0) return false;
  int slotEnd = pos;
  for (int i = 0; i < pPlug->NParams(); ++i) {
    double v = 0.0;
    if (initialized && presets.Get(&v, pos) >= 0) pos += (int)sizeof(double);
    else v = 0.0;
    values[i] = pPlug->GetParam(i)->GetNormalized(v);
  }
  *pPos = initialized ? pos : slotEnd;
  return true;
}

// The current state and the preset slots, to undo a load that failed halfway.
struct Snapshot {
  ByteChunk state, presets;
  int currentIdx;

  explicit Snapshot(PlugBase* pPlug) : currentIdx(pPlug->GetCurrentPresetIdx()) {
    pPlug->SerializeState(&state);
    pPlug->SerializePresets(&presets);
  }
  void Restore(PlugBase* pPlug) {
    pPlug->UnserializePresets(&presets, 0);
    pPlug->RestorePreset(currentIdx);
    pPlug->UnserializeState(&state, 0);
  }
};

bool FinishLoad(PlugBase* pPlug) {
  pPlug->InformHostOfProgramChange();
  return true;
}

bool LoadStateChunk(PlugBase* pPlug, ByteChunk* pFile, int pos) {
  uint32_t chunkSize;  // the chunk runs to the end of the file whatever this says
  if (!GetBE32(*pFile, &pos, &chunkSize)) return false;
  PlugBase::GetPlugVerFromChunk(pFile, &pos);
  return pPlug->UnserializeState(pFile, pos) >= 0;
}

bool LoadBankChunk(PlugBase* pPlug, ByteChunk* pFile, int pos) {
  uint32_t chunkSize;
  if (!GetBE32(*pFile, &pos, &chunkSize)) return false;
  PlugBase::GetPlugVerFromChunk(pFile, &pos);
  return pPlug->UnserializePresets(pFile, pos) >= 0;
}

bool LoadProgramList(PlugBase* pPlug, const ByteChunk& file, int pos, int nPrograms) {
  for (int i = 0; i < nPrograms; ++i) {
    FxHeader h;
    char name[kFxNameSize + 1];
    if (!GetHeader(file, &pos, &h) || h.magic != kCcnK || h.kind != kFxProgramParams ||
        h.version != 1 || h.count != pPlug->NParams() || !GetName(file, &pos, name) ||
        !HoldsParamValues(pPlug, file, pos))
      return false;
    pPlug->RestorePreset(i);
    ApplyParamValues(pPlug, file, &pos);
    pPlug->ModifyCurrentPreset(name);
  }
  return true;
}

}  // namespace

bool SaveProgramAsFXP(PlugBase* pPlug, const SkyString& path) {
  if (!path.GetLength()) return false;
  ByteChunk out;
  const char* name = pPlug->GetPresetName(pPlug->GetCurrentPresetIdx());
  if (pPlug->DoesStateChunks()) {
    ByteChunk state;
    PlugBase::InitChunkWithPlugVer(&state);
    if (!pPlug->SerializeState(&state)) return false;
    FxHeader h = MakeHeader(pPlug, kFxProgramChunk, 1, pPlug->NParams());
    h.byteSize = (uint32_t)state.Size() + kFxpHeaderSize + 4;
    if (!(PutHeader(&out, h) && PutName(&out, name) && PutBE32(&out, (uint32_t)state.Size()) &&
          out.PutChunk(&state) > 0))
      return false;
  } else {
    SkyTypedBuf<double> values(4096);
    values.Resize(pPlug->NParams());
    for (int i = 0; i < pPlug->NParams(); ++i)
      values.Get()[i] = pPlug->GetParam(i)->GetNormalized();
    if (!PutParamProgram(pPlug, &out, name, values.Get())) return false;
  }
  return WriteChunkToFile(path.Get(), out);
}

bool SaveBankAsFXB(PlugBase* pPlug, const SkyString& path) {
  if (!path.GetLength()) return false;
  ByteChunk out;
  bool chunks = pPlug->DoesStateChunks();
  FxHeader h = MakeHeader(pPlug, chunks ? kFxBankChunk : kFxBankPrograms, 2, pPlug->NPresets());
  ByteChunk bank;
  if (chunks) {
    PlugBase::InitChunkWithPlugVer(&bank);
    if (!pPlug->SerializePresets(&bank)) return false;
    h.byteSize = (uint32_t)bank.Size() + kFxbHeaderSize + 4;
  }
  char reserved[kFxbReservedSize];
  memset(reserved, 0, sizeof(reserved));
  if (!(PutHeader(&out, h) && PutBE32(&out, (uint32_t)pPlug->GetCurrentPresetIdx()) &&
        out.PutBytes(reserved, kFxbReservedSize) > 0))
    return false;
  if (chunks) {
    if (!(PutBE32(&out, (uint32_t)bank.Size()) && out.PutChunk(&bank) > 0)) return false;
  } else {
    ByteChunk presets;
    if (!pPlug->SerializePresets(&presets)) return false;
    SkyTypedBuf<double> values(4096);
    values.Resize(pPlug->NParams());
    for (int i = 0, pos = 0; i < pPlug->NPresets(); ++i) {
      if (!NextSlotValues(pPlug, presets, &pos, values.Get()) ||
          !PutParamProgram(pPlug, &out, pPlug->GetPresetName(i), values.Get()))
        return false;
    }
  }
  return WriteChunkToFile(path.Get(), out);
}

bool LoadProgramFromFXP(PlugBase* pPlug, const SkyString& path) {
  ByteChunk file;
  if (!path.GetLength() || !ReadFileToChunk(path.Get(), &file)) return false;
  int pos = 0;
  FxHeader h;
  char name[kFxNameSize + 1];
  if (!GetHeader(file, &pos, &h) || !GetName(file, &pos, name)) return false;
  if (h.magic != kCcnK || h.version != 1 || h.uniqueID != pPlug->GetUniqueID() ||
      h.count != pPlug->NParams())
    return false;

  if (pPlug->DoesStateChunks() && h.kind == kFxProgramChunk) {
    Snapshot before(pPlug);
    if (!LoadStateChunk(pPlug, &file, pos)) {
      before.Restore(pPlug);
      return false;
    }
  } else if (h.kind == kFxProgramParams) {
    if (!HoldsParamValues(pPlug, file, pos)) return false;
    ApplyParamValues(pPlug, file, &pos);
  } else {
    return false;
  }
  pPlug->ModifyCurrentPreset(name);
  pPlug->RestorePreset(pPlug->GetCurrentPresetIdx());
  return FinishLoad(pPlug);
}

bool LoadBankFromFXB(PlugBase* pPlug, const SkyString& path) {
  ByteChunk file;
  if (!path.GetLength() || !ReadFileToChunk(path.Get(), &file)) return false;
  int pos = 0;
  FxHeader h;
  uint32_t current;
  if (!GetHeader(file, &pos, &h) || !GetBE32(file, &pos, &current)) return false;
  pos += kFxbReservedSize;
  if (h.magic != kCcnK || h.uniqueID != pPlug->GetUniqueID() || pos > file.Size()) return false;

  if (pPlug->DoesStateChunks() && h.kind == kFxBankChunk) {
    Snapshot before(pPlug);
    if (!LoadBankChunk(pPlug, &file, pos)) {
      before.Restore(pPlug);
      return false;
    }
    return FinishLoad(pPlug);
  }
  if (h.kind != kFxBankPrograms) return false;
  if (!LoadProgramList(pPlug, file, pos, h.count)) return false;
  pPlug->RestorePreset((int)current);
  return FinishLoad(pPlug);
}

bool PlugBase::SaveProgramAsFXP(const SkyString& path) { return ::SaveProgramAsFXP(this, path); }
bool PlugBase::SaveBankAsFXB(const SkyString& path) { return ::SaveBankAsFXB(this, path); }
bool PlugBase::LoadProgramFromFXP(const SkyString& path) {
  return ::LoadProgramFromFXP(this, path);
}
bool PlugBase::LoadBankFromFXB(const SkyString& path) { return ::LoadBankFromFXB(this, path); }
