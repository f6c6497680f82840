#include "plugin/device_table.h"

#include <cstdio>
#include <cstring>

namespace {

void setText(char* dest, const char* text) {
  snprintf(dest, kDeviceTextSize, "%s", text ? text : "");
}

}  // namespace

DeviceTable::DeviceTable() {
  for (DeviceEntry& entry : mDevices) {
    entry.id = kNoDeviceId;
    setText(entry.name, "--");
    for (char* channel : entry.channelNames) setText(channel, "--");
  }
}

void DeviceTable::Announce(int32_t id, const char* name) {
  std::lock_guard<std::mutex> lock(mMutex);
  bool known = false;
  for (int i = 0; i < mDeviceCount; ++i) {
    if (mDevices[i].id != id) continue;
    setText(mDevices[i].name, name);
    mAnnouncedOn[i] = mConnection;
    known = true;
  }
  if (known || mDeviceCount >= kMaxDevices) return;
  mAnnouncedOn[mDeviceCount] = mConnection;
  DeviceEntry& entry = mDevices[mDeviceCount++];
  entry.id = id;
  setText(entry.name, name);
  for (int k = 0; k < 4; ++k) snprintf(entry.channelNames[k], kDeviceTextSize, "TR%d", k);
}

void DeviceTable::NameChannel(int32_t id, int32_t channel, const char* name) {
  if (static_cast<uint32_t>(channel) >= 4) return;
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mDeviceCount; ++i) {
    if (mDevices[i].id == id) setText(mDevices[i].channelNames[channel], name);
  }
}

void DeviceTable::BeginConnection() {
  std::lock_guard<std::mutex> lock(mMutex);
  ++mConnection;
}

bool DeviceTable::AnnouncedOnConnection(int i) const {
  std::lock_guard<std::mutex> lock(mMutex);
  return i >= 0 && i < mDeviceCount && mAnnouncedOn[i] == mConnection;
}

int DeviceTable::FirstAnnouncedOnConnection() const {
  std::lock_guard<std::mutex> lock(mMutex);
  for (int i = 0; i < mDeviceCount; ++i) {
    if (mAnnouncedOn[i] == mConnection) return i;
  }
  return -1;
}

int DeviceTable::Count() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mDeviceCount;
}

int32_t DeviceTable::IdAt(int i) const {
  std::lock_guard<std::mutex> lock(mMutex);
  return i >= 0 && i < mDeviceCount ? mDevices[i].id : kNoDeviceId;
}

bool DeviceTable::Get(int i, DeviceEntry* out) const {
  if (i < 0 || i >= kMaxDevices || !out) return false;
  std::lock_guard<std::mutex> lock(mMutex);
  std::memcpy(out, &mDevices[i], sizeof *out);
  return true;
}
