#include "gui/x11/x11_file_prompt.h"

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "gui/find_program.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kTick = std::chrono::milliseconds(20);
constexpr auto kKillGrace = std::chrono::seconds(2);
constexpr size_t kMaxOutput = 64 * 1024;

struct Request {
  bool save = false;
  std::string start;  // the initial folder with a trailing '/', or a file path
  std::vector<std::string> types;
  unsigned long owner = 0;
};

// ---- paths and types ----

std::string HomeFolder() {
  const char* home = getenv("HOME");
  if (home && home[0]) return home;
  struct passwd entry;
  struct passwd* pFound = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &entry, buf, sizeof(buf), &pFound) == 0 && pFound && pFound->pw_dir) {
    return pFound->pw_dir;
  }
  return std::string();
}

std::string ExpandHome(const std::string& path) {
  if (path == "~" || path.compare(0, 2, "~/") == 0) return HomeFolder() + path.substr(1);
  return path;
}

std::string StartPath(const std::string& dir, const std::string& file) {
  std::string start = file;
  if (file.empty() || file[0] != '/') {
    start = dir;
    if (start.empty() || start.back() != '/') start += '/';
    start += file;
  }
  // A leading '-' would read as an option to the chooser.
  return start[0] == '-' ? "./" + start : start;
}

bool IsTypeChar(char c) {
  return isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '+' || c == '.';
}

// "fxp *.fxb .txt" -> fxp, fxb, txt; a word with other characters is dropped
// (it could not be given to a chooser's filter safely).
std::vector<std::string> SplitTypes(const char* extensions) {
  std::vector<std::string> types;
  const char* p = extensions ? extensions : "";
  while (*p) {
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    const char* end = p;
    while (*end && !isspace(static_cast<unsigned char>(*end))) ++end;
    std::string word(p, end);
    p = end;
    const size_t first = word.find_first_not_of("*.");
    if (first == std::string::npos) continue;
    word.erase(0, first);
    bool usable = true;
    for (char c : word) usable = usable && IsTypeChar(c);
    if (usable) types.push_back(word);
  }
  return types;
}

bool HasType(const std::string& name, const std::vector<std::string>& types) {
  if (types.empty()) return true;
  for (const std::string& type : types) {
    if (name.size() <= type.size() + 1) continue;
    const size_t dot = name.size() - type.size() - 1;
    if (name[dot] == '.' && strcasecmp(name.c_str() + dot + 1, type.c_str()) == 0) return true;
  }
  return false;
}

std::string Resolved(const std::string& path) {
  char* pReal = realpath(path.c_str(), nullptr);
  if (!pReal) return std::string();
  std::string real = pReal;
  free(pReal);
  return real;
}

