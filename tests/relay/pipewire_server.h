// A private PipeWire for a test: its own runtime folder (and D-Bus session,
// which the session manager wants), pipewire and wireplumber started and
// stopped by the test; null sinks made and removed with pw-cli, the default
// chosen with pw-metadata, a known tone played with pw-cat.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace relay_test {

// Whether the programs the tests need are installed (tests skip otherwise).
bool PipeWireInstalled();

class PrivatePipeWire {
 public:
  // Makes the runtime folder and points this process and its children at it.
  // Nothing runs yet.
  PrivatePipeWire();
  // Stops everything and removes the folder.
  ~PrivatePipeWire();
  PrivatePipeWire(const PrivatePipeWire&) = delete;
  PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

  // Starts pipewire and wireplumber and waits until the session manager has
  // made the default metadata; false after a generous deadline.
  bool Start();
  // Ends both at once, as a crash would.
  void Kill();

  // A null sink (an output device whose monitor plays what it is fed); waits
  // until it is there.
  bool AddSink(const std::string& name);
  // Removes a node by name.
  bool RemoveNode(const std::string& name);
  // A virtual input device (a microphone as a program offers it); what is
  // fed into it is what it captures.
  bool AddSource(const std::string& name);
  // Makes the sink the desktop's default output, or the source its default
  // input, as the sound settings do.
  bool SetDefaultSink(const std::string& name);
  bool SetDefaultSource(const std::string& name);

  // Plays a 1000 Hz sine at 0.5 left and a 1500 Hz sine at 0.25 right into
  // the sink, with the given quantum; stops the previous player.
  bool Play(const std::string& sink, int quantum);
  // The same tone fed into a virtual source, linked port by port.
  bool PlayInto(const std::string& source, int quantum);
  void StopPlaying();

  // What the servers printed, for a failure's message.
  std::string Log() const;

  static constexpr double kLeftHz = 1000, kLeftLevel = 0.5;
  static constexpr double kRightHz = 1500, kRightLevel = 0.25;

 private:
  pid_t Spawn(const std::vector<std::string>& argv);
  bool Run(const std::vector<std::string>& argv, std::string* output = nullptr);
  bool WaitNode(const std::string& name, bool present);
  bool SetDefault(const std::string& key, const std::string& name);

  std::string dir_;
  std::string tone_;
  pid_t dbus_ = -1, pipewire_ = -1, wireplumber_ = -1, player_ = -1;
};

}  // namespace relay_test
