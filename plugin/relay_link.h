// RelayLink: the socket to the relay as the threads share it. Only the receive
// thread opens and closes the descriptor; every other thread uses it through
// this class, which keeps a close waiting until no thread is using the number,
// so a send or shutdown can never reach a descriptor the process reuses.
// Sends are whole packets or nothing and never block.
#pragma once

#include <atomic>
#include <cstddef>

class RelayLink {
 public:
  enum class SendResult {
    kSent,     // the whole packet is on its way
    kDropped,  // no room (or another send in progress): nothing was written
    kNoLink,   // no socket
    kFailed,   // the socket reported an error; nothing more can be sent
  };

  // Receive thread: makes a connected socket usable by the other threads.
  // sendLimit is the number of queued bytes beyond which packets are dropped.
  void Publish(int fd, int sendLimit);
  // Receive thread: withdraws the socket, waits until no thread uses it, closes it.
  void Retire();

  // Any thread: wakes the receive thread's read and stops all traffic.
  void Shutdown();
  // Any thread: sends head then body as one packet without blocking. With
  // waitTurn a concurrent send is waited for instead of dropping the packet.
  // A packet that went out only in part shuts the link down.
  SendResult Send(const void* head, size_t headSize, const void* body, size_t bodySize,
                  bool waitTurn = false);

  bool IsOpen() const { return mSocket.load() >= 0; }
  int Descriptor() const { return mSocket.load(); }

 private:
  SendResult SendOn(int fd, const void* head, size_t headSize, const void* body, size_t bodySize);

  std::atomic<int> mSocket{-1};
  std::atomic<int> mUsers{0};
  std::atomic<int> mSendLimit{0};
  std::atomic_flag mSending = ATOMIC_FLAG_INIT;
};

// Opens a TCP connection to 127.0.0.1:port with a send buffer of at least
// sendBuffer bytes. Gives up when cancelled() turns true or after timeoutMs.
// Returns the blocking descriptor, or -1. *sendLimit receives the usable room.
int ConnectToRelay(int port, int timeoutMs, bool (*cancelled)(void*), void* context,
                   int* sendLimit);

// Makes a read on fd fail (EAGAIN) once ms milliseconds pass without a byte.
bool LimitReadSilence(int fd, int ms);

// Writes all n bytes on a blocking descriptor (retrying interrupted writes).
bool SendAll(int fd, const void* data, size_t n);