// The existing file (not a folder) the chosen path leads to, or empty.
std::string OpenPath(const std::string& chosen, const std::vector<std::string>& types) {
  if (!HasType(chosen.substr(chosen.rfind('/') + 1), types)) return std::string();
  const std::string real = Resolved(chosen);
  struct stat st;
  if (real.empty() || stat(real.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::string();
  return real;
}

// The typed name in its resolved folder, with the first type added when the
// name has none of the types; empty when the folder does not exist.
std::string SavePath(const std::string& chosen, const std::vector<std::string>& types) {
  const size_t slash = chosen.rfind('/');
  std::string name = chosen.substr(slash + 1);
  if (name.empty()) return std::string();
  std::string folder = Resolved(slash == 0 ? "/" : chosen.substr(0, slash));
  if (folder.empty()) return std::string();
  if (!HasType(name, types)) name += "." + types.front();
  if (folder.back() != '/') folder += '/';
  return folder + name;
}

// ---- the chooser programs ----

std::string Joined(const std::vector<std::string>& types, const char* prefix) {
  std::string text;
  for (const std::string& type : types) text += (text.empty() ? "" : " ") + (prefix + type);
  return text;
}

const char* Title(const Request& request) { return request.save ? "Save File" : "Open File"; }

std::vector<std::string> ZenityArgs(const Request& request) {
  std::vector<std::string> args = {"zenity", "--file-selection", "--modal",
                                   std::string("--title=") + Title(request)};
  if (request.save) {
    args.push_back("--save");
    args.push_back("--confirm-overwrite");
  }
  args.push_back("--filename=" + request.start);
  if (!request.types.empty()) {
    args.push_back("--file-filter=" + Joined(request.types, "") + " | " +
                   Joined(request.types, "*."));
  }
  return args;
}

std::vector<std::string> KdialogArgs(const Request& request) {
  std::vector<std::string> args = {"kdialog", std::string("--title=") + Title(request)};
  if (request.owner) args.push_back("--attach=" + std::to_string(request.owner));
  args.push_back(request.save ? "--getsavefilename" : "--getopenfilename");
  args.push_back(request.start);
  if (!request.types.empty()) args.push_back(Joined(request.types, "*."));
  return args;
}

bool FindChooser(const Request& request, std::string* pProgram, std::vector<std::string>* pArgs) {
  *pProgram = FindProgram("zenity");
  if (!pProgram->empty()) {
    *pArgs = ZenityArgs(request);
    return true;
  }
  *pProgram = FindProgram("kdialog");
  if (!pProgram->empty()) *pArgs = KdialogArgs(request);
  return !pProgram->empty();
}

// ---- running the chooser ----

// Moves a descriptor above the standard ones so the child's dup2 calls never
// collide (a host may run with stdin or stdout closed). -1 stays -1.
int AboveStdio(int fd) {
  if (fd < 0 || fd > STDERR_FILENO) return fd;
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  close(fd);
  return moved;
}

// In the forked child of a possibly threaded process: only calls that are
// safe after fork. The chooser gets its own process group, so ending it also
// ends anything it started.
[[noreturn]] void ExecChooser(const char* program, char* const* argv, int nullFd, int outFd) {
  setpgid(0, 0);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &standard, nullptr);
  if (dup2(nullFd, STDIN_FILENO) < 0 || dup2(outFd, STDOUT_FILENO) < 0 ||
      dup2(nullFd, STDERR_FILENO) < 0) {
    _exit(127);
  }
  execve(program, argv, environ);
  _exit(127);
}

// Starts the chooser with its stdout on a pipe; the read end is returned
// non-blocking in *pOut.
pid_t Spawn(const std::string& program, const std::vector<std::string>& args, int* pOut) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int nullFd = AboveStdio(open("/dev/null", O_RDWR | O_CLOEXEC));
  int fds[2] = {-1, -1};
  if (nullFd < 0 || pipe2(fds, O_CLOEXEC) != 0) {
    if (nullFd >= 0) close(nullFd);
    return -1;
  }
  fds[0] = AboveStdio(fds[0]);
  fds[1] = AboveStdio(fds[1]);
  pid_t pid = -1;
  if (fds[0] >= 0 && fds[1] >= 0) pid = fork();
  if (pid == 0) ExecChooser(program.c_str(), argv.data(), nullFd, fds[1]);
  close(nullFd);
  if (fds[1] >= 0) close(fds[1]);
  if (pid < 0) {
    if (fds[0] >= 0) close(fds[0]);
    return -1;
  }
  setpgid(pid, pid);  // also here, so that a kill of the group never races the child
  fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
  *pOut = fds[0];
  return pid;
}

void SignalChooser(pid_t pid, int sig) {
  if (kill(-pid, sig) != 0) kill(pid, sig);
}

// Ends the chooser: SIGTERM, then SIGKILL when it is still there after the
// grace time. Reaps it.
void EndChooser(pid_t pid) {
  SignalChooser(pid, SIGTERM);
  const auto deadline = Clock::now() + kKillGrace;
  while (Clock::now() < deadline) {
    const pid_t reaped = waitpid(pid, nullptr, WNOHANG);
    if (reaped == pid || (reaped < 0 && errno == ECHILD)) return;
    poll(nullptr, 0, 10);
  }
  SignalChooser(pid, SIGKILL);
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

// Reads what the pipe holds now; false once it is at its end (or broken).
bool ReadAvailable(int fd, std::string* pOut) {
  char buf[4096];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof(buf));
    if (n > 0) {
      pOut->append(buf, static_cast<size_t>(n));
      if (pOut->size() > kMaxOutput) return false;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && errno == EAGAIN;
  }
}

