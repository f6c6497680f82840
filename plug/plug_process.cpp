// The process path: rendering a block and converting between float and double.

#include <cstring>

#include "plug/plug_base.h"
#include "plug/sample_convert_p.h"

namespace {

// Silences the host's outputs of a block longer than the scratch buffers hold
// (they are sized by SetBlockSize, never on the audio thread): the float
// buffers of a single-precision block, otherwise the host's double buffers
// (never a scratch buffer, which is shorter than the block).
void SilenceHostOutputs(const SkyPtrList<PlugBase::OutChannel>& channels, bool floats,
                        int nFrames) {
  for (int i = 0; i < channels.GetSize(); ++i) {
    const PlugBase::OutChannel* pChannel = channels.Get(i);
    double* pData = *pChannel->mDest;
    if (!pChannel->mConnected) continue;
    if (floats && pChannel->mFDest) memset(pChannel->mFDest, 0, nFrames * sizeof(float));
    else if (!floats && pData && pData != pChannel->mScratchBuf.Get())
      memset(pData, 0, nFrames * sizeof(double));
  }
}

}  // namespace

void PlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
  int nIn = NInChannels(), nOut = NOutChannels();
  int nCopy = nIn < nOut ? nIn : nOut;
  if (nFrames <= 0) return;
  for (int i = 0; i < nCopy; ++i)
    if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], nFrames * sizeof(double));
  for (int i = nCopy; i < nOut; ++i) memset(outputs[i], 0, nFrames * sizeof(double));
}

void PlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
  int nIn = NInChannels(), nOut = NOutChannels();
  int nCopy = nIn < nOut ? nIn : nOut;
  if (nFrames <= 0) return;
  for (int i = 0; i < nCopy; ++i)
    if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], nFrames * sizeof(float));
  for (int i = nCopy; i < nOut; ++i) memset(outputs[i], 0, nFrames * sizeof(float));
}

void PlugBase::ConvertOutputs(bool accumulate, int nFrames) {
  OutChannel* const* ppChannels = mOutChannels.GetList();
  for (int i = 0, n = NOutChannels(); i < n; ++i) {
    const OutChannel* pChannel = ppChannels[i];
    float* pDest = pChannel->mFDest;
    const double* pSrc = *pChannel->mDest;
    if (!pChannel->mConnected || !pDest || !pSrc) continue;
    if (accumulate) sample_convert::AddDoublesToFloats(pDest, pSrc, nFrames);
    else sample_convert::DoublesToFloats(pDest, pSrc, nFrames);
  }
}

void PlugBase::ProcessBuffers(double, int nFrames) {
  if (nFrames <= 0) return;
  if (nFrames > mBlockSize) return SilenceHostOutputs(mOutChannels, false, nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void PlugBase::ProcessBuffers(float, int nFrames) {
  if (nFrames <= 0) return;
  if (nFrames > mBlockSize) return SilenceHostOutputs(mOutChannels, true, nFrames);
  ProcessBuffers(0.0, nFrames);
  ConvertOutputs(false, nFrames);
}

void PlugBase::ProcessBuffersAccumulating(float, int nFrames) {
  if (nFrames <= 0) return;
  if (nFrames > mBlockSize) return;  // nothing rendered, nothing added
  ProcessBuffers(0.0, nFrames);
  ConvertOutputs(true, nFrames);
}

void PlugBase::PassThroughBuffers(double, int nFrames) {
  if (nFrames <= 0) return;
  if (nFrames > mBlockSize) return SilenceHostOutputs(mOutChannels, false, nFrames);
  if (mLatency && mDelay) mDelay->ProcessBlock(mInData.Get(), mOutData.Get(), nFrames);
  else PlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void PlugBase::PassThroughBuffers(float, int nFrames) {
  if (nFrames <= 0) return;
  if (nFrames > mBlockSize) return SilenceHostOutputs(mOutChannels, true, nFrames);
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputs(false, nFrames);
}
