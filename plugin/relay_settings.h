// Where the relay listens, how long the watch thread's tick lasts and how long
// a relay may stay silent before the link is dropped. The product uses port
// 53669, one second and three seconds; test suites may override them through
// SKYLANE_RELAY_PORT, SKYLANE_TICK_MS and SKYLANE_STALL_MS, read once when an
// instance is made.
#pragma once

struct RelaySettings {
  static constexpr int kDefaultPort = 53669;
  static constexpr int kDefaultTickMs = 1000;
  static constexpr int kDefaultStallMs = 3000;

  int port = kDefaultPort;        // TCP port on 127.0.0.1
  int tickMs = kDefaultTickMs;    // watch-thread tick
  int stallMs = kDefaultStallMs;  // longest wait for a byte from the relay

  // The defaults with valid overrides from the environment applied (port
  // 1-65535, tick 1-60000 ms, stall 10-600000 ms; anything else is ignored).
  static RelaySettings FromEnvironment();
};
