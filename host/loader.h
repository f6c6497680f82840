// Loads a VST 2.4 plug-in library, calls its entry point and owns the
// resulting effect until Close: one Plugin per loaded instance.
#pragma once

#include <string>

#include "vst2/aeffect.h"

enum class LoadError {
  kNone,
  kMissingFile,  // no file at the path
  kBadFile,      // not an x86-64 ELF shared object, or cut short
  kNotLibrary,   // dlopen refused it
  kNoEntry,      // neither VSTPluginMain nor main
  kNullEffect,   // the entry point returned null
  kBadMagic,     // the record is not an AEffect
  kBadRecord,    // no dispatcher, or counts out of range
};

class Plugin {
 public:
  Plugin() = default;
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
  ~Plugin() { Close(); }

  // Opens the library at `path` and creates the effect with `host`. A path
  // without a slash names a file in the current folder (dlopen would search
  // the library path for it). On failure returns the reason and a one-line
  // message in *error; nothing stays loaded.
  LoadError Load(const std::string& path, audioMasterCallback host, std::string* error);
  // Sends effClose (the plug-in deletes itself) and unloads the library.
  void Close();

  AEffect* effect() const { return effect_; }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  // A text opcode (names, labels, displays): the plug-in writes into a large
  // zeroed buffer that is then terminated, so a missing NUL cannot overrun.
  std::string DispatchText(VstInt32 opcode, VstInt32 index = 0) const;

 private:
  void* library_ = nullptr;
  AEffect* effect_ = nullptr;
};

// Upper bounds this host accepts for the record's counts.
constexpr VstInt32 kMaxChannels = 256;
constexpr VstInt32 kMaxParams = 1 << 20;
constexpr VstInt32 kMaxPrograms = 1 << 20;
