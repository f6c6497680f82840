// The functions the host calls directly through the AEffect record: the three
// process entries and parameter get and set. They run on the host's audio
// thread and never allocate: a block longer than the block size is rendered in
// pieces.

#include <type_traits>

#include "plug/trace.h"
#include "vst2/plug_vst.h"

namespace {

PlugVST* Instance(AEffect* pEffect) { return pEffect ? (PlugVST*)pEffect->object : nullptr; }

}  // namespace

template <class T>
T** PlugVST::PieceOf(T** buffers, bool inputs, int offset, T** piece) {
  if (!buffers) return nullptr;
  const int count = inputs ? NInChannels() : NOutChannels();
  int taken = 0;  // the host passes one buffer per connected channel
  for (int i = 0; i < count; ++i) {
    if (!(inputs ? IsInChannelConnected(i) : IsOutChannelConnected(i))) continue;
    piece[taken] = buffers[taken] ? buffers[taken] + offset : nullptr;
    ++taken;
  }
  return piece;
}

template <class T, class Render>
void PlugVST::VSTProcessInPieces(T** inputs, T** outputs, VstInt32 nFrames, Render render) {
  if (DoesMIDI()) HostCall(audioMasterWantMidi);
  T** piece = nullptr;
  if constexpr (std::is_same<T, float>::value) piece = mFloatPiece.Get();
  else piece = mDoublePiece.Get();
  const int most = GetBlockSize();
  // Without scratch room the base silences the block whole.
  const int step = most > 0 && piece ? most : nFrames;
  for (int done = 0; done < nFrames; done += step) {
    const int frames = nFrames - done < step ? nFrames - done : step;
    AttachInputBuffers(0, NInChannels(), done ? PieceOf(inputs, true, done, piece) : inputs,
                       frames);
    AttachOutputBuffers(0, NOutChannels(),
                        done ? PieceOf(outputs, false, done, piece + NInChannels()) : outputs);
    render(frames);
  }
}

void PlugVST::VSTProcess(AEffect* pEffect, float** inputs, float** outputs, VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTProcessInPieces(inputs, outputs, nFrames, [pPlug](int frames) {
    pPlug->ProcessBuffersAccumulating(0.0f, frames);
  });
}

void PlugVST::VSTProcessReplacing(AEffect* pEffect, float** inputs, float** outputs,
                                  VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTProcessInPieces(inputs, outputs, nFrames,
                            [pPlug](int frames) { pPlug->ProcessBuffers(0.0f, frames); });
}

void PlugVST::VSTProcessDoubleReplacing(AEffect* pEffect, double** inputs, double** outputs,
                                        VstInt32 nFrames) {
  PlugVST* pPlug = Instance(pEffect);
  if (!pPlug) return;
  IMutexLock lock(pPlug);
  pPlug->VSTProcessInPieces(inputs, outputs, nFrames,
                            [pPlug](int frames) { pPlug->ProcessBuffers(0.0, frames); });
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
