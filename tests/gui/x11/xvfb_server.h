// XvfbServer: a private virtual X server for tests and benchmarks. It picks a
// free display number itself (-displayfd), listens on no TCP port, runs no
// window manager, and is stopped (and waited for) by the destructor.
#pragma once

#include <string>
#include <sys/types.h>

class XvfbServer {
 public:
  XvfbServer() = default;
  ~XvfbServer() { Stop(); }
  XvfbServer(const XvfbServer&) = delete;
  XvfbServer& operator=(const XvfbServer&) = delete;

  // Starts the server and waits (up to timeoutMs) until it accepts
  // connections; false with a reason in Error() otherwise.
  bool Start(int timeoutMs = 20000);
  void Stop();
  // ":N", or empty when not running.
  const std::string& DisplayName() const { return mName; }
  const std::string& Error() const { return mError; }

 private:
  pid_t mPid = -1;
  std::string mName;
  std::string mError;
};
