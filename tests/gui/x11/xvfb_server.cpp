#include "tests/gui/x11/xvfb_server.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

int MsLeft(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? (int)left.count() : 0;
}

}  // namespace

bool XvfbServer::Start(int timeoutMs) {
  Stop();
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    mError = "pipe failed";
    return false;
  }
  mPid = fork();
  if (mPid == 0) {
    // The child keeps only the write end, as the descriptor Xvfb reports on.
    dup2(fds[1], 3);
    const int devNull = open("/dev/null", O_RDWR);
    if (devNull >= 0) {
      dup2(devNull, 1);
      dup2(devNull, 2);
    }
    execlp("Xvfb", "Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
           "-noreset", (char*)nullptr);
    _exit(127);
  }
  close(fds[1]);
  if (mPid < 0) {
    close(fds[0]);
    mError = "fork failed";
    return false;
  }
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string number;
  char c;
  while (MsLeft(deadline) > 0) {
    pollfd p = {fds[0], POLLIN, 0};
    if (poll(&p, 1, MsLeft(deadline)) <= 0) continue;
    const ssize_t n = read(fds[0], &c, 1);
    if (n <= 0 || c == '\n') break;
    number += c;
  }
  close(fds[0]);
  if (number.empty()) {
    mError = "Xvfb did not report a display (is it installed?)";
    Stop();
    return false;
  }
  mName = ":" + number;
  // Ready once a client can connect.
  while (MsLeft(deadline) > 0) {
    Display* pDisplay = XOpenDisplay(mName.c_str());
    if (pDisplay) {
      XCloseDisplay(pDisplay);
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  mError = "Xvfb did not accept connections on " + mName;
  Stop();
  return false;
}

void XvfbServer::Stop() {
  if (mPid > 0) {
    kill(mPid, SIGTERM);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(10);
    int status;
    while (waitpid(mPid, &status, WNOHANG) == 0) {
      if (MsLeft(deadline) == 0) {
        kill(mPid, SIGKILL);
        waitpid(mPid, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  mPid = -1;
  mName.clear();
}
