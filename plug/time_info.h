#pragma once
// ITimeInfo: the host's tempo and transport state, as far as the host reports it.

struct ITimeInfo {
  double mTempo = 120.0;
  double mSamplePos = 0.0;
  double mPPQPos = 0.0;      // position in quarter notes
  double mLastBar = 0.0;     // start of the last bar in quarter notes
  double mCycleStart = 0.0;  // loop start in quarter notes
  double mCycleEnd = 0.0;    // loop end in quarter notes
  int mNumerator = 4;
  int mDenominator = 4;
  bool mTransportIsRunning = false;
  bool mTransportLoopEnabled = false;
};
