// The devices the relay has announced: up to 16 entries, each an ID, a name and
// four channel names. Entries outlive the connection that announced them, so
// the table also tells which entries the current connection has announced.
// The receive thread writes it; the watch thread and parameter changes read
// it. A small lock (never taken by the audio thread) keeps every reader from
// seeing a torn name.
#pragma once

#include <cstdint>
#include <mutex>

constexpr int kDeviceTextSize = 260;  // a name holds at most 259 characters
constexpr int kMaxDevices = 16;
constexpr int32_t kNoDeviceId = -999;

struct DeviceEntry {
  int32_t id;
  char name[kDeviceTextSize];
  char channelNames[4][kDeviceTextSize];
};

class DeviceTable {
 public:
  // Sixteen empty entries: ID -999, every text "--".
  DeviceTable();

  // Renames every used entry with this ID; an unknown ID is appended (channels
  // "TR0" to "TR3") while fewer than 16 entries are used.
  void Announce(int32_t id, const char* name);
  // Renames channel `channel` (0-3; others ignored) of every entry with this ID.
  void NameChannel(int32_t id, int32_t channel, const char* name);
  // A new connection starts: no entry counts as announced on it until the
  // relay announces that entry's device again.
  void BeginConnection();

  int Count() const;
  // ID of entry i, or kNoDeviceId outside the used entries.
  int32_t IdAt(int i) const;
  // Copies entry i (any of the 16) into out; false for an index outside 0-15.
  bool Get(int i, DeviceEntry* out) const;
  // Whether entry i was announced since the last BeginConnection.
  bool AnnouncedOnConnection(int i) const;
  // The first entry announced since the last BeginConnection, or -1.
  int FirstAnnouncedOnConnection() const;

 private:
  mutable std::mutex mMutex;
  DeviceEntry mDevices[kMaxDevices];
  int mDeviceCount = 0;
  // Connection number at which each entry was last announced (0: never).
  uint32_t mAnnouncedOn[kMaxDevices] = {};
  uint32_t mConnection = 1;
};
