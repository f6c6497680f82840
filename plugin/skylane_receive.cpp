// The receive thread: one per connection. It connects, sends the stream
// request and the effects-loop setting, then reads the relay's stream until the
// link ends. It alone closes the socket.

#include <sys/socket.h>

#include <cerrno>
#include <cstdio>

#include "plugin/received_stream.h"
#include "plugin/skylane.h"

namespace {

constexpr int kConnectTimeoutMs = 2000;

// recv with MSG_WAITALL, resumed after a signal until all bytes or the end. A
// socket whose reads time out (the relay sent nothing for a while) ends the
// stream like a failed read.
class SocketSource : public ByteSource {
 public:
  explicit SocketSource(int fd) : mFd(fd) {}
  long Read(void* dest, size_t n) override {
    size_t got = 0;
    while (got < n) {
      const ssize_t r = recv(mFd, static_cast<char*>(dest) + got, n - got, MSG_WAITALL);
      if (r < 0 && errno == EINTR) continue;
      if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) mStalled = true;
      if (r < 0) return got ? static_cast<long>(got) : -1;
      if (r == 0) break;
      got += static_cast<size_t>(r);
    }
    return static_cast<long>(got);
  }
  bool Stalled() const { return mStalled; }

 private:
  int mFd;
  bool mStalled = false;
};

}  // namespace

// The stream handler that also stops when the link is dropped elsewhere.
class Skylane::Receiver : public ReceivedStream {
 public:
  explicit Receiver(Skylane& plug)
      : ReceivedStream(plug.mDevices, plug.mQueue, plug.mReceiveResampler, plug.mRelayMessage),
        mPlug(plug) {}
  bool KeepReading() override { return !mPlug.Cancelled(); }

 private:
  Skylane& mPlug;
};

// Sends the request with the current effects-loop setting, then makes the
// socket usable by the other threads. A setting changed before the publication
// travels in the request; one changed after it is sent by the parameter change.
bool Skylane::SendRequestAndPublish(int fd, int sendLimit, int deviceId, int channel) {
  char request[256];
  const int length = snprintf(request, sizeof request, "GET /.stream%x_%d\r\n",
                              static_cast<unsigned>(deviceId), channel);
  mDebugText1.Set(request);
  std::lock_guard<std::mutex> setting(mLoopSettingMutex);
  const int32_t loop[2] = {0, mEffectsLoop.load()};
  const bool sent =
      SendAll(fd, request, static_cast<size_t>(length)) && SendAll(fd, loop, sizeof loop);
  mSocket.Publish(fd, sendLimit);
  return sent;
}

void Skylane::audiothread() {
  int sendLimit = 0;
  auto cancelled = [](void* plug) { return static_cast<Skylane*>(plug)->Cancelled(); };
  const int fd = ConnectToRelay(mSettings.port, kConnectTimeoutMs, cancelled, this, &sendLimit);
  if (fd < 0) {
    mLastEvent.Set("AT con fail");
    mLinkUp.store(0);
    return;
  }
  mConnections.fetch_add(1);
  mDevices.BeginConnection();
  LimitReadSilence(fd, mSettings.stallMs);
  const int deviceId = mRequestedDeviceId.load();
  const int channel = mRequestedChannel.load();
  mStreamDeviceId.store(deviceId);
  mStreamChannel.store(channel);
  {
    IMutexLock lock(this);
    GetParam(kParamDeviceId)->Set(deviceId);
  }
  if (!SendRequestAndPublish(fd, sendLimit, deviceId, channel)) mLinkUp.store(0);
  if (!Cancelled()) {
    SocketSource source(fd);
    Receiver receiver(*this);
    const StreamEnd end = ReadRelayStream(source, receiver, mPacket);
    RecordStreamEnd(end, fd, source.Stalled());
  }
  mLinkUp.store(0);
  mSocket.Retire();
}

void Skylane::RecordStreamEnd(const StreamEnd& end, int createdSocket, bool stalled) {
  if (Cancelled()) return;  // whoever dropped the link recorded why
  if (stalled) {
    mLastEvent.Format("Stall %d ms", mSettings.stallMs);
    return;
  }
  switch (end.reason) {
    case StreamEnd::kClosed:
      mLastEvent.Format("N=0 s %d ns %d l %d", createdSocket, mSocket.Descriptor(), end.header);
      break;
    case StreamEnd::kBadHeader:
      mLastEvent.Format("n %d long %d sfd %d", static_cast<int>(end.readResult), end.header,
                        createdSocket);
      break;
    case StreamEnd::kShortPayload: mLastEvent.Set("Badsize"); break;
    case StreamEnd::kBadControl:
      mLastEvent.Format("Badsize control %d", static_cast<int>(end.readResult));
      break;
    case StreamEnd::kStopped: break;
  }
}
