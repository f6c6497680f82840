// Runs skylane-host as a child process for the end-to-end tests.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct ToolResult {
  int exitCode = -1;  // -1 when it did not exit by itself
  int killedBy = 0;   // the signal that ended it, if one did
  std::string out;
  std::string err;
};

// A scratch folder removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// skylane-host running in the background, its output going to scratch files.
class HostProcess {
 public:
  // Starts skylane-host with `args` in `folder` (empty: the test's own);
  // `pluginLog`, when given, becomes the test plug-in's event log
  // (TEST_PLUGIN_LOG).
  HostProcess(const std::vector<std::string>& args, const std::string& pluginLog = "",
              const std::string& folder = "");
  // Kills a child that was not waited for.
  ~HostProcess();
  HostProcess(const HostProcess&) = delete;
  HostProcess& operator=(const HostProcess&) = delete;

  bool started() const { return pid_ > 0; }
  void Signal(int signal) const;
  // Waits for the exit; a child still running after `deadlineSeconds` is
  // killed and reported with exit code -1.
  ToolResult Wait(double deadlineSeconds = 120.0);

 private:
  ScratchDir scratch_;
  pid_t pid_ = -1;
};

// Runs skylane-host with `args` to its end (see HostProcess).
ToolResult RunHost(const std::vector<std::string>& args, const std::string& pluginLog = "",
                   const std::string& folder = "");

// Polls `condition` every few milliseconds until it holds or `deadlineSeconds`
// pass; returns whether it held.
bool WaitFor(const std::function<bool()>& condition, double deadlineSeconds = 30.0);

// Path of a test plug-in variant, e.g. "test_plugin_params".
std::string TestPlugin(const std::string& name);

std::string ReadText(const std::string& path);
std::vector<uint8_t> ReadBinary(const std::string& path);
void WriteBinary(const std::string& path, const std::vector<uint8_t>& bytes);
