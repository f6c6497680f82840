// The skylane-relay executable run as a child process by a test.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace relay_test {

// A child process with pipes on its standard input, output and error.
class Relay {
 public:
  explicit Relay(std::vector<std::string> args) {
    int in[2], out[2], err[2];
    if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);  // never outlives a test that crashed
      dup2(in[0], 0);
      dup2(out[1], 1);
      dup2(err[1], 2);
      for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
      std::vector<char*> argv = {const_cast<char*>(SKYLANE_RELAY_PATH)};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    stdin_ = in[1];
    stdout_ = out[0];
    stderr_ = err[0];
  }
  ~Relay() {
    if (pid_ > 0 && !exited_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    for (int fd : {stdin_, stdout_, stderr_})
      if (fd >= 0) close(fd);
  }

  // Reads standard output up to the end of the next line.
  std::string ReadLine(int timeoutMs = 5000) {
    std::string line;
    char c;
    while (Readable(stdout_, timeoutMs) && read(stdout_, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  // The port from the first line, "skylane-relay listening on 127.0.0.1:PORT ...".
  int ReadPort() {
    const std::string line = ReadLine();
    const size_t colon = line.find("127.0.0.1:");
    return colon == std::string::npos ? -1 : std::atoi(line.c_str() + colon + 10);
  }
  // Waits for the exit (and reads what is left); returns the exit code or -1.
  int Wait(int timeoutMs = 5000) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
      int status;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exited_ = true;
        output_ = Drain(stdout_);
        errors_ = Drain(stderr_);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  void Signal(int sig) { kill(pid_, sig); }
  int stdinFd() const { return stdin_; }
  void CloseStdin() {
    close(stdin_);
    stdin_ = -1;
  }
  const std::string& output() const { return output_; }
  const std::string& errors() const { return errors_; }

 private:
  static bool Readable(int fd, int timeoutMs) {
    pollfd p = {fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
  }
  static std::string Drain(int fd) {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while (Readable(fd, 100) && (n = read(fd, buffer, sizeof buffer)) > 0)
      text.append(buffer, static_cast<size_t>(n));
    return text;
  }

  pid_t pid_ = -1;
  bool exited_ = false;
  int stdin_ = -1, stdout_ = -1, stderr_ = -1;
  std::string output_, errors_;
};

}  // namespace relay_test
