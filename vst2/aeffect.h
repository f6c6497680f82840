// VST 2.4 interface: the effect record, the callback types, the opcodes of
// both directions and the effect flags. The records passed through the
// opcodes' pointer argument are in vst2/aeffectx.h.
//
// Field order is the interface's 32-bit layout. On x86-64 every pointer and
// pointer-sized integer (VstIntPtr: dispatcher results, `value` arguments,
// reserved words) is 8 bytes and the records take their natural alignment, so
// the offsets differ from the 32-bit ones; the 32-bit offsets are pinned below
// for -m32 builds. The header needs only the compiler's own <stdint.h> and
// <stddef.h>, so it also compiles freestanding.
#pragma once

#include <stddef.h>
#include <stdint.h>

typedef int32_t VstInt32;
typedef intptr_t VstIntPtr;

struct AEffect;

// Host callback: every call from the plug-in into the host.
typedef VstIntPtr (*audioMasterCallback)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                         VstIntPtr value, void* ptr, float opt);
// The effect's dispatcher: every opcode call from the host into the plug-in.
typedef VstIntPtr (*AEffectDispatcherProc)(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt);
typedef void (*AEffectProcessProc)(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 sampleFrames);
typedef void (*AEffectProcessDoubleProc)(AEffect* effect, double** inputs, double** outputs,
                                         VstInt32 sampleFrames);
typedef void (*AEffectSetParameterProc)(AEffect* effect, VstInt32 index, float parameter);
typedef float (*AEffectGetParameterProc)(AEffect* effect, VstInt32 index);

// Signature of the exported entry points `VSTPluginMain` and `main`.
typedef AEffect* (*VstPluginMainProc)(audioMasterCallback host);

// Builds a four-character code, first character in the most significant byte.
#define CCONST(a, b, c, d)                                                      \
  ((VstInt32)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | \
              ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d)))

enum {
  kEffectMagic = CCONST('V', 's', 't', 'P'),     // AEffect::magic
  kEffectIdentify = CCONST('N', 'v', 'E', 'f'),  // answer to effIdentify
  kVstVersion = 2400,                            // answer to effGetVstVersion, audioMasterVersion
};

// The effect record a plug-in's entry point returns. All bytes not set by the
// plug-in (reserved words, future bytes) are zero.
struct AEffect {
  VstInt32 magic;  // kEffectMagic
  AEffectDispatcherProc dispatcher;
  AEffectProcessProc process;  // accumulating (old style)
  AEffectSetParameterProc setParameter;
  AEffectGetParameterProc getParameter;
  VstInt32 numPrograms;
  VstInt32 numParams;
  VstInt32 numInputs;
  VstInt32 numOutputs;
  VstInt32 flags;  // effFlags...
  VstIntPtr resvd1;
  VstIntPtr resvd2;
  VstInt32 initialDelay;  // latency in samples
  VstInt32 realQualities;
  VstInt32 offQualities;
  float ioRatio;
  void* object;  // the plug-in's instance
  void* user;    // free for the host
  VstInt32 uniqueID;
  VstInt32 version;  // plug-in version, decimal form
  AEffectProcessProc processReplacing;
  AEffectProcessDoubleProc processDoubleReplacing;
  char future[56];
};

// AEffect::flags.
enum {
  effFlagsHasEditor = 1 << 0,
  effFlagsCanMono = 1 << 3,  // old mono-capable flag
  effFlagsCanReplacing = 1 << 4,
  effFlagsProgramChunks = 1 << 5,
  effFlagsIsSynth = 1 << 8,
  effFlagsCanDoubleReplacing = 1 << 12,
};

// Editor rectangle handed to the host by effEditGetRect.
struct ERect {
  int16_t top;
  int16_t left;
  int16_t bottom;
  int16_t right;
};

// Host -> plug-in opcodes (AEffect::dispatcher). Numbers not listed are
// answered with 0 by a plug-in that does not know them.
enum AEffectOpcodes {
  effOpen = 0,
  effClose = 1,
  effSetProgram = 2,
  effGetProgram = 3,
  effSetProgramName = 4,
  effGetProgramName = 5,
  effGetParamLabel = 6,
  effGetParamDisplay = 7,
  effGetParamName = 8,
  effSetSampleRate = 10,  // opt = rate
  effSetBlockSize = 11,   // value = frames
  effMainsChanged = 12,   // value = 1 on, 0 off
  effEditGetRect = 13,    // ptr = ERect**
  effEditOpen = 14,       // ptr = parent window
  effEditClose = 15,
  effEditIdle = 19,
  effIdentify = 22,
  effGetChunk = 23,       // index 0 bank, else program; ptr = void**; result = size
  effSetChunk = 24,       // index as above; value = size; ptr = data
  effProcessEvents = 25,  // ptr = VstEvents*
  effCanBeAutomated = 26,
  effString2Parameter = 27,  // ptr = text
  effGetProgramNameIndexed = 29,
  effGetInputProperties = 33,   // ptr = VstPinProperties*
  effGetOutputProperties = 34,  // ptr = VstPinProperties*
  effGetPlugCategory = 35,
  effSetSpeakerArrangement = 42,  // value, ptr = VstSpeakerArrangement*
  effGetEffectName = 45,
  effGetVendorString = 47,
  effGetProductString = 48,
  effGetVendorVersion = 49,
  effVendorSpecific = 50,
  effCanDo = 51,  // ptr = capability text
  effGetTailSize = 52,
  effIdle = 53,
  effGetVstVersion = 58,
  effGetMidiKeyName = 66,         // ptr = MidiKeyName*
  effGetSpeakerArrangement = 69,  // value, ptr = VstSpeakerArrangement**
  effStartProcess = 71,
  effStopProcess = 72,
};

