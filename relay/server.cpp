#include "relay/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <utility>

namespace relay {

namespace {

constexpr int64_t kSecondNs = 1000000000;
// Behind schedule by more than this (a suspended machine), pacing restarts from now.
constexpr int64_t kMaxLateNs = kSecondNs / 5;
constexpr int kMaxEvents = 64;

int64_t NowNs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * kSecondNs + t.tv_nsec;
}

timespec ToTimespec(int64_t ns) {
  timespec t;
  t.tv_sec = static_cast<time_t>(ns / kSecondNs);
  t.tv_nsec = static_cast<long>(ns % kSecondNs);
  return t;
}

int64_t Seconds(double s) { return static_cast<int64_t>(s * kSecondNs); }

std::string PeerName(const sockaddr_in& address) {
  char host[INET_ADDRSTRLEN] = "?";
  inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(address.sin_port));
}

}  // namespace

Server::Server(const ServerConfig& config, std::vector<Device> devices)
    : config_(config),
      log_(config_.log),
      devices_(std::move(devices)),
      packets_(devices_.size() + 1, config_.blockFrames),
      loopback_(static_cast<size_t>(config_.blockFrames) * 2) {
  assert(config_.blockFrames >= 8 && config_.blockFrames <= 512);
  assert(devices_.size() <= kMaxDevices);
}

Server::~Server() {
  sessions_.clear();
  if (epollFd_ >= 0) close(epollFd_);
  if (listenFd_ >= 0) close(listenFd_);
}

bool Server::Open(std::string* error) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) {
    *error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  const int one = 1;
  setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(config_.port));
  if (bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listenFd_, 64) != 0) {
    *error =
        "cannot listen on 127.0.0.1:" + std::to_string(config_.port) + ": " + std::strerror(errno);
    return false;
  }
  socklen_t length = sizeof address;
  getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  epollFd_ = epoll_create1(EPOLL_CLOEXEC);
  epoll_event event = {};
  event.events = EPOLLIN;
  event.data.ptr = nullptr;
  if (epollFd_ < 0 || epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &event) != 0) {
    *error = std::string("epoll: ") + std::strerror(errno);
    return false;
  }
  return true;
}

void Server::Run() {
  assert(listenFd_ >= 0 && "Open() first");
  const int64_t periodFrames = config_.blockFrames;
  int64_t start = NowNs();
  int64_t tick = 0;
  nextStatsNs_ = start + kSecondNs;
  while (!stop_.load(std::memory_order_relaxed)) {
    // Deadlines come from the tick count, so rounding never accumulates.
    const int64_t deadline = start + tick * periodFrames * kSecondNs / kSampleRate;
    const timespec wake = ToTimespec(deadline);
    if (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) != 0) continue;
    const int64_t now = NowNs();
    if (now - deadline > kMaxLateNs) {
      start = now;
      tick = 0;
    }
    Tick(now);
    ++tick;
  }
  for (auto& session : sessions_) session->Close("relay stopped");
  DropClosed(NowNs());
}

void Server::Tick(int64_t now) {
  PollInput(now);
  for (auto& session : sessions_)
    if (session->state() == Session::State::kRequested) StartStream(session.get());
  SendPackets(now);
  CheckTimeouts(now);
  DropClosed(now);
  if (config_.stats && now >= nextStatsNs_) PrintStats(now);
}

void Server::PollInput(int64_t now) {
  epoll_event events[kMaxEvents];
  const int count = epoll_wait(epollFd_, events, kMaxEvents, 0);
  for (int i = 0; i < count; ++i) {
    auto* session = static_cast<Session*>(events[i].data.ptr);
    if (session) session->ReadInput();
    else AcceptClients(now);
  }
}

