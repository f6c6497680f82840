// The functions the host calls directly through the AEffect record: the three
// process entries and parameter get and set. They run on the host's audio
// thread and never allocate once the block size is set.

#include "plug/trace.h"
#include "vst2/plug_vst.h"

namespace {

PlugVST* Instance(AEffect* pEffect) { return pEffect ? (PlugVST*)pEffect->object : nullptr; }

}  // namespace

template <class T>
void PlugVST::VSTPrepProcess(T** inputs, T** outputs, VstInt32 nFrames) {
  if (DoesMIDI()) HostCall(audioMasterWantMidi);
  AttachInputBuffers(0, NInChannels(), inputs, nFrames);
  AttachOutputBuffers(0, NOutChannels(), outputs);
}

void PlugVST::VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTPrepProcess(inputs, outputs, nFrames);
  pPlug->ProcessBuffersAccumulating(0.0f, nFrames);
}

void PlugVST::VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs,
                                  VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTPrepProcess(inputs, outputs, nFrames);
  pPlug->ProcessBuffers(0.0f, nFrames);
}

void PlugVST::VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                        VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTPrepProcess(inputs, outputs, nFrames);
  pPlug->ProcessBuffers(0.0, nFrames);
}

float PlugVST::VSTGetParameter(AEffect* pEffect, VstInt32 idx) {
  Trace(__func__, __LINE__, "%d", idx);
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return 0.0f;
  IMutexLock lock(pPlug);
  IParam* pParam = pPlug->GetParam(idx);
  return pParam ? (float)pParam->GetNormalized() : 0.0f;
}

void PlugVST::VSTSetParameter(AEffect* pEffect, VstInt32 idx, float value) {
  Trace(__func__, __LINE__, "%d:%f", idx, value);
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  IParam* pParam = pPlug->GetParam(idx);
  if (!pParam) return;
  if (pPlug->mEditor) pPlug->mEditor->SetParameterFromPlug(idx, value, true);
  pParam->SetNormalized(value);
  pPlug->OnParamChange(idx);
}
