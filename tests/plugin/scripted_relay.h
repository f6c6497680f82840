// A relay written for tests: a listening socket on an ephemeral loopback port
// and helpers that write and read the relay protocol byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class ScriptedRelay {
 public:
  ScriptedRelay();
  ~ScriptedRelay();
  ScriptedRelay(const ScriptedRelay&) = delete;
  ScriptedRelay& operator=(const ScriptedRelay&) = delete;

  int Port() const { return mPort; }
  // Accepts the next client; -1 when none arrives in time.
  int Accept(int timeoutMs = 3000);

 private:
  int mListener = -1;
  int mPort = 0;
};

// Reads exactly n bytes within timeoutMs; false on timeout or end of stream.
bool ReadExactly(int fd, void* dest, size_t n, int timeoutMs = 3000);
// Reads a request line up to CR LF and the 8 bytes of the effects-loop setting.
std::string ReadRequest(int fd, int32_t* loopFlag, int timeoutMs = 3000);
bool WriteAll(int fd, const void* data, size_t n);
bool SendWord(int fd, int32_t word);
// A control message: header 0, size, then a body of `size` bytes (280 when 0 is
// passed) with type, id, channel and text at their offsets.
bool SendControl(int fd, int32_t type, int32_t deviceId, int32_t channel, const std::string& text,
                 int32_t size = 280);
// An audio packet of `frames` frames, every sample `value`.
bool SendAudio(int fd, int32_t frames, float value);
// True when the peer closed the connection within timeoutMs.
bool PeerClosed(int fd, int timeoutMs = 3000);

// Polls pred every millisecond until it holds or timeoutMs passes.
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 3000);
// Open descriptors of this process.
int OpenDescriptors();
// Points new instances at the given port with a 10 ms tick and, unless
// stallMs is given, the product's limit on a silent relay.
void UseTestRelay(int port, int tickMs = 10, int stallMs = 0);
