#include "plugin/relay_settings.h"

#include <cerrno>
#include <cstdlib>

namespace {

// The decimal value of variable name within [low, high], or fallback.
int boundedVariable(const char* name, int low, int high, int fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno || *end || value < low || value > high) return fallback;
  return static_cast<int>(value);
}

}  // namespace

RelaySettings RelaySettings::FromEnvironment() {
  RelaySettings settings;
  settings.port = boundedVariable("SKYLANE_RELAY_PORT", 1, 65535, kDefaultPort);
  settings.tickMs = boundedVariable("SKYLANE_TICK_MS", 1, 60000, kDefaultTickMs);
  settings.stallMs = boundedVariable("SKYLANE_STALL_MS", 10, 600000, kDefaultStallMs);
  return settings;
}
