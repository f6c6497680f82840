#include "host/host_callback.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

HostState g_defaultState;
HostState* g_state = &g_defaultState;

// Copies text into a plug-in's buffer of `size` bytes, always terminated.
VstIntPtr CopyOut(void* ptr, const char* text, size_t size) {
  if (!ptr) return 0;
  std::snprintf(static_cast<char*>(ptr), size, "%s", text);
  return 1;
}

double NowNanoseconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

bool IsHostCapability(const char* text) {
  static const char* const kCaps[] = {
      "sendVstEvents",       "sendVstMidiEvent", "sendVstTimeInfo",        "receiveVstEvents",
      "receiveVstMidiEvent", "startStopProcess", "reportConnectionChanges"};
  for (const char* cap : kCaps) {
    if (std::strcmp(text, cap) == 0) return true;
  }
  return false;
}

void Trace(const HostState& s, VstInt32 opcode, VstInt32 index, VstIntPtr value, float opt) {
  if (!s.verbose || opcode == audioMasterGetTime || opcode == audioMasterIdle ||
      opcode == audioMasterGetCurrentProcessLevel) {
    return;
  }
  std::fprintf(stderr, "host: opcode %d index %d value %ld opt %g\n", int(opcode), int(index),
               long(value), double(opt));
}

VstIntPtr CountEvents(HostState* s, void* ptr) {
  if (!ptr) return 0;
  const VstEvents* events = static_cast<const VstEvents*>(ptr);
  if (events->numEvents > 0)
    s->eventsReceived.fetch_add(events->numEvents, std::memory_order_relaxed);
  return 1;
}

}  // namespace

void HostInstallState(HostState* state) { g_state = state ? state : &g_defaultState; }

VstTimeInfo* HostFillTimeInfo(HostState* s) {
  VstTimeInfo& t = s->timeInfo;
  t = VstTimeInfo{};
  t.samplePos = s->samplePos;
  t.sampleRate = s->sampleRate;
  t.nanoSeconds = NowNanoseconds();
  t.tempo = s->tempo;
  t.ppqPos = s->samplePos / s->sampleRate * s->tempo / 60.0;
  double quartersPerBar = 4.0 * s->timeSigNumerator / s->timeSigDenominator;
  t.barStartPos = std::floor(t.ppqPos / quartersPerBar) * quartersPerBar;
  t.timeSigNumerator = s->timeSigNumerator;
  t.timeSigDenominator = s->timeSigDenominator;
  t.flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  if (s->playing) t.flags |= kVstTransportPlaying;
  if (s->playing != s->reportedPlaying) t.flags |= kVstTransportChanged;
  s->reportedPlaying = s->playing;
  return &t;
}

VstIntPtr HostCallback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt) {
  HostState* s = g_state;
  Trace(*s, opcode, index, value, opt);
  switch (opcode) {
    case audioMasterAutomate: s->automations.fetch_add(1, std::memory_order_relaxed); return 0;
    case audioMasterVersion: return kVstVersion;
    case audioMasterWantMidi: return 1;
    case audioMasterGetTime: return reinterpret_cast<VstIntPtr>(HostFillTimeInfo(s));
    case audioMasterProcessEvents: return CountEvents(s, ptr);
    case audioMasterGetSampleRate: return VstIntPtr(s->sampleRate);
    case audioMasterGetBlockSize: return s->blockSize;
    case audioMasterGetCurrentProcessLevel: return s->processLevel;
    case audioMasterGetAutomationState: return kVstAutomationRead;
    case audioMasterGetVendorString: return CopyOut(ptr, kHostVendorString, kVstVendorStrSize);
    case audioMasterGetProductString: return CopyOut(ptr, kHostProductString, kVstProductStrSize);
    case audioMasterGetVendorVersion: return kHostVendorVersion;
    case audioMasterCanDo: return ptr && IsHostCapability(static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetLanguage: return 1;  // English
    case audioMasterUpdateDisplay: return 1;
    case audioMasterBeginEdit: s->beginEdits.fetch_add(1, std::memory_order_relaxed); return 1;
    case audioMasterEndEdit: s->endEdits.fetch_add(1, std::memory_order_relaxed); return 1;
    default: return 0;
  }
}
