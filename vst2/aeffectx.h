// VST 2.4 interface: the records passed through the opcodes' pointer
// argument (events, time information, pins, speaker arrangements, MIDI key
// names) and their constants. Same layout rules as vst2/aeffect.h.
#pragma once

#include "vst2/aeffect.h"

// Event types (VstEvent::type).
enum {
  kVstMidiType = 1,
  kVstSysExType = 6,
};

// Any event; byteSize is the size of the whole record.
struct VstEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;  // offset into the current block
  VstInt32 flags;
  char data[16];
};

struct VstMidiEvent {
  VstInt32 type;  // kVstMidiType
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 noteLength;
  VstInt32 noteOffset;
  char midiData[4];  // status, data 1, data 2, zero
  char detune;
  char noteOffVelocity;
  char reserved1;
  char reserved2;
};

// SysEx event: 32 bytes in the 32-bit layout, 48 on x86-64 (byteSize must
// say sizeof(VstMidiSysexEvent)).
struct VstMidiSysexEvent {
  VstInt32 type;  // kVstSysExType
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  VstInt32 flags;
  VstInt32 dumpBytes;
  VstIntPtr resvd1;
  char* sysexDump;
  VstIntPtr resvd2;
};

// Event list: the count, a reserved word, then the event pointers. The array
// is declared with two slots; a longer list is allocated larger.
struct VstEvents {
  VstInt32 numEvents;
  VstIntPtr reserved;
  VstEvent* events[2];
};

// VstTimeInfo::flags; the ...Valid bits are also the filter bits of
// audioMasterGetTime.
enum {
  kVstTransportChanged = 1 << 0,
  kVstTransportPlaying = 1 << 1,
  kVstTransportCycleActive = 1 << 2,
  kVstTransportRecording = 1 << 3,
  kVstNanosValid = 1 << 8,
  kVstPpqPosValid = 1 << 9,
  kVstTempoValid = 1 << 10,
  kVstBarsValid = 1 << 11,
  kVstCyclePosValid = 1 << 12,
  kVstTimeSigValid = 1 << 13,
};

// Time and transport information returned by audioMasterGetTime.
struct VstTimeInfo {
  double samplePos;  // of the current block's first frame
  double sampleRate;
  double nanoSeconds;  // system time
  double ppqPos;       // position in quarter notes
  double tempo;        // beats per minute
  double barStartPos;  // start of the last bar, in quarter notes
  double cycleStartPos;
  double cycleEndPos;
  VstInt32 timeSigNumerator;
  VstInt32 timeSigDenominator;
  VstInt32 smpteOffset;
  VstInt32 smpteFrameRate;
  VstInt32 samplesToNextClock;
  VstInt32 flags;
};

// VstPinProperties::flags.
enum {
  kVstPinIsActive = 1 << 0,
  kVstPinIsStereo = 1 << 1,  // first channel of a stereo pair
  kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties {
  char label[kVstLabelSize];
  VstInt32 flags;
  VstInt32 arrangementType;
  char shortLabel[8];
  char future[48];
};

// Speaker arrangement types (VstSpeakerArrangement::type).
enum {
  kSpeakerArrUserDefined = -2,
  kSpeakerArrEmpty = -1,
  kSpeakerArrMono = 0,
  kSpeakerArrStereo = 1,
};

struct VstSpeakerProperties {
  float azimuth;
  float elevation;
  float radius;
  float reserved;
  char name[64];
  VstInt32 type;
  char future[28];
};

struct VstSpeakerArrangement {
  VstInt32 type;  // kSpeakerArr...
  VstInt32 numChannels;
  VstSpeakerProperties speakers[8];
};

// effGetMidiKeyName: the host names program and key, the plug-in fills keyName.
struct MidiKeyName {
  VstInt32 thisProgramIndex;
  VstInt32 thisKeyNumber;
  char keyName[kVstLabelSize];
  VstInt32 reserved;
  VstInt32 flags;
};

static_assert(sizeof(VstEvent) == 32, "VstEvent size");
static_assert(sizeof(VstMidiEvent) == 32, "VstMidiEvent size");
static_assert(sizeof(VstTimeInfo) == 88, "VstTimeInfo size");
static_assert(offsetof(VstTimeInfo, ppqPos) == 24, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, tempo) == 32, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, barStartPos) == 40, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, cycleStartPos) == 48, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, cycleEndPos) == 56, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, timeSigDenominator) == 68, "VstTimeInfo layout");
static_assert(offsetof(VstTimeInfo, flags) == 84, "VstTimeInfo layout");
static_assert(sizeof(VstPinProperties) == 128, "VstPinProperties size");
static_assert(offsetof(VstPinProperties, flags) == 64, "VstPinProperties layout");
static_assert(sizeof(VstSpeakerProperties) == 112, "VstSpeakerProperties size");
static_assert(sizeof(VstSpeakerArrangement) == 904, "VstSpeakerArrangement size");
static_assert(offsetof(MidiKeyName, keyName) == 8, "MidiKeyName layout");

#if defined(__x86_64__)
static_assert(sizeof(VstMidiSysexEvent) == 48, "VstMidiSysexEvent x86-64 size");
static_assert(sizeof(VstEvents) == 32, "VstEvents x86-64 size");
#endif

#if defined(__i386__)
static_assert(sizeof(VstMidiSysexEvent) == 32, "VstMidiSysexEvent 32-bit size");
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == 24, "VstMidiSysexEvent 32-bit layout");
static_assert(sizeof(VstEvents) == 16, "VstEvents 32-bit size");
static_assert(offsetof(VstEvents, events) == 8, "VstEvents 32-bit layout");
#endif
