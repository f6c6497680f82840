#include "plugin/relay_link.h"

#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace {

// Counts a thread as a user of the descriptor for its lifetime. The store of
// -1 in Retire and the user count form a Dekker pair: either Retire sees the
// user and waits, or the user sees -1.
class Use {
 public:
  explicit Use(std::atomic<int>& users) : mUsers(users) { mUsers.fetch_add(1); }
  ~Use() { mUsers.fetch_sub(1); }
  Use(const Use&) = delete;
  Use& operator=(const Use&) = delete;

 private:
  std::atomic<int>& mUsers;
};

}  // namespace

void RelayLink::Publish(int fd, int sendLimit) {
  mSendLimit.store(sendLimit);
  mSocket.store(fd);
}

void RelayLink::Retire() {
  const int fd = mSocket.exchange(-1);
  while (mUsers.load() != 0) std::this_thread::yield();
  if (fd >= 0) close(fd);
}

void RelayLink::Shutdown() {
  Use use(mUsers);
  const int fd = mSocket.load();
  if (fd >= 0) shutdown(fd, SHUT_RDWR);
}

RelayLink::SendResult RelayLink::Send(const void* head, size_t headSize, const void* body,
                                      size_t bodySize, bool waitTurn) {
  Use use(mUsers);
  const int fd = mSocket.load();
  if (fd < 0) return SendResult::kNoLink;
  while (mSending.test_and_set(std::memory_order_acquire)) {
    if (!waitTurn) return SendResult::kDropped;
    std::this_thread::yield();
  }
  const SendResult result = SendOn(fd, head, headSize, body, bodySize);
  mSending.clear(std::memory_order_release);
  return result;
}

RelayLink::SendResult RelayLink::SendOn(int fd, const void* head, size_t headSize, const void* body,
                                        size_t bodySize) {
  const size_t total = headSize + bodySize;
  int queued = 0;
  if (ioctl(fd, SIOCOUTQ, &queued) != 0) return SendResult::kFailed;
  if (static_cast<long>(queued) + static_cast<long>(total) > mSendLimit.load())
    return SendResult::kDropped;
  iovec parts[2] = {{const_cast<void*>(head), headSize}, {const_cast<void*>(body), bodySize}};
  msghdr message = {};
  message.msg_iov = parts;
  message.msg_iovlen = bodySize ? 2 : 1;
  ssize_t sent;
  do {
    sent = sendmsg(fd, &message, MSG_DONTWAIT | MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  if (sent == static_cast<ssize_t>(total)) return SendResult::kSent;
  if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return SendResult::kDropped;
  // Part of a packet on the wire would desynchronise the relay: end the link.
  shutdown(fd, SHUT_RDWR);
  return SendResult::kFailed;
}

bool SendAll(int fd, const void* data, size_t n) {
  const char* bytes = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t sent = send(fd, bytes, n, MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes += sent;
    n -= static_cast<size_t>(sent);
  }
  return true;
}
