// What the end-to-end suites share: the programs under test, scratch files,
// the environment that points Skylane at a test relay with short ticks, and
// a skylane-host run.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/child_process.h"

constexpr int kTestTickMs = 50;
constexpr int kBlock = 512;

const char* PluginPath();
const char* RelayPath();
const char* HostPath();

// A path in the test's scratch folder, unique to this process.
std::string ScratchPath(const std::string& name);

// SKYLANE_RELAY_PORT and SKYLANE_TICK_MS for a plug-in started in a child process.
std::vector<std::string> PluginEnv(int port);
// The same, set in this process for instances loaded here.
void SetPluginEnv(int port);

// Starts skylane-host running Skylane.so at rate for seconds into output,
// with 512-frame blocks and the extra arguments.
bool StartHost(ChildProcess* host, int port, double rate, double seconds, const std::string& output,
               const std::vector<std::string>& extra);
