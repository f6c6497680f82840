#include "host/fx_transfer.h"

#include <cstdio>
#include <cstring>

#include "host/be_bytes_p.h"
#include "host/file_bytes.h"
#include "host/fx_file.h"

namespace {

bool Fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

bool CheckPath(const std::string& path, std::string* error) {
  return !path.empty() || Fail(error, "empty file name");
}

bool TakesChunks(const AEffect* e) { return (e->flags & effFlagsProgramChunks) != 0; }

// Asks for the program (index 1) or bank (index 0) chunk and copies it.
bool FetchChunk(const Plugin& p, bool bank, std::vector<uint8_t>* chunk, std::string* error) {
  void* data = nullptr;
  VstIntPtr size = p.Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  const char* what = bank ? "bank" : "program";
  if (size <= 0 || !data) return Fail(error, std::string("the plug-in gave no ") + what + " chunk");
  if (uint64_t(size) > kMaxFileBytes) {
    return Fail(error, std::string("the plug-in's ") + what + " chunk is too large (" +
                           std::to_string(size) + " bytes)");
  }
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  chunk->assign(bytes, bytes + size);
  return true;
}

void StoreChunk(const Plugin& p, bool bank, const std::vector<uint8_t>& chunk) {
  // Some plug-ins answer 0 even when they took the chunk; warn, don't fail.
  std::vector<uint8_t> copy = chunk;  // the plug-in gets memory it may not keep
  if (p.Dispatch(effSetChunk, bank ? 0 : 1, VstIntPtr(copy.size()), copy.data()) == 0) {
    std::fprintf(stderr,
                 "warning: the plug-in answered 0 to the %s chunk (it may have refused it)\n",
                 bank ? "bank" : "program");
  }
}

// Reads the current program's name and values.
FxProgram CurrentProgram(const Plugin& p) {
  AEffect* e = p.effect();
  FxProgram program;
  program.uniqueId = e->uniqueID;
  program.pluginVersion = e->version;
  program.numParams = e->numParams;
  program.name = p.DispatchText(effGetProgramName);
  for (VstInt32 i = 0; i < e->numParams; ++i) {
    program.params.push_back(e->getParameter ? e->getParameter(e, i) : 0.0f);
  }
  return program;
}

// Sets the values and then the name of the current program.
void ApplyProgram(const Plugin& p, const FxProgram& program) {
  AEffect* e = p.effect();
  for (size_t i = 0; i < program.params.size() && e->setParameter; ++i) {
    e->setParameter(e, VstInt32(i), program.params[i]);
  }
  char name[kVstProgNameSize] = {};
  std::snprintf(name, sizeof name, "%s", program.name.c_str());
  p.Dispatch(effSetProgramName, 0, 0, name);
}

bool CheckOwner(const AEffect* e, int32_t uniqueId, const char* what, std::string* error) {
  if (uniqueId == e->uniqueID) return true;
  return Fail(error, std::string(what) + " is for plug-in " + FourCCText(uint32_t(uniqueId)) +
                         ", this plug-in is " + FourCCText(uint32_t(e->uniqueID)));
}

bool CheckParamCount(const AEffect* e, int32_t count, std::string* error) {
  if (count == e->numParams) return true;
  return Fail(error, "the file has " + std::to_string(count) + " parameters, the plug-in has " +
                         std::to_string(e->numParams));
}

bool ReadBytes(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  return CheckPath(path, error) && ReadFileBytes(path, bytes, error);
}

bool SaveProgramList(const Plugin& p, FxBank* bank, std::string* error) {
  AEffect* e = p.effect();
  uint64_t size = 156 + uint64_t(e->numPrograms) * (56 + 4 * uint64_t(e->numParams));
  if (size > kMaxFileBytes) return Fail(error, "the bank would be too large");
  for (VstInt32 i = 0; i < e->numPrograms; ++i) {
    p.Dispatch(effSetProgram, 0, i);
    bank->programs.push_back(CurrentProgram(p));
  }
  if (bank->currentProgram >= 0 && bank->currentProgram < e->numPrograms) {
    p.Dispatch(effSetProgram, 0, bank->currentProgram);
  }
  return true;
}

bool LoadProgramList(const Plugin& p, const FxBank& bank, std::string* error) {
  AEffect* e = p.effect();
  for (const FxProgram& program : bank.programs) {
    if (!CheckParamCount(e, program.numParams, error)) return false;
  }
  for (size_t i = 0; i < bank.programs.size(); ++i) {
    if (i >= size_t(e->numPrograms)) {
      std::fprintf(stderr,
                   "warning: the bank has %zu programs, the plug-in %d; the rest is ignored\n",
                   bank.programs.size(), int(e->numPrograms));
      break;
    }
    p.Dispatch(effSetProgram, 0, VstIntPtr(i));
    ApplyProgram(p, bank.programs[i]);
  }
  if (bank.currentProgram >= 0 && bank.currentProgram < e->numPrograms) {
    p.Dispatch(effSetProgram, 0, bank.currentProgram);
  }
  return true;
}

}  // namespace

