#include "tool_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern char** environ;

namespace {

std::vector<std::string> Environment(const std::string& pluginLog) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    if (std::string(*e).rfind("TEST_PLUGIN_LOG=", 0) != 0) env.push_back(*e);
  }
  if (!pluginLog.empty()) env.push_back("TEST_PLUGIN_LOG=" + pluginLog);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>* strings) {
  std::vector<char*> p;
  for (std::string& s : *strings) p.push_back(&s[0]);
  p.push_back(nullptr);
  return p;
}

void SleepMs(long ms) {
  timespec t{ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&t, nullptr);
}

}  // namespace

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

bool WaitFor(const std::function<bool()>& condition, double deadlineSeconds) {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::duration<double>(deadlineSeconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    SleepMs(5);
  }
  return true;
}

HostProcess::HostProcess(const std::vector<std::string>& args, const std::string& pluginLog,
                         const std::string& folder) {
  std::vector<std::string> env = Environment(pluginLog);
  std::vector<std::string> all = {SKYLANE_HOST_EXE};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> envp = Pointers(&env), argv = Pointers(&all);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, scratch_.File("stdout").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, scratch_.File("stderr").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  // The child starts with the default reactions to Ctrl-C and SIGTERM, even
  // when the test runs where they are ignored.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGINT);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data()) == 0) pid_ = pid;
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
}

HostProcess::~HostProcess() {
  if (pid_ <= 0) return;
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

void HostProcess::Signal(int signal) const {
  if (pid_ > 0) kill(pid_, signal);
}

ToolResult HostProcess::Wait(double deadlineSeconds) {
  ToolResult result;
  int status = 0;
  const bool exited =
      pid_ > 0 && WaitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, deadlineSeconds);
  if (exited) {
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.killedBy = WTERMSIG(status);
    pid_ = -1;
  }
  result.out = ReadText(scratch_.File("stdout"));
  result.err = ReadText(scratch_.File("stderr"));
  return result;
}

ToolResult RunHost(const std::vector<std::string>& args, const std::string& pluginLog,
                   const std::string& folder) {
  HostProcess host(args, pluginLog, folder);
  return host.Wait();
}
