// The host side of the plug-in's callback: answers what a real host answers
// (version, time and transport, sample rate, block size, identity, process
// level, automation, edit gestures, MIDI output) from one HostState.
#pragma once

#include <atomic>
#include <cstdint>

#include "vst2/aeffectx.h"

struct HostState {
  double sampleRate = 44100.0;
  VstInt32 blockSize = 512;
  double samplePos = 0.0;  // first frame of the block being processed
  bool playing = false;
  double tempo = 120.0;
  VstInt32 timeSigNumerator = 4;
  VstInt32 timeSigDenominator = 4;
  VstInt32 processLevel = kVstProcessLevelUser;
  bool verbose = false;    // trace every plug-in request to stderr
  VstTimeInfo timeInfo{};  // what audioMasterGetTime hands out
  bool reportedPlaying = false;
  // Requests seen, reported after a run; plug-in threads may add to them.
  std::atomic<long> automations{0};
  std::atomic<long> beginEdits{0};
  std::atomic<long> endEdits{0};
  std::atomic<long> eventsReceived{0};
};

// The host's version in decimal form (major * 10000 + minor * 100 + revision).
constexpr VstInt32 kHostVendorVersion = 10000;
constexpr const char* kHostProductString = "skylane-host";
constexpr const char* kHostVendorString = "Skylane";

// Makes `state` the one HostCallback answers from (this host runs one
// plug-in per process); null restores the defaults.
void HostInstallState(HostState* state);

// The audioMasterCallback handed to the plug-in's entry point.
VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float opt);

// Refreshes state->timeInfo from the transport fields and returns it. The
// record is meant for the audio thread, the one thread that asks for it.
VstTimeInfo* HostFillTimeInfo(HostState* state);
