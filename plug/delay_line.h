#pragma once
// NChanDelayLine: delays each input channel by a fixed number of samples, for
// latency-compensated pass-through.

#include <cstdint>

#include "base/heapbuf.h"

class NChanDelayLine {
 public:
  NChanDelayLine(int nInputChans = 2, int nOutputChans = 2);

  // Sets the delay in samples and clears the line (allocates; not for the audio thread).
  void SetDelayTime(int delayTimeSamples);
  void ClearBuffer();
  // Channels below both counts leave the line delayTime samples later; in place is allowed.
  void ProcessBlock(double** inputs, double** outputs, int nFrames);

 private:
  SkyTypedBuf<double> mBuffer;
  uint32_t mWriteAddress;
  uint32_t mNInChans, mNOutChans;
  uint32_t mDTSamples;
};
