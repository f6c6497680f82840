#include "plugin/skylane.h"

#include <cstdint>
#include <cstdio>
#include <system_error>

#include "plugin/sample_rate.h"

std::atomic<float> sampleRate{44100.0f};

namespace {

constexpr int kFifoCapacity = 0x8000;
constexpr int kResamplerCapacity = 0x4000;
constexpr int kStartTarget = 64;
constexpr int kUniqueId = 0x536B4C61;  // 'SkLa'
constexpr int kMfrId = 0x536B794C;     // 'SkyL'

}  // namespace

Skylane::Skylane(PlugInstanceInfo instanceInfo)
    : PlugBinding(instanceInfo, kNumSkylaneParams, "1-1 2-2", 1, "Skylane", "", "Skylane", 0x10000,
                  kUniqueId, kMfrId, 0, false, false, false, 0),
      mSettings(RelaySettings::FromEnvironment()) {
  cbf_init(&mFifo, kFifoCapacity);
  mFifo.target.store(kStartTarget);
  mFifo.trims.store(0);

  const float rate = static_cast<float>(GetSampleRate());
  sampleRate.store(rate);
  resample_init(&mSendResampler, kResamplerCapacity, static_cast<float>(rate / 44100.0));
  resample_init(&mReceiveResampler, kResamplerCapacity, static_cast<float>(44100.0 / rate));

  GetParam(kParamChannel)->InitInt("Channel", 0, 0, 3, "");
  GetParam(kParamLatency)->InitInt("Latency Control", 1, 1, 4, "");
  GetParam(kParamDeviceId)->InitInt("Device ID", 0, 0, 0xFFFFFF, "");
  GetParam(kParamEffectsLoop)->InitBool("Effects Loop", false, "images");

  BuildEditor();
  MakeDefaultPreset("-", 1);
  StartWatchThread();
}

void Skylane::StartWatchThread() {
  try {
    mWatchThread = std::thread(&Skylane::reconnectionThread, this);
  } catch (const std::system_error&) {
    fputs("Thread did not start.\n", stderr);
  }
}

Skylane::~Skylane() {
  mStop.Raise();
  mSocket.Shutdown();
  if (mWatchThread.joinable()) {
    mWatchThread.join();
  } else {
    fputs("Skylane plug-in exiting.  No thread.\n", stdout);
  }
  if (mSocket.IsOpen()) mLastEvent.Set("destroy");
  mSocket.Shutdown();
  if (mAudioThread.joinable()) mAudioThread.join();
  mLinkUp.store(0);
  cbf_release(&mFifo);
  resample_release(&mReceiveResampler);
  resample_release(&mSendResampler);
}

void Skylane::Reset() {
  IMutexLock lock(this);
  // The flag drops first, so the receive thread knows its read failed on purpose.
  if (mLinkUp.exchange(0) && mSocket.IsOpen()) {
    mLastEvent.Set("reset");
    mSocket.Shutdown();
  }
}

void Skylane::SendEffectsLoopSetting(int value) {
  const int32_t message[2] = {0, value};
  // A setting the relay never gets would leave it sending the wrong audio: when
  // it cannot go out whole, the link restarts and the request carries it.
  if (mSocket.Send(message, sizeof message, nullptr, 0, true) == RelayLink::SendResult::kDropped)
    mSocket.Shutdown();
}

void Skylane::SelectDevice(int index) {
  mSelectedDevice.store(index);
  if (index < mDevices.Count()) mRequestedDeviceId.store(mDevices.IdAt(index));
}

void Skylane::OnParamChange(int paramIdx) {
  IMutexLock lock(this);
  IParam* param = GetParam(paramIdx);
  const int value = param ? static_cast<int>(param->Value()) : 0;
  switch (paramIdx) {
    case kParamChannel: mRequestedChannel.store(value); break;
    case kParamLatency:
      mFifo.target.store(12 * value - 4);
      mQueue.RequestEmpty();
      break;
    case kParamDeviceId:
      // The user asks for this device: a button's earlier pick no longer applies.
      mSelectedDevice.store(-1);
      mRequestedDeviceId.store(value);
      mStreamDeviceId.store(0);
      break;
    case kParamEffectsLoop: {
      std::lock_guard<std::mutex> setting(mLoopSettingMutex);
      if (mEffectsLoop.exchange(value) != value && mSocket.IsOpen()) SendEffectsLoopSetting(value);
      break;
    }
    case kParamDeviceButton0:
    case kParamDeviceButton0 + 1:
    case kParamDeviceButton0 + 2:
    case kParamDeviceButton0 + 3: SelectDevice(paramIdx - kParamDeviceButton0); break;
    default: break;
  }
  fullUpdateUI();
}

void Skylane::Connect() {
  if (mLinkUp.load() || mStop.Raised()) return;
  // The previous receive thread has ended or is ending: its link is down.
  if (mAudioThread.joinable()) mAudioThread.join();
  mLinkUp.store(1);
  try {
    mAudioThread = std::thread(&Skylane::audiothread, this);
  } catch (const std::system_error&) {
    fputs("Thread did not start.\n", stderr);
    mLinkUp.store(0);  // try again on a later tick instead of staying silent
  }
}

const char* Skylane::GetParamValueName(int paramIdx, int value) {
  // The four channels skylane-relay offers of every device.
  static const char* const kChannelNames[4] = {"Stereo", "Left", "Right", "Mono"};
  if (paramIdx != kParamChannel || value < 0 || value > 3) return nullptr;
  return kChannelNames[value];
}

SkylaneStatus Skylane::Status() const {
  return {mRequestedChannel.load(), mSelectedDevice.load(),   mRequestedDeviceId.load(),
          mStreamChannel.load(),    mStreamDeviceId.load(),   mEffectsLoop.load(),
          mLinkUp.load(),           mSocket.IsOpen() ? 1 : 0, mWatchTicks.load(),
          mProcessCalls.load(),     mConnections.load(),      mEffectsSender.Dropped(),
          mQueue.Dropped()};
}
