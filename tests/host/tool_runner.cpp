#include "tool_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

ScratchDir::ScratchDir() {
  char pattern[] = "/tmp/skylane-host-test-XXXXXX";
  const char* made = mkdtemp(pattern);
  path_ = made ? made : "/tmp";
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}

std::string TestPlugin(const std::string& name) {
  return std::string(TEST_PLUGIN_DIR) + "/" + name + ".so";
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<uint8_t> ReadBinary(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinary(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

ToolResult RunHost(const std::vector<std::string>& args, const std::string& pluginLog) {
  ScratchDir scratch;
  const std::string outPath = scratch.File("stdout"), errPath = scratch.File("stderr");
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("TEST_PLUGIN_LOG=", 0) != 0) env.push_back(*e);
  }
  if (!pluginLog.empty()) env.push_back("TEST_PLUGIN_LOG=" + pluginLog);
  std::vector<char*> envp, argv;
  for (std::string& e : env) envp.push_back(&e[0]);
  envp.push_back(nullptr);
  std::vector<std::string> all = {SKYLANE_HOST_EXE};
  all.insert(all.end(), args.begin(), args.end());
  for (std::string& a : all) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  ToolResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
    int status = 0;
    if (waitpid(pid, &status, 0) == pid) {
      result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadText(outPath);
  result.err = ReadText(errPath);
  return result;
}
