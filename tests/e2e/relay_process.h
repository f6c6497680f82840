// skylane-relay run as a child process: started on a free port (or a given
// one), its device listing read from the start-up lines, stopped or killed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/child_process.h"

struct RelayDevice {
  uint32_t id = 0;
  std::string name;
};

class RelayProcess {
 public:
  // Starts exe with the source arguments on port (0: a free one) and waits for
  // its listening line. False with *error when it does not come up.
  bool Start(const std::string& exe, const std::vector<std::string>& sources, int port,
             std::string* error);
  // Starts the same relay again on the same port (after Kill or Stop).
  bool Restart(std::string* error);
  // SIGKILL, as a crash would end it.
  void Kill();
  // SIGTERM; true when it exits cleanly.
  bool Stop();

  int port() const { return port_; }
  const std::vector<RelayDevice>& devices() const { return devices_; }
  // Id of the device with this name, 0 when there is none.
  uint32_t DeviceId(const std::string& name) const;
  pid_t pid() const { return child_.pid(); }
  const std::string& output() const { return child_.output(); }

 private:
  std::string exe_;
  std::vector<std::string> sources_;
  int port_ = 0;
  std::vector<RelayDevice> devices_;
  ChildProcess child_;
};