// Plug-in -> host opcodes (audioMasterCallback).
enum AudioMasterOpcodes {
  audioMasterAutomate = 0,  // index = parameter, opt = normalised value
  audioMasterVersion = 1,
  audioMasterCurrentId = 2,
  audioMasterIdle = 3,
  audioMasterWantMidi = 6,
  audioMasterGetTime = 7,        // value = VstTimeInfo flags wanted; result = VstTimeInfo*
  audioMasterProcessEvents = 8,  // ptr = VstEvents*
  audioMasterIOChanged = 13,
  audioMasterSizeWindow = 15,  // index = width, value = height
  audioMasterGetSampleRate = 16,
  audioMasterGetBlockSize = 17,
  audioMasterGetInputLatency = 18,
  audioMasterGetOutputLatency = 19,
  audioMasterGetCurrentProcessLevel = 23,  // result = kVstProcessLevel...
  audioMasterGetAutomationState = 24,      // result = kVstAutomation...
  audioMasterGetVendorString = 32,         // ptr = text buffer
  audioMasterGetProductString = 33,        // ptr = text buffer
  audioMasterGetVendorVersion = 34,        // result = decimal version
  audioMasterCanDo = 37,                   // ptr = capability text
  audioMasterGetLanguage = 38,
  audioMasterUpdateDisplay = 42,
  audioMasterBeginEdit = 43,  // index = parameter
  audioMasterEndEdit = 44,    // index = parameter
};

// Answers to audioMasterGetCurrentProcessLevel.
enum {
  kVstProcessLevelUnknown = 0,
  kVstProcessLevelUser = 1,
  kVstProcessLevelRealtime = 2,
  kVstProcessLevelPrefetch = 3,
  kVstProcessLevelOffline = 4,
};

// Answers to audioMasterGetAutomationState.
enum {
  kVstAutomationUnsupported = 0,
  kVstAutomationOff = 1,
  kVstAutomationRead = 2,
  kVstAutomationWrite = 3,
  kVstAutomationReadWrite = 4,
};

// Answers to effGetPlugCategory.
enum {
  kPlugCategUnknown = 0,
  kPlugCategEffect = 1,
  kPlugCategSynth = 2,
};

// Text buffer sizes, terminating NUL included. A host passes buffers of at
// least these sizes and a plug-in writes at most size - 1 characters and the
// NUL: parameter names, labels and displays (effGetParamName,
// effGetParamLabel, effGetParamDisplay) 31 characters; the effect name 31;
// vendor and product strings 63; program names (effGetProgramName,
// effSetProgramName, effGetProgramNameIndexed) 23; pin labels
// (VstPinProperties::label) and MIDI key names 63. A careful host still
// passes larger buffers and terminates them itself.
enum {
  kVstParamStrSize = 32,
  kVstEffectNameSize = 32,
  kVstVendorStrSize = 64,
  kVstProductStrSize = 64,
  kVstProgNameSize = 24,
  kVstLabelSize = 64,
};

#if defined(__x86_64__)
static_assert(sizeof(AEffect) == 192, "AEffect x86-64 size");
static_assert(offsetof(AEffect, numPrograms) == 40, "AEffect x86-64 layout");
static_assert(offsetof(AEffect, flags) == 56, "AEffect x86-64 layout");
static_assert(offsetof(AEffect, initialDelay) == 80, "AEffect x86-64 layout");
static_assert(offsetof(AEffect, object) == 96, "AEffect x86-64 layout");
static_assert(offsetof(AEffect, uniqueID) == 112, "AEffect x86-64 layout");
static_assert(offsetof(AEffect, processDoubleReplacing) == 128, "AEffect x86-64 layout");
#endif

#if defined(__i386__)
static_assert(sizeof(AEffect) == 144, "AEffect 32-bit size");
static_assert(offsetof(AEffect, dispatcher) == 4, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, process) == 8, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, setParameter) == 12, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, getParameter) == 16, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, numPrograms) == 20, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, numParams) == 24, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, numInputs) == 28, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, numOutputs) == 32, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, flags) == 36, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, initialDelay) == 48, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, ioRatio) == 60, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, object) == 64, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, uniqueID) == 72, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, version) == 76, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, processReplacing) == 80, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, processDoubleReplacing) == 84, "AEffect 32-bit layout");
static_assert(offsetof(AEffect, future) == 88, "AEffect 32-bit layout");
#endif

static_assert(sizeof(ERect) == 8, "ERect is four 16-bit values");
