#pragma once
// A scripted VST 2.4 host for the binding's tests: a host callback that records
// every request and answers from a TestHost record, and a loader that opens the
// example plug-in's shared object with dlopen as a real host does.

#include <cstdint>
#include <string>
#include <vector>

#include "vst2/aeffectx.h"

struct TestHost {
  // Answers.
  std::string productString = "Test Host";
  VstIntPtr vendorVersion = 10203;
  bool giveTime = true;
  VstTimeInfo timeInfo{};
  VstIntPtr processLevel = kVstProcessLevelRealtime;
  VstIntPtr eventsAnswer = 1;

  // Requests seen.
  int calls[64] = {};
  std::vector<VstIntPtr> timeFilters;
  std::vector<std::pair<int, float>> automations;
  std::vector<VstMidiEvent> midiOut;
  std::vector<std::vector<uint8_t>> sysExOut;
  std::vector<VstInt32> sysExByteSizes;

  int Calls(int opcode) const { return calls[opcode]; }
};

// The one host the callback answers from; reset by every TestHostReset.
TestHost& Host();
void TestHostReset();
VstIntPtr TestHostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                           void* ptr, float opt);

// The example shared object, loaded with dlopen; closes the effect and unloads.
class LoadedPlugin {
 public:
  // entryName: "VSTPluginMain" or "main"; callback may be null.
  explicit LoadedPlugin(const char* entryName = "VSTPluginMain",
                        audioMasterCallback callback = TestHostCallback);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  AEffect* effect() const { return mEffect; }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  // A text opcode into a 256-byte buffer pre-filled with 'x', so overruns show.
  std::string Text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, float opt = 0.0f,
                   VstIntPtr* pResult = nullptr) const;
  float Get(int idx) const { return mEffect->getParameter(mEffect, idx); }
  void Set(int idx, float v) const { mEffect->setParameter(mEffect, idx, v); }

 private:
  void* mLibrary = nullptr;
  AEffect* mEffect = nullptr;
};
