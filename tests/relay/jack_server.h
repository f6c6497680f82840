// A private JACK server with the dummy driver, started and stopped by a test,
// and a small JACK client that plays a known tone into it.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <string>

namespace relay_test {

// Whether jackd is installed (tests that need it skip otherwise).
bool JackdInstalled();

class PrivateJackServer {
 public:
  // Picks a server name no other run shares and points JACK_DEFAULT_SERVER
  // (for this process and its children) at it. Nothing runs yet.
  PrivateJackServer();
  // Stops the server if it runs.
  ~PrivateJackServer();
  PrivateJackServer(const PrivateJackServer&) = delete;
  PrivateJackServer& operator=(const PrivateJackServer&) = delete;

  // Starts jackd and waits until a client can connect; false after a generous deadline.
  bool Start();
  // Ends the server at once, as a crash would, and reaps it.
  void Kill();
  // Asks the server to stop and waits for it.
  void Stop();
  // What the server printed, for a failure's message.
  std::string Log() const;

 private:
  void Reap(int signal);

  std::string name_;
  std::string log_;
  pid_t pid_ = -1;
};

// The test program tone_player, which plays a 1000 Hz sine at 0.5 on the port
// "player:out_l" and a 1500 Hz sine at 0.25 on "player:out_r". Another process,
// as a real program would be.
class TonePlayer {
 public:
  static constexpr double kLeftHz = 1000, kLeftLevel = 0.5;
  static constexpr double kRightHz = 1500, kRightLevel = 0.25;

  TonePlayer() = default;
  ~TonePlayer();
  TonePlayer(const TonePlayer&) = delete;
  TonePlayer& operator=(const TonePlayer&) = delete;

  // Starts it on the running server and waits until it plays.
  bool Start();
  // Stops it (it also stops by itself when the server goes).
  void Close();

 private:
  pid_t pid_ = -1;
};

}  // namespace relay_test
