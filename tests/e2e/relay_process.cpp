#include "tests/e2e/relay_process.h"

#include <signal.h>

#include <cstdio>

namespace {

constexpr int kStartTimeoutMs = 5000;

// "device 1715004 (0x1a2b3c): (loopback) Name" or "device 1715004 (0x1a2b3c): Name".
bool ParseDevice(const std::string& line, RelayDevice* device) {
  unsigned id = 0;
  int used = 0;
  if (std::sscanf(line.c_str(), "device %u (0x%*x): %n", &id, &used) != 1 || used == 0)
    return false;
  std::string name = line.substr(size_t(used));
  const std::string loop = "(loopback) ";
  if (name.compare(0, loop.size(), loop) == 0) name.erase(0, loop.size());
  device->id = id;
  device->name = name;
  return true;
}

}  // namespace

bool RelayProcess::Start(const std::string& exe, const std::vector<std::string>& sources, int port,
                         std::string* error) {
  exe_ = exe;
  sources_ = sources;
  port_ = port;
  return Restart(error);
}

bool RelayProcess::Restart(std::string* error) {
  if (child_.Running()) child_.Stop(SIGKILL, kStartTimeoutMs);
  std::vector<std::string> argv = {exe_, "--port", std::to_string(port_)};
  argv.insert(argv.end(), sources_.begin(), sources_.end());
  if (!child_.Start(argv)) {
    *error = "cannot start " + exe_;
    return false;
  }
  std::string line;
  int listed = -1;
  if (!child_.ReadLine(&line, kStartTimeoutMs) ||
      std::sscanf(line.c_str(), "skylane-relay listening on 127.0.0.1:%d with %d", &port_,
                  &listed) != 2) {
    *error = "the relay did not start: " + line;
    child_.Stop(SIGKILL, kStartTimeoutMs);
    return false;
  }
  devices_.clear();
  RelayDevice device;
  while (int(devices_.size()) < listed && child_.ReadLine(&line, kStartTimeoutMs) &&
         ParseDevice(line, &device))
    devices_.push_back(device);
  if (int(devices_.size()) != listed) {
    *error = "the relay listed " + std::to_string(devices_.size()) + " of " +
             std::to_string(listed) + " devices";
    return false;
  }
  return true;
}

void RelayProcess::Kill() { child_.Stop(SIGKILL, kStartTimeoutMs); }

bool RelayProcess::Stop() { return child_.Stop(SIGTERM, kStartTimeoutMs) == 0; }

uint32_t RelayProcess::DeviceId(const std::string& name) const {
  for (const RelayDevice& d : devices_)
    if (d.name == name) return d.id;
  return 0;
}
