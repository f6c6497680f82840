#include "tests/vst2/example_plug.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/sky_string.h"

namespace {

const double kDefaults[kNumExampleParams] = {0.0, 0.0, 0.0, 0.0, 0.0};
const uint8_t kSysExStart = 0xF0, kSysExEnd = 0xF7, kNonCommercialID = 0x7D;

void SetTag(char* tag, const char* text, int len) {
  if (len > EXAMPLE_TAG_LEN - 1) len = EXAMPLE_TAG_LEN - 1;
  if (len < 0) len = 0;
  memcpy(tag, text, len);
  tag[len] = 0;
}

}  // namespace

ExamplePlug::ExamplePlug(PlugInstanceInfo instanceInfo)
    : PlugVST(instanceInfo, kNumExampleParams, "1-1 2-2", 2, "Example Gain", "Skylane Examples",
              "Skylane", 0x00010203, EXAMPLE_UNIQUE_ID, 0x536B794C, 0, true, true, false),
      mGain(1.0) {
  mTag[0] = 0;
  GetParam(kExampleGain)->InitDouble("Gain", 0.0, -60.0, 12.0, 0.1, "dB");
  GetParam(kExampleTranspose)->InitInt("Transpose", 0, -24, 24, "st");
  IParam* pMode = GetParam(kExampleMode);
  pMode->InitEnum("Mode", 0, 3);
  pMode->SetDisplayText(0, "Clean");
  pMode->SetDisplayText(1, "Warm");
  pMode->SetDisplayText(2, "Hot");
  GetParam(kExampleBypass)->InitBool("Bypass", false);
  GetParam(kExampleAttenuation)->InitDouble("Attenuation", 0.0, 0.0, 24.0, 0.5, "dB");
  SetOutputLabel(0, "Left out");
  SetOutputLabel(1, "Right out");

  MakeExamplePreset("Unity", 0.0, 0, 0, 0.0);
  MakeExamplePreset("Loud", 6.0, 12, 2, 3.0);
  for (int i = 0; i < kNumExampleParams; ++i) GetParam(i)->Set(kDefaults[i]);
}

void ExamplePlug::MakeExamplePreset(const char* name, double gain, int transpose, int mode,
                                    double attenuation) {
  GetParam(kExampleGain)->Set(gain);
  GetParam(kExampleTranspose)->Set(transpose);
  GetParam(kExampleMode)->Set(mode);
  GetParam(kExampleBypass)->Set(0);
  GetParam(kExampleAttenuation)->Set(attenuation);
  ByteChunk state;
  SerializeState(&state);
  MakePresetFromChunk(name, &state);
}

void ExamplePlug::OnParamChange(int paramIdx) {
  IMutexLock lock(this);
  if (paramIdx == kExampleGain || paramIdx == kExampleAttenuation)
    mGain = DBToAmp(GetParam(kExampleGain)->Value() - GetParam(kExampleAttenuation)->Value());
}

void ExamplePlug::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  bool bypass = GetParam(kExampleBypass)->Bool();
  double gain = bypass ? 1.0 : mGain;
  int nIn = NInChannels();
  for (int c = 0; c < NOutChannels(); ++c) {
    const double* in = inputs[c < nIn ? c : nIn - 1];
    double* out = outputs[c];
    for (int s = 0; s < nFrames; ++s) out[s] = in[s] * gain;
  }
}

void ExamplePlug::ProcessMidiMsg(IMidiMsg* pMsg) {
  IMidiMsg::EStatusMsg status = pMsg->StatusMsg();
  if (status == IMidiMsg::kNoteOn || status == IMidiMsg::kNoteOff) {
    int note = pMsg->mData1 + GetParam(kExampleTranspose)->Int();
    if (note < 0 || note > 127) return;  // transposed out of the keyboard
    pMsg->mData1 = (uint8_t)note;
  }
  SendMidiMsg(pMsg);
}

void ExamplePlug::ProcessSysEx(ISysEx* pSysEx) {
  const uint8_t* d = pSysEx->mData;
  int n = pSysEx->mSize;
  if (d && n >= 3 && d[0] == kSysExStart && d[1] == kNonCommercialID && d[n - 1] == kSysExEnd)
    SetTag(mTag, (const char*)d + 2, n - 3);
  SendSysEx(pSysEx);
}

bool ExamplePlug::MidiNoteName(int noteNumber, char* rName) {
  static const char* const kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                       "F#", "G",  "G#", "A",  "A#", "B"};
  if (noteNumber < 0 || noteNumber > 127) return false;
  snprintf(rName, 8, "%s%d", kNames[noteNumber % 12], noteNumber / 12 - 1);
  return true;
}

bool ExamplePlug::SerializeState(ByteChunk* pChunk) {
  return SerializeParams(pChunk) && pChunk->PutStr(mTag) > 0;
}

int ExamplePlug::UnserializeState(ByteChunk* pChunk, int startPos) {
  int pos = UnserializeParams(pChunk, startPos);
  if (pos < 0) return pos;
  SkyString tag;
  pos = pChunk->GetStr(&tag, pos);
  if (pos >= 0) SetTag(mTag, tag.Get(), tag.GetLength());
  return pos;
}
