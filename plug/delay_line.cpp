#include "plug/delay_line.h"

#include <cstring>

NChanDelayLine::NChanDelayLine(int nInputChans, int nOutputChans)
    : mBuffer(4096),
      mWriteAddress(0),
      mNInChans(nInputChans > 0 ? nInputChans : 0),
      mNOutChans(nOutputChans > 0 ? nOutputChans : 0),
      mDTSamples(0) {}

void NChanDelayLine::SetDelayTime(int delayTimeSamples) {
  uint32_t d = delayTimeSamples > 0 ? (uint32_t)delayTimeSamples : 0;
  uint64_t count = (uint64_t)d * mNInChans;
  if (count > 0x7fffffff) count = 0;
  mBuffer.Resize((int)count, true);
  // A line that could not be sized delays nothing rather than run off its buffer.
  mDTSamples = count && (uint64_t)mBuffer.GetSize() == count ? d : 0;
  mWriteAddress = 0;
  ClearBuffer();
}

void NChanDelayLine::ClearBuffer() {
  if (mBuffer.GetSize()) memset(mBuffer.Get(), 0, mBuffer.GetSize() * sizeof(double));
}

void NChanDelayLine::ProcessBlock(double** inputs, double** outputs, int nFrames) {
  uint32_t nChans = mNInChans < mNOutChans ? mNInChans : mNOutChans;
  double* ring = mBuffer.Get();
  for (int s = 0; s < nFrames; ++s) {
    for (uint32_t k = 0; k < nChans; ++k) {
      double in = inputs[k][s];
      if (mDTSamples) {
        double& slot = ring[k * mDTSamples + mWriteAddress];
        outputs[k][s] = slot;
        slot = in;
      } else {
        outputs[k][s] = in;
      }
    }
    if (mDTSamples) mWriteAddress = (mWriteAddress + 1) % mDTSamples;
  }
}
