#include "tests/relay/jack_server.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace relay_test {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr int kStartDeadlineMs = 20000;
constexpr int kStopDeadlineMs = 10000;

void Quiet(const char*) {}

jack_client_t* OpenClient(const char* name) {
  jack_set_error_function(Quiet);
  jack_set_info_function(Quiet);
  return jack_client_open(name, JackNoStartServer, nullptr);
}

}  // namespace

bool JackdInstalled() { return access("/usr/bin/jackd", X_OK) == 0; }

PrivateJackServer::PrivateJackServer() {
  static std::atomic<int> count{0};
  name_ = "skylane-test-" + std::to_string(getpid()) + "-" + std::to_string(count++);
  log_ = "/tmp/" + name_ + ".log";
  setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
}

PrivateJackServer::~PrivateJackServer() {
  Stop();
  unlink(log_.c_str());
}

bool PrivateJackServer::Start() {
  pid_ = fork();
  if (pid_ == 0) {
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
  client_ = OpenClient("player");
  if (!client_) return false;
  rate_ = jack_get_sample_rate(client_);
  frame_ = 0;
  ports_[0] = jack_port_register(client_, "out_l", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  ports_[1] = jack_port_register(client_, "out_r", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
  return ports_[0] && ports_[1] &&
         jack_set_process_callback(client_, &TonePlayer::Process, this) == 0 &&
         jack_activate(client_) == 0;
}

void TonePlayer::Close() {
  if (client_) jack_client_close(client_);
  client_ = nullptr;
}

std::string TonePlayer::port(int side) const {
  return std::string("player:") + (side == 0 ? "out_l" : "out_r");
}

int TonePlayer::Process(unsigned frames, void* self) {
  auto* player = static_cast<TonePlayer*>(self);
  auto* left = static_cast<float*>(jack_port_get_buffer(player->ports_[0], frames));
  auto* right = static_cast<float*>(jack_port_get_buffer(player->ports_[1], frames));
  for (unsigned i = 0; i < frames; ++i, ++player->frame_) {
    const double t = player->frame_ / player->rate_;
    left[i] = static_cast<float>(kLeftLevel * std::sin(2 * kPi * kLeftHz * t));
    right[i] = static_cast<float>(kRightLevel * std::sin(2 * kPi * kRightHz * t));
  }
  return 0;
}

}  // namespace relay_test
