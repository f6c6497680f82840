// ReceivedStream: what the plug-in does with the relay's stream. Audio is
// resampled from 44100 Hz to the host rate (packets of any size; frames too few
// for the resampler wait for the next packet) and queued in the FIFO; control
// messages update the device table and keep the relay's last message text.
// Audio of a stream that KeepReading no longer accepts is never queued.
#pragma once

#include "plugin/device_table.h"
#include "plugin/play_queue.h"
#include "plugin/relay_stream.h"
#include "plugin/resample_feed.h"
#include "plugin/resampler.h"
#include "plugin/status_text.h"

class ReceivedStream : public StreamHandler {
 public:
  ReceivedStream(DeviceTable& devices, PlayQueue& queue, Resampler& resampler,
                 StatusText& relayMessage)
      : mDevices(devices), mQueue(queue), mResampler(resampler), mRelayMessage(relayMessage) {}

  void OnAudio(const float* interleaved, int frames) override;
  void OnControl(const ControlMessage& message) override;
  bool KeepReading() override { return true; }

 private:
  DeviceTable& mDevices;
  PlayQueue& mQueue;
  Resampler& mResampler;
  StatusText& mRelayMessage;
  ResampleFeed mFeed;
};