void Server::AcceptClients(int64_t now) {
  for (;;) {
    sockaddr_in address = {};
    socklen_t length = sizeof address;
    const int fd = accept4(listenFd_, reinterpret_cast<sockaddr*>(&address), &length,
                           SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;
    if (sessions_.size() >= config_.maxClients) {
      Log("client refused from %s: %zu clients already", PeerName(address).c_str(),
          sessions_.size());
      close(fd);
      continue;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    auto session = std::make_unique<Session>(fd, nextClient_++, PeerName(address), now, &devices_);
    epoll_event event = {};
    event.events = EPOLLIN;
    event.data.ptr = session.get();
    if (epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0) continue;
    Log("client %d connected from %s", session->number(), session->peer().c_str());
    sessions_.push_back(std::move(session));
  }
}

// Announces every device and its channels, then the stream begins with the
// next tick; an unknown device gets a message and silence.
void Server::StartStream(Session* session) {
  uint8_t record[kControlRecordSize];
  for (const Device& device : devices_) {
    const auto id = static_cast<int32_t>(device.id);
    EncodeControl(kControlDevice, id, 0, device.name.c_str(), record);
    session->Queue(record, sizeof record);
    for (int channel = 0; channel < kChannelsPerDevice; ++channel) {
      EncodeControl(kControlChannelName, id, channel, ChannelName(device, channel), record);
      session->Queue(record, sizeof record);
    }
  }
  if (session->deviceIndex() < 0) {
    char text[64];
    snprintf(text, sizeof text, "Unknown device %x", session->request().deviceId);
    EncodeControl(kControlText, 0, 0, text, record);
    session->Queue(record, sizeof record);
    LogUnknownDevice(*session);
  }
  session->StartStream();
}

void Server::LogUnknownDevice(const Session& session) {
  std::string known;
  for (const Device& device : devices_) {
    char id[16];
    snprintf(id, sizeof id, "%u", device.id);
    known += (known.empty() ? "" : ", ") + std::string(id) + " \"" + device.name + "\"";
  }
  Log("client %d from %s asked for device %u, which this relay does not have; it streams "
      "silence. Devices: %s",
      session.number(), session.peer().c_str(), session.request().deviceId,
      known.empty() ? "none" : known.c_str());
}

// Each device's block is encoded once per channel view and the same bytes go
// to every client of that view; a loopback client's block is its own.
void Server::SendPackets(int64_t now) {
  const int frames = config_.blockFrames;
  const size_t silence = devices_.size();
  packets_.Clear();
  for (size_t d = 0; d < devices_.size(); ++d)
    if (devices_[d].source) devices_[d].source->Render(packets_.Block(d), frames);
  for (auto& session : sessions_) {
    if (session->state() != Session::State::kStreaming) continue;
    const int index = session->deviceIndex();
    const int channel = session->request().channel;
    const uint8_t* packet;
    if (index < 0) {
      packet = packets_.Get(silence, channel);
    } else if (devices_[static_cast<size_t>(index)].source) {
      packet = packets_.Get(static_cast<size_t>(index), channel);
    } else {
      session->RenderLoopback(loopback_.data(), frames);
      packet = packets_.EncodeOnce(loopback_.data(), channel);
    }
    if (session->Send(packet, packets_.packetSize(), now))
      session->framesSent += static_cast<uint64_t>(frames);
    else ++session->packetsDropped;
  }
}

void Server::CheckTimeouts(int64_t now) {
  for (auto& session : sessions_) {
    if (session->state() == Session::State::kAwaitingRequest &&
        now - session->connectedNs() > Seconds(config_.requestTimeoutSeconds))
      session->Close("no request");
    if (session->state() == Session::State::kStreaming && session->queued() > 0 &&
        now - session->lastProgressNs() > Seconds(config_.stallSeconds))
      session->Close("stalled, not reading");
  }
}

void Server::DropClosed(int64_t now) {
  for (auto& session : sessions_) {
    if (session->state() != Session::State::kClosed) continue;
    closedTotals_.framesSent += session->framesSent;
    closedTotals_.framesReceived += session->framesReceived;
    closedTotals_.packetsDropped += session->packetsDropped;
    Log("client %d disconnected: %s (device %u channel %d, %.1f s, %llu frames sent, %llu packets "
        "dropped)",
        session->number(), session->closeReason(), session->request().deviceId,
        session->request().channel, static_cast<double>(now - session->connectedNs()) / kSecondNs,
        static_cast<unsigned long long>(session->framesSent),
        static_cast<unsigned long long>(session->packetsDropped));
    epoll_ctl(epollFd_, EPOLL_CTL_DEL, session->fd(), nullptr);
    session.reset();
  }
  sessions_.erase(std::remove(sessions_.begin(), sessions_.end(), nullptr), sessions_.end());
}

void Server::PrintStats(int64_t now) {
  Totals totals = closedTotals_;
  size_t streaming = 0;
  for (auto& session : sessions_) {
    totals.framesSent += session->framesSent;
    totals.framesReceived += session->framesReceived;
    totals.packetsDropped += session->packetsDropped;
    if (session->state() == Session::State::kStreaming) ++streaming;
  }
  Log("stats: %zu clients, %zu streaming; last second: %llu frames sent, %llu frames received, "
      "%llu packets dropped",
      sessions_.size(), streaming,
      static_cast<unsigned long long>(totals.framesSent - reported_.framesSent),
      static_cast<unsigned long long>(totals.framesReceived - reported_.framesReceived),
      static_cast<unsigned long long>(totals.packetsDropped - reported_.packetsDropped));
  reported_ = totals;
  nextStatsNs_ = std::max(nextStatsNs_ + kSecondNs, now);
  for (const Device& device : devices_) {
    const std::string line = device.source ? device.source->StatsLine() : std::string();
    if (!line.empty())
      Log("stats: device %u \"%s\": %s", device.id, device.name.c_str(), line.c_str());
  }
}

// Lines go out through the log's own thread: the serving thread never waits
// on an output that nobody reads.
void Server::Log(const char* format, ...) {
  if (!config_.log) return;
  char line[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  log_.Post(line);
}

}  // namespace relay
