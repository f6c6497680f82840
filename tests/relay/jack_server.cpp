#include "tests/relay/jack_server.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace relay_test {

namespace {

constexpr int kStartDeadlineMs = 20000;
constexpr int kStopDeadlineMs = 10000;

void Quiet(const char*) {}

jack_client_t* OpenClient(const char* name) {
  jack_set_error_function(Quiet);
  jack_set_info_function(Quiet);
  return jack_client_open(name, JackNoStartServer, nullptr);
}

// JACK keeps a table of at most eight running servers in /dev/shm. A server
// that did not end cleanly (killed, or stopped under a client) stays in it and
// would fill it up over many runs; a server of the same name started and
// stopped again takes its entry back out.
bool RegistryNames(const std::string& name) {
  FILE* file = fopen("/dev/shm/jack-shm-registry", "rb");
  if (!file) return false;
  std::string bytes;
  for (int c; (c = fgetc(file)) != EOF;) bytes += static_cast<char>(c);
  fclose(file);
  return bytes.find(":" + name + ":") != std::string::npos;
}

}  // namespace

bool JackdInstalled() { return access("/usr/bin/jackd", X_OK) == 0; }

PrivateJackServer::PrivateJackServer() {
  static std::atomic<int> count{0};
  name_ = "skylane-test-" + std::to_string(getpid()) + "-" + std::to_string(count++);
  log_ = "/tmp/" + name_ + ".log";
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
}

// A client killed with its server leaves its semaphore in /dev/shm; every file
// there that names this run's server is this run's to remove.
PrivateJackServer::~PrivateJackServer() {
  Stop();
  if (RegistryNames(name_) && Start()) Stop();
  unlink(log_.c_str());
  if (DIR* shm = opendir("/dev/shm")) {
    const std::string mark = "_" + name_ + "_";
    while (const dirent* entry = readdir(shm))
      if (std::string(entry->d_name).find(mark) != std::string::npos)
        unlink(("/dev/shm/" + std::string(entry->d_name)).c_str());
    closedir(shm);
  }
}

bool PrivateJackServer::Start() {
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // never outlives a test that crashed
    const int log = open(log_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (log >= 0) {
      dup2(log, 1);
      dup2(log, 2);
    }
    // Synchronous: a late client makes a late cycle, never a cycle without it.
    execl("/usr/bin/jackd", "jackd", "--realtime", "--sync", "-n", name_.c_str(), "-d", "dummy",
          "-r", "48000", "-p", "256", static_cast<char*>(nullptr));
    _exit(127);
  }
  if (pid_ < 0) return false;
  for (int waited = 0; waited < kStartDeadlineMs; waited += 50) {
    if (jack_client_t* probe = OpenClient("skylane-test-probe")) {
      jack_client_close(probe);
      return true;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

std::string PrivateJackServer::Log() const {
  std::string text;
  if (FILE* file = fopen(log_.c_str(), "r")) {
    for (char line[512]; fgets(line, sizeof line, file);) text += line;
    fclose(file);
  }
  return text;
}

void PrivateJackServer::Kill() { Reap(SIGKILL); }

void PrivateJackServer::Stop() { Reap(SIGTERM); }

void PrivateJackServer::Reap(int signal) {
  if (pid_ <= 0) return;
  kill(pid_, signal);
  for (int waited = 0; waited < kStopDeadlineMs; waited += 10) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

TonePlayer::~TonePlayer() { Close(); }

bool TonePlayer::Start() {
  int out[2];
  if (pipe(out) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    dup2(out[1], 1);
    close(out[0]);
    close(out[1]);
    execl(SKYLANE_TONE_PLAYER_PATH, "tone_player", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  char ready[6] = {};
  size_t got = 0;
  for (const auto end =
           std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartDeadlineMs);
       got < 5 && std::chrono::steady_clock::now() < end;) {
    pollfd p = {out[0], POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    const ssize_t n = read(out[0], ready + got, 5 - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(out[0]);
  return pid_ > 0 && std::string(ready) == "ready";
}

void TonePlayer::Close() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace relay_test
