#include "tests/relay/pipewire_server.h"

#include <fcntl.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "relay/pipewire_link.h"

namespace relay_test {

namespace {

constexpr int kDeadlineMs = 20000;
constexpr int kToneSeconds = 120;

bool Executable(const char* path) { return access(path, X_OK) == 0; }

void Reap(pid_t* pid, int signal) {
  if (*pid <= 0) return;
  kill(*pid, signal);
  for (int waited = 0; waited < kDeadlineMs; waited += 10) {
    if (waitpid(*pid, nullptr, WNOHANG) == *pid) {
      *pid = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(*pid, SIGKILL);
  waitpid(*pid, nullptr, 0);
  *pid = -1;
}

bool WriteTone(const std::string& path) {
  SF_INFO info = {};
  info.samplerate = 48000;
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return false;
  std::vector<float> frames(2 * 48000);
  const double pi = 3.141592653589793;
  for (long second = 0, frame = 0; second < kToneSeconds; ++second) {
    for (size_t i = 0; i < frames.size() / 2; ++i, ++frame) {
      frames[2 * i] =
          static_cast<float>(PrivatePipeWire::kLeftLevel *
                             std::sin(2 * pi * PrivatePipeWire::kLeftHz * frame / 48000));
      frames[2 * i + 1] =
          static_cast<float>(PrivatePipeWire::kRightLevel *
                             std::sin(2 * pi * PrivatePipeWire::kRightHz * frame / 48000));
    }
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(frames.size() / 2));
  }
  return sf_close(file) == 0;
}

}  // namespace

bool PipeWireInstalled() {
  for (const char* p :
       {"/usr/bin/pipewire", "/usr/bin/wireplumber", "/usr/bin/pw-cli", "/usr/bin/pw-cat",
        "/usr/bin/pw-metadata", "/usr/bin/pw-link", "/usr/bin/dbus-daemon"})
    if (!Executable(p)) return false;
  return true;
}

PrivatePipeWire::PrivatePipeWire() {
  char dir[] = "/tmp/skylane-pw-XXXXXX";
  if (mkdtemp(dir)) dir_ = dir;
  tone_ = dir_ + "/tone.wav";
  // The session manager keeps its choices in the state and config folders:
  // a run starts from none.
  setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  setenv("PIPEWIRE_RUNTIME_DIR", dir_.c_str(), 1);
  setenv("XDG_STATE_HOME", (dir_ + "/state").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
  setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir_ + "/bus").c_str(), 1);
  unsetenv("PIPEWIRE_REMOTE");
}

PrivatePipeWire::~PrivatePipeWire() {
  StopPlaying();
  Reap(&wireplumber_, SIGTERM);
  Reap(&pipewire_, SIGTERM);
  Reap(&dbus_, SIGTERM);
  if (!dir_.empty()) Run({"rm", "-rf", dir_});
}

pid_t PrivatePipeWire::Spawn(const std::vector<std::string>& argv) {
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that crashed
    const int log = open((dir_ + "/log").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  return pid;
}

bool PrivatePipeWire::Run(const std::vector<std::string>& argv, std::string* output) {
  const std::string out = dir_ + "/run.out";
  const pid_t pid = fork();
  if (pid == 0) {
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
      dup2(fd, 1);
      dup2(fd, 2);
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  if (output) {
    output->clear();
    if (FILE* f = fopen(out.c_str(), "r")) {
      for (char line[512]; fgets(line, sizeof line, f);) *output += line;
      fclose(f);
    }
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool PrivatePipeWire::Start() {
  if (dir_.empty() || (access(tone_.c_str(), R_OK) != 0 && !WriteTone(tone_))) return false;
  if (dbus_ <= 0)
    dbus_ = Spawn({"dbus-daemon", "--session", "--nofork", "--nopidfile",
                   "--address=unix:path=" + dir_ + "/bus"});
  pipewire_ = Spawn({"pipewire"});
  std::string error;
  std::vector<relay::PwNode> nodes;
  bool up = false;
  for (int waited = 0; waited < kDeadlineMs && !up; waited += 50) {
    up = relay::ListPipeWireNodes(&nodes, &error);
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (!up) return false;
  wireplumber_ = Spawn({"wireplumber"});
  std::string metadata;
  for (int waited = 0; waited < kDeadlineMs; waited += 100) {
    if (Run({"pw-metadata", "-n", "default", "0"}, &metadata) &&
        metadata.find("Found \"default\" metadata") != std::string::npos)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

void PrivatePipeWire::Kill() {
  StopPlaying();
  Reap(&wireplumber_, SIGKILL);
  Reap(&pipewire_, SIGKILL);
}

bool PrivatePipeWire::WaitNode(const std::string& name, bool present) {
  std::vector<relay::PwNode> nodes;
  std::string error;
  for (int waited = 0; waited < kDeadlineMs; waited += 50) {
    bool found = false;
    if (relay::ListPipeWireNodes(&nodes, &error))
      for (const relay::PwNode& n : nodes) found = found || n.name == name;
    if (found == present) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

bool PrivatePipeWire::AddSink(const std::string& name) {
  return Run({"pw-cli", "create-node", "adapter",
              "{ factory.name=support.null-audio-sink node.name=" + name +
                  " media.class=Audio/Sink object.linger=true audio.position=[FL FR] }"}) &&
         WaitNode(name, true);
}

bool PrivatePipeWire::RemoveNode(const std::string& name) {
  std::vector<relay::PwNode> nodes;
  std::string error;
  if (!relay::ListPipeWireNodes(&nodes, &error)) return false;
  for (const relay::PwNode& n : nodes)
    if (n.name == name)
      return Run({"pw-cli", "destroy", std::to_string(n.id)}) && WaitNode(name, false);
  return false;
}

bool PrivatePipeWire::AddSource(const std::string& name) {
  return Run({"pw-cli", "create-node", "adapter",
              "{ factory.name=support.null-audio-sink node.name=" + name +
                  " media.class=Audio/Source/Virtual object.linger=true audio.position=[FL FR] "
                  "}"}) &&
         WaitNode(name, true);
}

bool PrivatePipeWire::SetDefault(const std::string& key, const std::string& name) {
  return Run({"pw-metadata", "-n", "default", "0", key, "{ \"name\": \"" + name + "\" }",
              "Spa:String:JSON"});
}

bool PrivatePipeWire::SetDefaultSink(const std::string& name) {
  return SetDefault("default.configured.audio.sink", name);
}

bool PrivatePipeWire::SetDefaultSource(const std::string& name) {
  return SetDefault("default.configured.audio.source", name);
}

bool PrivatePipeWire::Play(const std::string& sink, int quantum) {
  StopPlaying();
  // It stays on its sink, as a player the user sent there would.
  player_ = Spawn({"pw-cat", "--playback", "--target", sink, "--latency", std::to_string(quantum),
                   "--properties", "{ node.dont-reconnect = true }", tone_});
  return player_ > 0;
}

// The session manager links players to sinks only: a source is fed by hand,
// once the player's ports are there.
bool PrivatePipeWire::PlayInto(const std::string& source, int quantum) {
  StopPlaying();
  player_ = Spawn({"pw-cat", "--playback", "--target", "0", "--latency", std::to_string(quantum),
                   "--properties", "{ node.name = skylane-feed }", tone_});
  if (player_ <= 0) return false;
  for (const char* channel : {"FL", "FR"}) {
    bool linked = false;
    for (int waited = 0; waited < kDeadlineMs && !linked; waited += 50) {
      linked = Run(
          {"pw-link", std::string("skylane-feed:output_") + channel, source + ":input_" + channel});
      if (!linked) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!linked) return false;
  }
  return true;
}

void PrivatePipeWire::StopPlaying() { Reap(&player_, SIGTERM); }

std::string PrivatePipeWire::Log() const {
  std::string text;
  if (FILE* file = fopen((dir_ + "/log").c_str(), "r")) {
    for (char line[512]; fgets(line, sizeof line, file);) text += line;
    fclose(file);
  }
  return text;
}

}  // namespace relay_test
