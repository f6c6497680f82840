#include "host/loader.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "host/elf_check.h"

namespace {

// Text buffers handed to the plug-in are far larger than any documented
// limit so that an over-long or unterminated answer stays inside them.
constexpr size_t kTextBufferSize = 1024;

std::string Hex(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

// A symbol found through the handle may come from a library the plug-in
// depends on; only one defined in the plug-in's own file counts.
void* FindOwnSymbol(void* library, const char* name) {
  void* symbol = dlsym(library, name);
  if (!symbol) return nullptr;
  link_map* map = nullptr;
  Dl_info info{};
  if (dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || !map || !dladdr(symbol, &info)) {
    return nullptr;
  }
  return reinterpret_cast<uintptr_t>(info.dli_fbase) == uintptr_t(map->l_addr) ||
                 std::strcmp(info.dli_fname, map->l_name) == 0
             ? symbol
             : nullptr;
}

bool CountInRange(VstInt32 n, VstInt32 max) { return n >= 0 && n <= max; }

LoadError CheckRecord(const AEffect* e, std::string* error) {
  if (e->magic != kEffectMagic) {
    *error = "bad magic " + Hex(uint32_t(e->magic)) + " in the effect record (expected 'VstP')";
    return LoadError::kBadMagic;
  }
  if (!e->dispatcher) {
    *error = "the effect record has no dispatcher";
    return LoadError::kBadRecord;
  }
  if (!CountInRange(e->numInputs, kMaxChannels) || !CountInRange(e->numOutputs, kMaxChannels) ||
      !CountInRange(e->numParams, kMaxParams) || !CountInRange(e->numPrograms, kMaxPrograms)) {
    *error = "the effect record declares out-of-range counts (inputs " +
             std::to_string(e->numInputs) + ", outputs " + std::to_string(e->numOutputs) +
             ", parameters " + std::to_string(e->numParams) + ", programs " +
             std::to_string(e->numPrograms) + ")";
    return LoadError::kBadRecord;
  }
  return LoadError::kNone;
}

}  // namespace

LoadError Plugin::Load(const std::string& path, audioMasterCallback host, std::string* error) {
  Close();
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    *error = path + ": no such file";
    return LoadError::kMissingFile;
  }
  std::string problem = SharedObjectFileProblem(path);
  if (!problem.empty()) {
    *error = path + ": cannot load: " + problem;
    return LoadError::kBadFile;
  }
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  library_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library_) {
    const char* why = dlerror();
    *error = path + ": cannot load: " + (why ? why : "unknown reason");
    return LoadError::kNotLibrary;
  }
  void* entry = FindOwnSymbol(library_, "VSTPluginMain");
  if (!entry) entry = FindOwnSymbol(library_, "main");
  if (!entry) {
    Close();
    *error = path + ": no entry point (neither VSTPluginMain nor main)";
    return LoadError::kNoEntry;
  }
  AEffect* e = reinterpret_cast<VstPluginMainProc>(entry)(host);
  if (!e) {
    Close();
    *error = path + ": the entry point returned no effect";
    return LoadError::kNullEffect;
  }
  LoadError check = CheckRecord(e, error);
  if (check != LoadError::kNone) {
    // The record cannot be trusted to close itself; unload only.
    Close();
    *error = path + ": " + *error;
    return check;
  }
  effect_ = e;
  return LoadError::kNone;
}

void Plugin::Close() {
  if (effect_) effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
  if (library_) dlclose(library_);
  library_ = nullptr;
}

VstIntPtr Plugin::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt) const {
  return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

std::string Plugin::DispatchText(VstInt32 opcode, VstInt32 index) const {
  char text[kTextBufferSize] = {};
  Dispatch(opcode, index, 0, text);
  text[kTextBufferSize - 1] = 0;
  return text;
}
