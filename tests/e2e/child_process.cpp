#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace {

long NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return long(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

std::vector<char*> Pointers(std::vector<std::string>* texts) {
  std::vector<char*> p;
  for (std::string& t : *texts) p.push_back(&t[0]);
  p.push_back(nullptr);
  return p;
}

}  // namespace

ChildProcess::~ChildProcess() {
  if (Running()) Stop(SIGKILL, 5000);
  if (stdout_ >= 0) close(stdout_);
}

bool ChildProcess::Start(const std::vector<std::string>& argv,
                         const std::vector<std::string>& env) {
  if (Running() || argv.empty()) return false;
  // A child that has ended may be followed by a new one; its output is kept.
  if (stdout_ >= 0) close(stdout_);
  stdout_ = -1;
  pending_.clear();
  std::vector<std::string> args = argv;
  std::vector<std::string> vars(env);
  for (char** e = environ; *e; ++e) vars.emplace_back(*e);
  // Everything the child needs is built before fork: only exec follows it.
  std::vector<char*> argp = Pointers(&args);
  std::vector<char*> envp = Pointers(&vars);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(out[1], STDOUT_FILENO);
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  close(out[1]);
  if (pid_ < 0) {
    close(out[0]);
    return false;
  }
  stdout_ = out[0];
  status_ = -1;
  return true;
}

bool ChildProcess::Readable(int timeoutMs) const {
  pollfd p{stdout_, POLLIN, 0};
  return poll(&p, 1, timeoutMs) > 0;
}

bool ChildProcess::ReadLine(std::string* line, int timeoutMs) {
  const long deadline = NowMs() + timeoutMs;
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos) {
      *line = pending_.substr(0, end);
      output_ += pending_.substr(0, end + 1);
      pending_.erase(0, end + 1);
      return true;
    }
    const long left = deadline - NowMs();
    if (stdout_ < 0 || left <= 0 || !Readable(int(left))) return false;
    char buffer[4096];
    const ssize_t n = read(stdout_, buffer, sizeof buffer);
    if (n <= 0) return false;
    pending_.append(buffer, size_t(n));
  }
}

bool ChildProcess::Reap(bool block) {
  if (pid_ <= 0 || status_ >= 0) return true;
  int status = 0;
  const pid_t r = waitpid(pid_, &status, block ? 0 : WNOHANG);
  if (r != pid_) return false;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return true;
}

int ChildProcess::Wait(int timeoutMs) {
  const long deadline = NowMs() + timeoutMs;
  std::string line;
  while (!Reap(false)) {
    const long left = deadline - NowMs();
    if (left <= 0) return -1;
    // Draining the output keeps a chatty child from blocking on a full pipe.
    if (!ReadLine(&line, int(left < 20 ? left : 20))) usleep(2000);
  }
  while (ReadLine(&line, 0)) {
  }
  return status_;
}

int ChildProcess::Stop(int signal, int timeoutMs) {
  if (Running()) kill(pid_, signal);
  return Wait(timeoutMs);
}
