#pragma once
// Turns a plug-in class into a VST 2.4 shared object.
//
// In exactly one source file of the shared object, after including the class:
//
//   SKYLANE_VST2_ENTRY(MyPlug)
//
// MyPlug derives from PlugVST and has a constructor MyPlug(PlugInstanceInfo).
// The macro defines the two entry points hosts look for, `VSTPluginMain` and
// `main`, both with C linkage and default visibility. Build the object with
// hidden visibility and hide the static libraries' symbols, so that these two
// are its only exports (the CMake function skylane_vst2_module does both).

#include "vst2/plug_vst.h"

typedef PlugVST* (*PlugVSTFactory)(PlugInstanceInfo instanceInfo);

// Creates one instance under a process-wide lock, makes sure it has a default
// preset and at least one program, and returns its record; null on failure.
AEffect* VSTCreateEffect(audioMasterCallback hostCallback, PlugVSTFactory factory);

#define SKYLANE_VST2_ENTRY(PLUG_CLASS)                                                  \
  static PlugVST* SkylaneVST2Make(PlugInstanceInfo instanceInfo) {                      \
    return new PLUG_CLASS(instanceInfo);                                                \
  }                                                                                     \
  extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(             \
      audioMasterCallback hostCallback) {                                               \
    return VSTCreateEffect(hostCallback, SkylaneVST2Make);                              \
  }                                                                                     \
  /* `main` cannot be declared with this signature in C++: the symbol gets the name. */ \
  extern "C" __attribute__((visibility("default"))) AEffect* SkylaneVST2MainEntry(      \
      audioMasterCallback hostCallback) __asm__("main");                                \
  extern "C" AEffect* SkylaneVST2MainEntry(audioMasterCallback hostCallback) {          \
    return VSTCreateEffect(hostCallback, SkylaneVST2Make);                              \
  }
