// A plain client of the relay that streams the impulse device beside the
// plug-ins and notes when each impulse left the relay: the arrival time of
// its packet plus its position in the packet at 44100 frames per second.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

class ImpulseProbe {
 public:
  ~ImpulseProbe() { Stop(); }
  // Connects to the relay and starts reading device 0, channel 0.
  bool Start(int port);
  void Stop();
  // Monotonic times (seconds) of the impulses seen so far.
  std::vector<double> Impulses();

 private:
  void Read();

  int fd_ = -1;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<double> impulses_;
};