struct Waiting {
  const std::function<void()>& whileWaiting;
  const std::function<bool()>& shouldStop;
};

// Runs the chooser to its end and collects its stdout; true when it ended
// well (exit status 0, or unknown because someone else reaped it and it
// printed something) without printing too much.
bool RunToEnd(pid_t pid, int outFd, const Waiting& waiting, std::string* pOut) {
  bool reading = true;
  auto nextTick = Clock::now() + kTick;
  for (;;) {
    int status = 0;
    const pid_t reaped = waitpid(pid, &status, WNOHANG);
    const bool gone = reaped == pid || (reaped < 0 && errno == ECHILD);
    if (gone && reading) ReadAvailable(outFd, pOut);
    if (pOut->size() > kMaxOutput) {
      if (!gone) EndChooser(pid);
      return false;
    }
    if (reaped == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (gone) return !pOut->empty();
    if (waiting.shouldStop && waiting.shouldStop()) {
      EndChooser(pid);
      return false;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(nextTick - Clock::now());
    struct pollfd pfd = {outFd, POLLIN, 0};
    const int timeoutMs = static_cast<int>(std::max<long long>(0, left.count()));
    if (poll(&pfd, reading ? 1 : 0, timeoutMs) > 0) reading = ReadAvailable(outFd, pOut);
    if (Clock::now() >= nextTick) {
      if (waiting.whileWaiting) waiting.whileWaiting();
      nextTick = Clock::now() + kTick;
    }
  }
}

bool RunChooser(const std::string& program, const std::vector<std::string>& args,
                const Waiting& waiting, std::string* pOut) {
  int outFd = -1;
  const pid_t pid = Spawn(program, args, &outFd);
  if (pid < 0) return false;
  const bool ok = RunToEnd(pid, outFd, waiting, pOut);
  close(outFd);
  return ok;
}

X11FilePromptResult Accept(const std::string& output, const Request& request, SkyString* pFile,
                           SkyString* pDir) {
  const std::string chosen = output.substr(0, output.find('\n'));
  if (chosen.empty() || chosen[0] != '/') return X11FilePromptResult::kCancelled;
  const std::string path =
      request.save ? SavePath(chosen, request.types) : OpenPath(chosen, request.types);
  if (path.empty()) return X11FilePromptResult::kCancelled;
  pFile->Set(path.c_str());
  if (pDir) pDir->Set(path.c_str(), static_cast<int>(path.rfind('/')) + 1);
  return X11FilePromptResult::kChosen;
}

}  // namespace

X11FilePromptResult X11PromptForFile(bool windowOpen, unsigned long ownerWindow, SkyString* pFile,
                                     EFileAction action, SkyString* pDir, const char* extensions,
                                     const std::function<void()>& whileWaiting,
                                     const std::function<bool()>& shouldStop) {
  const std::string initialFile = pFile ? pFile->Get() : "";
  if (pFile) pFile->Set("");
  if (!windowOpen) return X11FilePromptResult::kNoWindow;
  if (!pFile) return X11FilePromptResult::kCancelled;
  std::string dir = pDir ? pDir->Get() : "";
  if (dir.empty()) {
    dir = HomeFolder() + "/Desktop";
    if (pDir) pDir->Set(dir.c_str());
  }
  Request request;
  request.save = action == kFileSave;
  request.types = SplitTypes(extensions);
  request.owner = ownerWindow;
  request.start = StartPath(ExpandHome(dir), ExpandHome(initialFile));
  std::string program;
  std::vector<std::string> args;
  if (!FindChooser(request, &program, &args)) return X11FilePromptResult::kNoChooser;
  std::string output;
  if (!RunChooser(program, args, Waiting{whileWaiting, shouldStop}, &output)) {
    return X11FilePromptResult::kCancelled;
  }
  return Accept(output, request, pFile, pDir);
}
