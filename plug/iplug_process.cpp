// The process path: rendering a block and converting between float and double.

#include <cstring>

#include "plug/iplug_base.h"

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames)
{
  int nIn = NInChannels(), nOut = NOutChannels();
  int nCopy = nIn < nOut ? nIn : nOut;
  if (nFrames <= 0) return;
  for (int i = 0; i < nCopy; ++i)
    if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], nFrames * sizeof(double));
  for (int i = nCopy; i < nOut; ++i) memset(outputs[i], 0, nFrames * sizeof(double));
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames)
{
  int nIn = NInChannels(), nOut = NOutChannels();
  int nCopy = nIn < nOut ? nIn : nOut;
  if (nFrames <= 0) return;
  for (int i = 0; i < nCopy; ++i)
    if (outputs[i] != inputs[i]) memmove(outputs[i], inputs[i], nFrames * sizeof(float));
  for (int i = nCopy; i < nOut; ++i) memset(outputs[i], 0, nFrames * sizeof(float));
}

void IPlugBase::ConvertOutputs(bool accumulate, int nFrames)
{
  for (int i = 0; i < NOutChannels(); ++i)
  {
    OutChannel* pChannel = mOutChannels.Get(i);
    float* pDest = pChannel->mFDest;
    const double* pSrc = *pChannel->mDest;
    if (!pChannel->mConnected || !pDest || !pSrc) continue;
    if (accumulate)
      for (int s = 0; s < nFrames; ++s) pDest[s] += (float)pSrc[s];
    else
      for (int s = 0; s < nFrames; ++s) pDest[s] = (float)pSrc[s];
  }
}

void IPlugBase::ProcessBuffers(double, int nFrames)
{
  if (nFrames <= 0) return;
  GrowScratchFor(nFrames);
  ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float, int nFrames)
{
  if (nFrames <= 0) return;
  ProcessBuffers(0.0, nFrames);
  ConvertOutputs(false, nFrames);
}

void IPlugBase::ProcessBuffersAccumulating(float, int nFrames)
{
  if (nFrames <= 0) return;
  ProcessBuffers(0.0, nFrames);
  ConvertOutputs(true, nFrames);
}

void IPlugBase::PassThroughBuffers(double, int nFrames)
{
  if (nFrames <= 0) return;
  GrowScratchFor(nFrames);
  if (mLatency && mDelay)
    mDelay->ProcessBlock(mInData.Get(), mOutData.Get(), nFrames);
  else
    IPlugBase::ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::PassThroughBuffers(float, int nFrames)
{
  if (nFrames <= 0) return;
  PassThroughBuffers(0.0, nFrames);
  ConvertOutputs(false, nFrames);
}
