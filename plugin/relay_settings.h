// Where the relay listens and how long the watch thread's tick lasts. The
// product uses port 53669 and one second; test suites may override both through
// SKYLANE_RELAY_PORT and SKYLANE_TICK_MS, read once when an instance is made.
#pragma once

struct RelaySettings {
  static constexpr int kDefaultPort = 53669;
  static constexpr int kDefaultTickMs = 1000;

  int port = kDefaultPort;      // TCP port on 127.0.0.1
  int tickMs = kDefaultTickMs;  // watch-thread tick

  // The defaults with valid overrides from the environment applied (port
  // 1-65535, tick 1-60000 ms; anything else is ignored).
  static RelaySettings FromEnvironment();
};
