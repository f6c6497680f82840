// The audio thread's side of PlugLV2: port connection, run() and the hand-over
// of changed control values to the worker. run() takes no lock, makes no
// allocation and makes no system call: longer blocks than the scratch buffers
// hold are rendered in pieces.

#include <cmath>

#include "lv2/plug_lv2.h"

void PlugLV2::ConnectPort(uint32_t port, void* data) {
  if (port < (uint32_t)NInChannels()) {
    mAudioIn[port] = (const float*)data;
  } else if (port < (uint32_t)NAudioPorts()) {
    mAudioOut[port - NInChannels()] = (float*)data;
  } else if (port - NAudioPorts() < mControlParams.size()) {
    mControls[port - NAudioPorts()].mPort = (const float*)data;
  }
}

void PlugLV2::NoteControlChanges() {
  bool pending = false;
  for (size_t k = 0; k < mControlParams.size(); ++k) {
    Control& control = mControls[k];
    const float value = control.mPort ? *control.mPort : control.mLastSeen;
    if (value != control.mLastSeen && !std::isnan(value)) {
      control.mLastSeen = value;
      control.mPending.store(value);
      control.mHasPending.store(true);
    }
    pending = pending || control.mHasPending.load();
  }
  if (!pending || mWorkScheduled.exchange(true)) return;
  // When the worker's queue is full the values stay noted; a later block asks again.
  if (mSchedule->schedule_work(mSchedule->handle, 0, nullptr) != LV2_WORKER_SUCCESS)
    mWorkScheduled.store(false);
}

void PlugLV2::Run(uint32_t nFrames) {
  NoteControlChanges();
  for (const float* p : mAudioIn)
    if (!p) return;
  for (float* p : mAudioOut)
    if (!p) return;
  const int frames = nFrames > 0x7FFFFFFFu ? 0x7FFFFFFF : (int)nFrames;
  RenderInPieces(frames);
}

void PlugLV2::RenderInPieces(int nFrames) {
  const int step = GetBlockSize() > 0 ? GetBlockSize() : nFrames;
  for (int done = 0; done < nFrames; done += step) {
    const int frames = nFrames - done < step ? nFrames - done : step;
    for (size_t c = 0; c < mAudioIn.size(); ++c) mInPiece[c] = mAudioIn[c] + done;
    for (size_t c = 0; c < mAudioOut.size(); ++c) mOutPiece[c] = mAudioOut[c] + done;
    // The base reads its inputs as float** but never writes through them.
    AttachInputBuffers(0, NInChannels(), const_cast<float**>(mInPiece.data()), frames);
    AttachOutputBuffers(0, NOutChannels(), mOutPiece.data());
    ProcessBuffers(0.0f, frames);
  }
}

void PlugLV2::ApplyPendingControls() {
  mWorkScheduled.store(false);
  for (size_t k = 0; k < mControlParams.size(); ++k) {
    if (!mControls[k].mHasPending.exchange(false)) continue;
    const int paramIdx = mControlParams[k];
    IMutexLock lock(this);
    IParam* pParam = GetParam(paramIdx);
    double value = mControls[k].mPending.load();
    if (pParam->Type() != IParam::kTypeDouble) value = std::floor(value + 0.5);
    // A port holds a level, not an event: the same value again changes nothing.
    if (value == pParam->Value()) continue;
    pParam->Set(value);
    if (mEditor) mEditor->SetParameterFromPlug(paramIdx, pParam->GetNormalized(), true);
    OnParamChange(paramIdx);
  }
}
