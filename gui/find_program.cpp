#include "gui/find_program.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

std::string FindProgram(const char* name) {
  const char* path = getenv("PATH");
  const std::string dirs = path && path[0] ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start);
    candidate += candidate.empty() ? "./" : "/";
    candidate += name;
    struct stat st;
    if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    start = end + 1;
  }
  return std::string();
}
