#include "tests/e2e/e2e_env.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

const char* PluginPath() { return SKYLANE_PLUGIN_PATH; }
const char* RelayPath() { return SKYLANE_RELAY_PATH; }
const char* HostPath() { return SKYLANE_HOST_PATH; }

std::string ScratchPath(const std::string& name) {
  return ::testing::TempDir() + "skylane_e2e_" + std::to_string(getpid()) + "_" + name;
}

std::vector<std::string> PluginEnv(int port) {
  return {"SKYLANE_RELAY_PORT=" + std::to_string(port),
          "SKYLANE_TICK_MS=" + std::to_string(kTestTickMs)};
}

void SetPluginEnv(int port) {
  setenv("SKYLANE_RELAY_PORT", std::to_string(port).c_str(), 1);
  setenv("SKYLANE_TICK_MS", std::to_string(kTestTickMs).c_str(), 1);
}

bool StartHost(ChildProcess* host, int port, double rate, double seconds, const std::string& output,
               const std::vector<std::string>& extra) {
  std::vector<std::string> argv = {HostPath(),
                                   "--plugin",
                                   PluginPath(),
                                   "--rate",
                                   std::to_string(int(rate)),
                                   "--block",
                                   std::to_string(kBlock),
                                   "--seconds",
                                   std::to_string(seconds),
                                   "--output",
                                   output};
  argv.insert(argv.end(), extra.begin(), extra.end());
  return host->Start(argv, PluginEnv(port));
}
