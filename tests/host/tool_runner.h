// Runs skylane-host as a child process for the end-to-end tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ToolResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// A scratch folder removed with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Runs skylane-host with `args`; `pluginLog`, when given, becomes the test
// plug-in's event log (TEST_PLUGIN_LOG).
ToolResult RunHost(const std::vector<std::string>& args, const std::string& pluginLog = "");

// Path of a test plug-in variant, e.g. "test_plugin_params".
std::string TestPlugin(const std::string& name);

std::string ReadText(const std::string& path);
std::vector<uint8_t> ReadBinary(const std::string& path);
void WriteBinary(const std::string& path, const std::vector<uint8_t>& bytes);
