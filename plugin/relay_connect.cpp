#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "plugin/relay_link.h"

namespace {

constexpr int kSendBuffer = 256 * 1024;
constexpr int kPollSliceMs = 10;

bool setBlocking(int fd, bool blocking) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  return fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

// The room packets may take in the send queue: the size asked for, bounded by
// half of what the kernel granted (it doubles the request for its bookkeeping).
int usableSendRoom(int fd) {
  const int wanted = kSendBuffer;
  setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &wanted, sizeof wanted);
  int granted = 0;
  socklen_t length = sizeof granted;
  if (getsockopt(fd, SOL_SOCKET, SO_SNDBUF, &granted, &length) != 0) return 0;
  return granted / 2;
}

// Waits for a non-blocking connect in short slices so that a cancel is seen.
bool awaitConnected(int fd, int timeoutMs, bool (*cancelled)(void*), void* context) {
  for (int waited = 0; waited < timeoutMs; waited += kPollSliceMs) {
    if (cancelled(context)) return false;
    pollfd entry = {fd, POLLOUT, 0};
    const int ready = poll(&entry, 1, kPollSliceMs);
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
  }
  return false;
}

int connectTo(const addrinfo* address, int timeoutMs, bool (*cancelled)(void*), void* context,
              int* sendLimit) {
  const int fd =
      socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
  if (fd < 0) return -1;
  *sendLimit = usableSendRoom(fd);
  bool connected = setBlocking(fd, false);
  if (connected && connect(fd, address->ai_addr, address->ai_addrlen) != 0)
    connected = errno == EINPROGRESS && awaitConnected(fd, timeoutMs, cancelled, context);
  if (connected && setBlocking(fd, true) && !cancelled(context)) return fd;
  close(fd);
  return -1;
}

}  // namespace

bool LimitReadSilence(int fd, int ms) {
  const timeval limit = {ms / 1000, (ms % 1000) * 1000};
  return setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit) == 0;
}

int ConnectToRelay(int port, int timeoutMs, bool (*cancelled)(void*), void* context,
                   int* sendLimit) {
  char service[16];
  snprintf(service, sizeof service, "%d", port);
  addrinfo hints = {};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo("127.0.0.1", service, &hints, &found) != 0 || !found) return -1;
  const int fd = connectTo(found, timeoutMs, cancelled, context, sendLimit);
  freeaddrinfo(found);
  return fd;
}
