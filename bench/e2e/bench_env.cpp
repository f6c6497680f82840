#include "bench/e2e/bench_env.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

const char* PluginPath() { return SKYLANE_PLUGIN_PATH; }
const char* RelayPath() { return SKYLANE_RELAY_PATH; }

void SetPluginEnv(int port, int tickMs) {
  setenv("SKYLANE_RELAY_PORT", std::to_string(port).c_str(), 1);
  if (tickMs > 0) setenv("SKYLANE_TICK_MS", std::to_string(tickMs).c_str(), 1);
  else unsetenv("SKYLANE_TICK_MS");
}

bool ForcePipeWireQuantum(int quantum) {
  const std::string command = "pw-metadata -n settings 0 clock.force-quantum " +
                              std::to_string(quantum) + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

namespace {

std::string ReadProcFile(pid_t pid, const char* name) {
  const std::string path = "/proc/" + std::to_string(pid) + "/" + name;
  FILE* f = std::fopen(path.c_str(), "r");
  if (!f) return "";
  char text[8192];
  const size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  return std::string(text, n);
}

// The scheduler's run time of the main thread in seconds (microsecond
// precision where the kernel offers it), or -1.
double MainThreadRunTime(pid_t pid) {
  const std::string sched = ReadProcFile(pid, "sched");
  const size_t at = sched.find("se.sum_exec_runtime");
  const size_t colon = sched.find(':', at);
  if (at == std::string::npos || colon == std::string::npos) return -1.0;
  return std::strtod(sched.c_str() + colon + 1, nullptr) / 1000.0;
}

}  // namespace

double ProcessCpuSeconds(pid_t pid) {
  const std::string stat = ReadProcFile(pid, "stat");
  // The command name may hold spaces; the fields follow its closing parenthesis.
  const size_t close = stat.rfind(')');
  unsigned long user = 0, system = 0;
  long threads = 0;
  if (close == std::string::npos ||
      std::sscanf(stat.c_str() + close + 2,
                  "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu %*d %*d %*d %*d %ld", &user,
                  &system, &threads) != 3)
    return -1.0;
  // Clock ticks are coarse (10 ms); a single-threaded process has a finer figure.
  const double fine = threads == 1 ? MainThreadRunTime(pid) : -1.0;
  return fine >= 0.0 ? fine : double(user + system) / double(sysconf(_SC_CLK_TCK));
}
