// The relay's server: listens on the loopback address, serves any number of
// clients from one thread with non-blocking sockets, and paces every stream at
// 44100 frames per second against absolute deadlines on the monotonic clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "relay/audio_packets.h"
#include "relay/log_queue.h"
#include "relay/device.h"
#include "relay/protocol.h"
#include "relay/session.h"

namespace relay {

struct ServerConfig {
  int port = kDefaultPort;             // 0 picks a free port (see Server::port)
  int blockFrames = 512;               // frames per packet and per tick, 8-512
  bool stats = false;                  // a line per second
  FILE* log = stdout;                  // connect and disconnect lines; null for none
  double requestTimeoutSeconds = 5.0;  // to send the request line
  double stallSeconds = 5.0;           // a client that takes nothing that long is closed
  size_t maxClients = 256;
};

class Server {
 public:
  // devices: at most kMaxDevices, served in this order.
  Server(const ServerConfig& config, std::vector<Device> devices);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds 127.0.0.1 and listens; false with a message on failure.
  bool Open(std::string* error);
  // The port listened on, once open.
  int port() const { return port_; }
  // Serves until RequestStop; then closes every client.
  void Run();
  // Safe from a signal handler or another thread.
  void RequestStop() { stop_.store(true, std::memory_order_relaxed); }
  // Waits until the lines logged so far are written, at most timeoutMs.
  bool FlushLog(int timeoutMs) { return log_.Flush(timeoutMs); }

 private:
  void Tick(int64_t now);
  void AcceptClients(int64_t now);
  void PollInput(int64_t now);
  void StartStream(Session* session);
  void LogUnknownDevice(const Session& session);
  void SendPackets(int64_t now);
  void CheckTimeouts(int64_t now);
  void DropClosed(int64_t now);
  void PrintStats(int64_t now);
  void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));

  ServerConfig config_;
  LogQueue log_;
  std::vector<Device> devices_;
  int listenFd_ = -1;
  int epollFd_ = -1;
  int port_ = 0;
  int nextClient_ = 1;
  std::atomic<bool> stop_{false};
  std::vector<std::unique_ptr<Session>> sessions_;
  AudioPackets packets_;  // a block per device, then one of silence
  std::vector<float> loopback_;
  struct Totals {
    uint64_t framesSent = 0;
    uint64_t framesReceived = 0;
    uint64_t packetsDropped = 0;
  };
  Totals closedTotals_;  // of clients gone
  Totals reported_;      // at the last stats line
  int64_t nextStatsNs_ = 0;

  static_assert(std::atomic<bool>::is_always_lock_free, "stop flag is set from signal handlers");
};

}  // namespace relay
