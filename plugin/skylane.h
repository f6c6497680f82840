// Skylane: the plug-in. It streams one channel of a device from the local
// relay into the host: a watch thread keeps the link up and the status texts
// current, a receive thread per connection reads the relay's stream into the
// FIFO, and the audio callback plays the FIFO and, with the effects loop on,
// sends the host's input back to the relay.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>

#include "plugin/device_table.h"
#include "plugin/effects_loop.h"
#include "plugin/play_queue.h"
#include "plugin/relay_link.h"
#include "plugin/relay_settings.h"
#include "plugin/relay_stream.h"
#include "plugin/resampler.h"
#include "plugin/sample_fifo.h"
#include "plugin/status_text.h"
#include "plugin/stop_signal.h"
// The binding this build of the class sits on: each plug-in module puts its own
// binding's plug_binding.h on the include path.
#include "plug_binding.h"

class IContactControl;

enum ESkylaneParams {
  kParamChannel = 0,
  kParamLatency = 1,
  kParamDeviceId = 3,
  kParamEffectsLoop = 4,
  kParamDeviceButton0 = 5,  // 5-8: pick device table entry 0-3
  kNumSkylaneParams = 9
};

// The shared words of an instance, read at one moment (each word on its own).
// linkOpen: the connection's socket is published and can carry packets.
// droppedPackets: effects-loop packets not sent; droppedReceived: received
// blocks dropped because they would have overwritten unplayed audio.
struct SkylaneStatus {
  int requestedChannel, selectedDevice, requestedDeviceId, streamChannel, streamDeviceId;
  int effectsLoop, linkUp, linkOpen, watchTicks, processCalls, connections, droppedPackets;
  int droppedReceived;
};

class Skylane : public PlugBinding {
 public:
  explicit Skylane(PlugInstanceInfo instanceInfo);
  // Stops and joins both threads; returns promptly in every link state.
  ~Skylane() override;

  // Drops a running link; the watch thread reconnects.
  void Reset() override;
  void OnParamChange(int paramIdx) override;
  // The channel names a host shows for the "Channel" values.
  const char* GetParamValueName(int paramIdx, int value) override;
  void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

  // Starts a receive thread unless the link is up.
  void Connect();

  // The texts the editor shows (device k and channel k for k = 0-3).
  const StatusText& StatusLine() const { return mStatusText; }
  const StatusText& AudioStateLine() const { return mAudioStateText; }
  const StatusText& DebugLine1() const { return mDebugText1; }
  const StatusText& DebugLine2() const { return mDebugText2; }
  const StatusText& DeviceNameLine(int k) const { return mDeviceNameText[k & 3]; }
  const StatusText& ChannelNameLine(int k) const { return mChannelNameText[k & 3]; }
  // Not displayed: the last link event and the relay's last message.
  const StatusText& LastEvent() const { return mLastEvent; }
  const StatusText& RelayMessage() const { return mRelayMessage; }
  const DeviceTable& Devices() const { return mDevices; }
  const SampleFifo& Fifo() const { return mFifo; }
  // The queue the receive thread fills; tests and benchmarks feed it directly.
  PlayQueue& Queue() { return mQueue; }
  SkylaneStatus Status() const;

 private:
  class Receiver;

  // Makes the editor and its controls and attaches it (skylane_editor.cpp).
  void BuildEditor();
  void StartWatchThread();
  void reconnectionThread();
  bool WatchTick();
  void DropChangedStream();
  void ShowLinkStatus();
  void ShowCounters();
  // Latches the device button of the streamed device's row while the link is up.
  void ShowStreamedDevice();
  void audiothread();
  bool SendRequestAndPublish(int fd, int sendLimit, int deviceId, int channel);
  // Records why the stream ended; stalled: the relay sent nothing for too long.
  void RecordStreamEnd(const StreamEnd& end, int createdSocket, bool stalled);
  bool Cancelled() const { return mStop.Raised() || !mLinkUp.load(); }
  void SendEffectsLoopSetting(int value);
  // A device button: picks table entry index and, when it exists, requests its device.
  void SelectDevice(int index);
  void UpdateRatios(float rate);
  void RenderFifo(double** outputs, int nFrames);
  void fullUpdateUI();
  void updateUI(int i, int k);

  const RelaySettings mSettings;
  StopSignal mStop;
  std::thread mWatchThread;
  std::thread mAudioThread;
  std::atomic<int> mRequestedChannel{0};
  std::atomic<int> mSelectedDevice{-1};
  std::atomic<int> mRequestedDeviceId{0};
  std::atomic<int> mStreamChannel{0};
  std::atomic<int> mStreamDeviceId{0};
  std::atomic<int> mEffectsLoop{0};
  // Orders effects-loop settings against a new link: the request carries the
  // setting and the socket is published in one step, so every setting reaches
  // the relay exactly once. Never taken by the audio thread.
  std::mutex mLoopSettingMutex;
  RelayLink mSocket;
  std::atomic<int> mWatchTicks{0};
  std::atomic<int> mLinkUp{0};
  std::atomic<int> mProcessCalls{0};
  std::atomic<int> mConnections{0};
  StatusText mStatusText{"Disconnected"};
  StatusText mDebugText1{"----"};
  StatusText mDebugText2{"----"};
  StatusText mAudioStateText{""};
  StatusText mDeviceNameText[4] = {StatusText("--"), StatusText("--"), StatusText("--"),
                                   StatusText("--")};
  StatusText mChannelNameText[4] = {StatusText("--"), StatusText("--"), StatusText("--"),
                                    StatusText("--")};
  StatusText mRelayMessage{""};
  StatusText mLastEvent{"No message"};
  SampleFifo mFifo;
  PlayQueue mQueue{mFifo};
  Resampler mReceiveResampler;
  Resampler mSendResampler;
  DeviceTable mDevices;
  // The editor's device buttons (rows 0-3), made with the editor.
  IContactControl* mDeviceButtons[4] = {};
  EffectsLoopSender mEffectsSender;
  float mPacket[2 * kMaxPacketFrames];
  float mExtraction[2 * kMaxPacketFrames];
};
