// The watch thread: once a tick it drops a stream whose device or channel
// changed, reconnects when the link is down and refreshes the status texts.

#include "gui/controls/switches.h"
#include "plugin/skylane.h"

void Skylane::reconnectionThread() {
  mWatchTicks.store(0);
  if (!mStop.SleepFor(mSettings.tickMs)) return;
  while (WatchTick()) {
  }
}

// One round; false once the instance is stopping.
bool Skylane::WatchTick() {
  DropChangedStream();
  ShowLinkStatus();
  fullUpdateUI();
  ShowStreamedDevice();
  mAudioStateText.Set(mProcessCalls.load() != 0 ? "Audio flowing" : "!! AUDIO MUTED");
  ShowCounters();
  if (mWatchTicks.load() > 3 && !mLinkUp.load()) {
    Connect();
    if (!mStop.SleepFor(mSettings.tickMs)) return false;
  }
  if (mLinkUp.load()) {
    mDebugText2.Format("[%d:%d]:<%x><%x>%d:%d", mSelectedDevice.load(), mStreamChannel.load(),
                       static_cast<unsigned>(mRequestedDeviceId.load()),
                       static_cast<unsigned>(mStreamDeviceId.load()),
                       static_cast<unsigned>(mRequestedDeviceId.load()), mDevices.Count());
  }
  mWatchTicks.fetch_add(1);
  mProcessCalls.store(0);
  return mStop.SleepFor(mSettings.tickMs);
}

void Skylane::DropChangedStream() {
  if (!mLinkUp.load()) return;
  if (mRequestedChannel.load() == mStreamChannel.load() &&
      mRequestedDeviceId.load() == mStreamDeviceId.load())
    return;
  // The emptying is requested before the socket goes, so that whoever sees the
  // connection end also sees the request.
  mLinkUp.store(0);
  mQueue.RequestEmpty();
  mSocket.Shutdown();
}

// A device counts as present only when the current connection announced it:
// the table keeps the names of devices an earlier relay run had.
void Skylane::ShowLinkStatus() {
  if (!mLinkUp.load()) {
    mStatusText.Set("Not connected");
    return;
  }
  const int count = mDevices.Count();
  for (int i = 0; i < count; ++i) {
    if (mDevices.IdAt(i) == mRequestedDeviceId.load()) mSelectedDevice.store(i);
  }
  const int first = mDevices.FirstAnnouncedOnConnection();
  if (first >= 0 && mRequestedDeviceId.load() == 0) {
    const int id = mDevices.IdAt(first);
    mRequestedDeviceId.store(id);
    mStreamDeviceId.store(id);
    mSelectedDevice.store(first);
  }
  const int selected = mSelectedDevice.load();
  DeviceEntry entry;
  if (selected < 0 || selected >= count || !mDevices.AnnouncedOnConnection(selected) ||
      !mDevices.Get(selected, &entry)) {
    mStatusText.Set("Prior device not found");
    return;
  }
  mStatusText.Format("Connected: %s - %s", entry.name,
                     entry.channelNames[mStreamChannel.load() & 3]);
}

void Skylane::ShowStreamedDevice() {
  int row = -1;
  if (mLinkUp.load()) {
    for (int i = 0; i < 4; ++i) {
      if (mDevices.IdAt(i) == mStreamDeviceId.load() && mDevices.AnnouncedOnConnection(i)) row = i;
    }
  }
  for (int k = 0; k < 4; ++k) {
    if (mDeviceButtons[k]) mDeviceButtons[k]->SetLatched(k == row);
  }
}

void Skylane::ShowCounters() {
  const float ratio = mSendResampler.ratio.load(std::memory_order_relaxed);
  mDebugText1.Format("f:%d %x %x %d lc%d m%d b%d con%d lav%d X:%d R%d", mProcessCalls.load(),
                     static_cast<unsigned>(mRequestedDeviceId.load()),
                     static_cast<unsigned>(mStreamDeviceId.load()), mFifo.lastInsert.load(),
                     mFifo.target.load(), mFifo.underflows.load(), mFifo.trims.load(),
                     mConnections.load(), mFifo.minFill.load(), mEffectsLoop.load(),
                     ratio != 1.0f ? 1 : 0);
}

void Skylane::fullUpdateUI() {
  if (!mLinkUp.load()) return;
  const int count = mDevices.Count();
  for (int i = 0; i < count; ++i) {
    updateUI(i, -1);
    if (mDevices.IdAt(i) == mStreamDeviceId.load() || i == mSelectedDevice.load()) {
      for (int k = 0; k < 4; ++k) updateUI(i, k);
    }
  }
}

void Skylane::updateUI(int i, int k) {
  DeviceEntry entry;
  if (!mDevices.Get(i, &entry)) return;
  if (i >= 0 && i <= 3) mDeviceNameText[i].Set(entry.name);
  if (k >= 0 && k <= 3) mChannelNameText[k].Set(entry.channelNames[k]);
}
