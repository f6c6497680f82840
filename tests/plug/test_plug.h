#pragma once
// A small concrete plug-in for exercising PlugBase: it records what the base
// asks of the host and lets tests choose the host's answers.

#include <vector>

#include "plug/plug_base.h"

class TestPlug : public PlugBase {
 public:
  explicit TestPlug(int nParams = 4, const char* channelIO = "1-1 2-2", int nPresets = 2,
                    int latency = 0)
      : PlugBase(nParams, channelIO, nPresets, "Test Effect", "Test Product", "Test Maker",
                 0x00010000, 0x54737450, 0x5473744D, latency, false, false, false, kAPIVST2) {}

  void OnParamChange(int paramIdx) override {
    PlugBase::OnParamChange(paramIdx);
    if (mRecord) changes.push_back(paramIdx);
  }
  void BeginInformHostOfParamChange(int) override {}
  void InformHostOfParamChange(int paramIdx, double normalizedValue) override {
    informed.push_back({paramIdx, normalizedValue});
  }
  void EndInformHostOfParamChange(int) override {}
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return tempo; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg* pMsg) override {
    sent.push_back(*pMsg);
    return hostAcceptsMidi;
  }
  void PresetsChangedByHost() override { ++presetsChanged; }

  using PlugBase::CreateDelayLine;
  double** InData() { return mInData.Get(); }
  double** OutData() { return mOutData.Get(); }
  IPreset* Preset(int idx) { return mPresets.Get(idx); }
  // Stops recording, for code paths that must not allocate.
  void SetRecording(bool record) { mRecord = record; }

  std::vector<int> changes;
  std::vector<std::pair<int, double>> informed;
  std::vector<IMidiMsg> sent;
  double tempo = 0.0;
  bool hostAcceptsMidi = true;
  int presetsChanged = 0;

 private:
  bool mRecord = true;
};
