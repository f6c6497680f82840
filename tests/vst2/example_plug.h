#pragma once
// ExamplePlug: a small MIDI-aware gain effect built on PlugVST. It keeps its
// state as a chunk (parameters and a tag text), has two presets, transposes the
// notes it receives and sends them on, and takes its tag from a SysEx message.

#include "vst2/plug_vst.h"

enum EExampleParams {
  kExampleGain = 0,     // dB, double
  kExampleTranspose,    // semitones, int
  kExampleMode,         // enum with display texts
  kExampleBypass,       // bool
  kExampleAttenuation,  // dB shown negated, double
  kNumExampleParams
};

#define EXAMPLE_UNIQUE_ID 0x536B4578  // 'SkEx'
#define EXAMPLE_TAG_LEN 32

class ExamplePlug : public PlugVST {
 public:
  explicit ExamplePlug(PlugInstanceInfo instanceInfo);

  void OnParamChange(int paramIdx) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;
  void ProcessMidiMsg(IMidiMsg* pMsg) override;
  // F0 7D <text> F7 sets the tag; every SysEx message is echoed to the host.
  void ProcessSysEx(ISysEx* pSysEx) override;
  bool MidiNoteName(int noteNumber, char* rName) override;
  bool SerializeState(ByteChunk* pChunk) override;
  int UnserializeState(ByteChunk* pChunk, int startPos) override;

  const char* Tag() const { return mTag; }

 private:
  void MakeExamplePreset(const char* name, double gain, int transpose, int mode,
                         double attenuation);

  double mGain;
  char mTag[EXAMPLE_TAG_LEN];
};
