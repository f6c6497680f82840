#include "gui/desktop_open.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gui/find_program.h"

extern char** environ;

namespace {

constexpr const char* kOpener = "xdg-open";
constexpr int kStartTimeoutMs = 5000;

// "scheme:..." as in "https://..." or "mailto:...".
bool HasScheme(const char* target) {
  if (!isalpha(static_cast<unsigned char>(target[0]))) return false;
  const char* p = target + 1;
  while (isalnum(static_cast<unsigned char>(*p)) || *p == '+' || *p == '-' || *p == '.') ++p;
  return *p == ':';
}

bool Acceptable(const char* target) {
  if (!target || !target[0] || target[0] == '-') return false;
  struct stat st;
  return HasScheme(target) || stat(target, &st) == 0;
}

// In a forked child: only calls that are safe after fork in a threaded process.
[[noreturn]] void RunOpener(const char* opener, const char* target, int errorFd) {
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    char* argv[] = {const_cast<char*>(kOpener), const_cast<char*>(target), nullptr};
    execve(opener, argv, environ);
    const int error = errno;
    if (write(errorFd, &error, sizeof(error)) < 0) _exit(127);
    _exit(127);
  }
  _exit(pid < 0 ? 1 : 0);
}

// Waits (bounded) until the grandchild has started the opener (the pipe
// closes on exec) or reported why it could not.
bool StartConfirmed(int readFd) {
  struct pollfd pfd = {readFd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&pfd, 1, kStartTimeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready <= 0) return false;
  int error = 0;
  ssize_t n;
  do {
    n = read(readFd, &error, sizeof(error));
  } while (n < 0 && errno == EINTR);
  return n == 0;
}

}  // namespace

bool DesktopOpen(const char* target) {
  if (!Acceptable(target)) return false;
  const std::string opener = FindProgram(kOpener);
  if (opener.empty()) return false;
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    RunOpener(opener.c_str(), target, fds[1]);
  }
  close(fds[1]);
  bool started = false;
  if (child > 0) {
    int status = 0;
    pid_t reaped;
    do {
      reaped = waitpid(child, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    // A host that ignores SIGCHLD leaves nothing to reap; the pipe still tells.
    const bool forked = reaped < 0 || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    started = forked && StartConfirmed(fds[0]);
  }
  close(fds[0]);
  return started;
}
