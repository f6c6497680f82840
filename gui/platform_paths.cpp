#include "gui/platform_paths.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

void HomeFolder(SkyString* pPath, const char* below) {
  const char* home = getenv("HOME");
  pPath->Set(home ? home : "");
  pPath->Append(below);
}

}  // namespace

void GetHostPath(SkyString* pPath) {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return;
  buf[n] = 0;
  pPath->Set(buf);
}

void GetModuleFolder(SkyString* pPath) {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void*>(&GetModuleFolder), &info) || !info.dli_fname) return;
  const char* slash = strrchr(info.dli_fname, '/');
  if (!slash) return;
  pPath->Set(info.dli_fname, static_cast<int>(slash - info.dli_fname) + 1);
}

void GetDesktopPath(SkyString* pPath) { HomeFolder(pPath, "/Desktop"); }

void GetAppSupportPath(SkyString* pPath, bool isSystem) {
  const char* data = getenv("XDG_DATA_HOME");
  if (isSystem) {
    pPath->Set("/usr/share");
  } else if (data && data[0] == '/') {
    pPath->Set(data);
  } else {
    HomeFolder(pPath, "/.local/share");
  }
}

void GetSandboxSafeAppSupportPath(SkyString* pPath) { HomeFolder(pPath, "/Music"); }
