// A program started as a child process: its standard output is read line by
// line, extra environment variables can be given, and it is always reaped.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  // Kills and reaps a child still running.
  ~ChildProcess();

  // Starts argv[0] with the arguments; env entries ("NAME=VALUE") are added to
  // this process's environment. Standard error is inherited. A child that
  // has ended may be followed by the next one.
  bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env = {});
  // Reads the next line of standard output within timeoutMs; false at the end
  // of the output or on timeout.
  bool ReadLine(std::string* line, int timeoutMs);
  // Sends the signal (if still running) and waits up to timeoutMs for the exit.
  // Returns the exit status, 128 + signal for a killed child, -1 on timeout.
  int Stop(int signal, int timeoutMs);
  // Waits up to timeoutMs for the exit, reading and keeping the output meanwhile.
  int Wait(int timeoutMs);
  bool Running() const { return pid_ > 0 && status_ < 0; }
  pid_t pid() const { return pid_; }
  // Every line read so far, each ending in a newline.
  const std::string& output() const { return output_; }

 private:
  bool Readable(int timeoutMs) const;
  bool Reap(bool block);

  pid_t pid_ = -1;
  int stdout_ = -1;
  int status_ = -1;
  std::string pending_;
  std::string output_;
};