bool SaveProgramFile(const Plugin& p, const std::string& path, std::string* error) {
  if (!CheckPath(path, error)) return false;
  FxProgram program = CurrentProgram(p);
  if (TakesChunks(p.effect())) {
    program.isChunk = true;
    program.params.clear();
    if (!FetchChunk(p, false, &program.chunk, error)) return false;
  }
  return WriteFileBytes(path, WriteFxProgram(program), error);
}

bool SaveBankFile(const Plugin& p, const std::string& path, std::string* error) {
  if (!CheckPath(path, error)) return false;
  AEffect* e = p.effect();
  FxBank bank;
  bank.uniqueId = e->uniqueID;
  bank.pluginVersion = e->version;
  bank.numPrograms = e->numPrograms;
  bank.currentProgram = VstInt32(p.Dispatch(effGetProgram));
  bank.isChunk = TakesChunks(e);
  bool ok =
      bank.isChunk ? FetchChunk(p, true, &bank.chunk, error) : SaveProgramList(p, &bank, error);
  return ok && WriteFileBytes(path, WriteFxBank(bank), error);
}

bool LoadProgramFile(const Plugin& p, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  FxProgram program;
  std::string why;
  if (!ReadBytes(path, &bytes, error)) return false;
  if (!ReadFxProgram(bytes.data(), bytes.size(), &program, &why)) {
    return Fail(error, path + ": not a usable program file: " + why);
  }
  AEffect* e = p.effect();
  if (!CheckOwner(e, program.uniqueId, (path + ": the program").c_str(), error)) return false;
  if (!CheckParamCount(e, program.numParams, error)) return Fail(error, path + ": " + *error);
  if (program.isChunk) {
    if (!TakesChunks(e)) return Fail(error, path + ": holds a chunk, the plug-in takes no chunks");
    StoreChunk(p, false, program.chunk);
    program.params.clear();
  }
  ApplyProgram(p, program);
  return true;
}

bool LoadBankFile(const Plugin& p, const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  FxBank bank;
  std::string why;
  if (!ReadBytes(path, &bytes, error)) return false;
  if (!ReadFxBank(bytes.data(), bytes.size(), &bank, &why)) {
    return Fail(error, path + ": not a usable bank file: " + why);
  }
  AEffect* e = p.effect();
  if (!CheckOwner(e, bank.uniqueId, (path + ": the bank").c_str(), error)) return false;
  if (!bank.isChunk) {
    return LoadProgramList(p, bank, error) || Fail(error, path + ": " + *error);
  }
  if (!TakesChunks(e)) return Fail(error, path + ": holds a chunk, the plug-in takes no chunks");
  StoreChunk(p, true, bank.chunk);
  return true;
}
