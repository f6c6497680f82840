#include "tests/plugin/stream_scenarios.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

namespace {

// Accepts every connection and streams to it with send(fd, connection number)
// until the client goes away or the relay stops.
class ScenarioRelay {
 public:
  using Sender = std::function<bool(int fd, int connection)>;
  explicit ScenarioRelay(Sender sender) : mSender(std::move(sender)), mThread([this] { Serve(); }) {
    UseTestRelay(mRelay.Port(), 10);
  }
  ~ScenarioRelay() {
    mStop = true;
    mThread.join();
    for (std::thread& t : mClients) t.join();
  }
  // The newest connection whose request arrived.
  int Connections() const { return mConnections.load(); }
  // The newest connection the client has closed.
  int Closed() const { return mClosed.load(); }

 private:
  void Serve() {
    for (int accepted = 0; !mStop;) {
      const int fd = mRelay.Accept(10);
      if (fd < 0) continue;
      mClients.emplace_back([this, fd, connection = ++accepted] {
        if (!ReadRequest(fd, nullptr).empty()) mConnections.store(connection);
        while (!mStop && mSender(fd, connection)) {
        }
        if (!mStop) mClosed.store(connection);
        close(fd);
      });
    }
  }
  ScriptedRelay mRelay;
  Sender mSender;
  std::atomic<bool> mStop{false};
  std::atomic<int> mConnections{0};
  std::atomic<int> mClosed{0};
  std::vector<std::thread> mClients;
  std::thread mThread;
};

int fillFrames(const Skylane& plug) {
  const int w = plug.Fifo().writeIndex.load(), r = plug.Fifo().readIndex.load();
  return (w >= r ? w - r : w + plug.Fifo().capacity - r) / 2;
}

// Frames first, first + 1, ... of a numbered stream (left n, right -n).
bool sendNumbered(int fd, int first, int frames) {
  std::vector<float> samples(2 * static_cast<size_t>(frames));
  for (int i = 0; i < frames; ++i) samples[2 * i] = first + i, samples[2 * i + 1] = -(first + i);
  return SendWord(fd, frames) && WriteAll(fd, samples.data(), samples.size() * sizeof(float));
}

// Packet p of a numbered stream holds frames (p, 0) ... (p, 4095) as (left, right).
bool sendNumberedPacket(int fd, int packet) {
  std::vector<float> samples(2 * 4096);
  for (int i = 0; i < 4096; ++i)
    samples[2 * i] = static_cast<float>(packet), samples[2 * i + 1] = static_cast<float>(i);
  return SendWord(fd, 4096) && WriteAll(fd, samples.data(), samples.size() * sizeof(float));
}

// Frame (packet, index) follows the previous one within a block when it is the
// next frame of the same packet or starts a later packet.
bool followsInBlock(const Block& block, int i) {
  const double packet = block.outLeft[i], index = block.outRight[i];
  const double previous = block.outLeft[i - 1], previousIndex = block.outRight[i - 1];
  if (packet == previous) return index == previousIndex + 1;
  return packet > previous && index == 0;
}

}  // namespace

ScenarioResult TinyHostBlocks(int rounds) {
  ScenarioResult result;
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 10);
  auto plug = OpenSkylane();
  plug->SetSampleRate(48000);
  const int fd = relay.Accept();
  if (fd < 0 || ReadRequest(fd, nullptr).empty() ||
      !WaitFor([&] { return plug->Status().linkOpen == 1; })) {
    if (fd >= 0) close(fd);
    return result;
  }
  result.ran = true;
  SetParam(*plug, kParamEffectsLoop, 1);
  int32_t setting[2];
  ReadExactly(fd, setting, sizeof setting);
  std::atomic<long> arrived{0};
  std::atomic<bool> finished{false};
  std::thread reader([&] {
    std::vector<float> samples;
    float last = -1.0f;
    int32_t frames;
    // Reads until the host is done and the link has been quiet for a while.
    for (;;) {
      pollfd entry = {fd, POLLIN, 0};
      if (poll(&entry, 1, 200) != 1) {
        if (finished) break;
        continue;
      }
      if (!ReadExactly(fd, &frames, 4) || frames < 1 || frames > 4096) break;
      samples.resize(2 * static_cast<size_t>(frames));
      if (!ReadExactly(fd, samples.data(), samples.size() * 4)) break;
      for (int i = 0; i < frames; ++i) {
        if (samples[2 * i] < last) ++result.faults;
        last = samples[2 * i];
      }
      arrived += frames;
    }
  });
  // Hosts split blocks at automation and loop points.
  const int sizes[] = {1, 2, 3, 4, 5, 6, 7, 4, 4, 64};
  Block block(64);
  long sent = 0;
  bool paced = true;
  for (int round = 0; round < rounds; ++round) {
    for (int size : sizes) {
      for (int i = 0; i < size; ++i) block.inLeft[i] = static_cast<double>(sent + i);
      block.Process(*plug, size);
      sent += size;
    }
    // A relay that falls behind makes the plug-in drop packets: wait for it,
    // unless frames are being lost anyway.
    paced = paced && WaitFor([&] {
              return arrived.load() >= static_cast<double>(sent) * 44100.0 / 48000.0 - 16;
            });
  }
  finished = true;
  reader.join();
  result.arrived = arrived.load();
  result.expected = std::lround(static_cast<double>(sent) * 44100.0 / 48000.0);
  plug.reset();
  close(fd);
  return result;
}

ScenarioResult TinyRelayPackets(int packets) {
  ScenarioResult result;
  constexpr double kRatio = 48000.0 / 44100.0;
  result.expected = std::lround(4.0 * packets * kRatio);
  std::atomic<long> played{0};
  std::atomic<bool> done{false};
  // Sends in batches, each once the host has nearly caught up (unless frames
  // are being lost anyway), so that the queue stays below the latency target
  // and trimming drops nothing.
  ScenarioRelay relay([&](int fd, int connection) {
    bool paced = true;
    for (int p = 0; connection == 1 && !done && p < packets; p += 100) {
      paced = paced && WaitFor([&] { return played.load() >= 4 * p * kRatio - 400; });
      for (int q = p; q < p + 100 && q < packets; ++q)
        if (!sendNumbered(fd, 1 + 4 * q, 4)) return false;
    }
    done = true;
    return !PeerClosed(fd, 100);  // keeps the link until the instance goes
  });
  auto plug = OpenSkylane();
  plug->SetSampleRate(48000);
  Block block(256);
  block.Process(*plug, 64);  // the callback retunes the receive resampler
  if (!WaitFor([&] { return relay.Connections() == 1; })) return result;
  result.ran = true;
  double last = -1.0;
  auto queued = [&] { return played.load() + fillFrames(*plug) >= result.expected - 8; };
  while (!done || !queued()) {
    if (done && !WaitFor(queued)) break;
    if (fillFrames(*plug) < 256) {
      std::this_thread::yield();
      continue;
    }
    block.Process(*plug, 256);
    for (int i = 0; i < 256; ++i) {
      if (block.outLeft[i] < last) ++result.faults;
      last = block.outLeft[i];
    }
    played += 256;
  }
  result.arrived = played.load() + fillFrames(*plug);
  return result;
}

ScenarioResult LatencyChanges(int changes) {
  ScenarioResult result;
  std::atomic<int> packets{1};
  ScenarioRelay relay([&](int fd, int) { return SendAudio(fd, 1024, packets.fetch_add(1)); });
  auto plug = OpenSkylane();
  Block block(512);
  if (!WaitFor([&] { return relay.Connections() == 1; })) return result;
  result.ran = true;
  double emptied = 0;  // the newest packet queued before the latest emptying
  for (int change = 1; change <= changes; ++change) {
    // Plays until audio queued after the emptying arrives, then a few blocks more.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (int heard = 0; heard < 4 && std::chrono::steady_clock::now() < end;) {
      block.Process(*plug, 512);
      if (block.outLeft[0] == 0 && block.outLeft[511] == 0) continue;  // silence
      ++heard;
      ++result.arrived;
      bool stale = false;
      for (int i = 0; i < 512; ++i)
        stale = stale || (block.outLeft[i] != 0 && block.outLeft[i] <= emptied);
      result.faults += stale;
    }
    const SampleFifo& fifo = plug->Fifo();
    const int write = fifo.writeIndex.load(std::memory_order_acquire);
    emptied = fifo.data[(write == 0 ? fifo.capacity : write) - 2];
    SetParam(*plug, kParamLatency, 1 + change % 4);
  }
  return result;
}

ScenarioResult ChannelChanges(int changes) {
  ScenarioResult result;
  ScenarioRelay relay([](int fd, int connection) { return SendAudio(fd, 4096, connection); });
  auto plug = OpenSkylane();
  Block block(1024);
  if (!WaitFor([&] { return relay.Connections() == 1; })) return result;
  result.ran = true;
  for (int change = 1; change <= changes; ++change) {
    SetParam(*plug, kParamChannel, change % 4);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    for (bool heard = false; !heard && std::chrono::steady_clock::now() < end;) {
      // Once the relay has seen the old connection close, it has been dropped
      // and the FIFO emptied: nothing of it may play any more.
      const bool dropped = relay.Closed() >= change;
      block.Process(*plug, 1024);
      std::this_thread::sleep_for(std::chrono::microseconds(1000));
      if (!dropped) continue;
      ++result.arrived;
      bool stale = false;
      for (int i = 0; i < 1024; ++i) {
        const double v = block.outLeft[i];
        heard = heard || v > change;
        stale = stale || (v != 0 && v <= change);
      }
      result.faults += stale;
    }
  }
  return result;
}

ScenarioResult RelayOutpacesHost(int ms) {
  ScenarioResult result;
  std::atomic<int> packets{1};
  ScenarioRelay relay([&](int fd, int) { return sendNumberedPacket(fd, packets.fetch_add(1)); });
  auto plug = OpenSkylane();
  Block block(4096);
  if (!WaitFor([&] { return relay.Connections() == 1; })) return result;
  result.ran = true;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    block.Process(*plug, 4096);
    if (block.outLeft[0] == 0) continue;  // silence
    ++result.arrived;
    bool torn = false;
    for (int i = 1; i < 4096 && !torn; ++i) torn = !followsInBlock(block, i);
    result.faults += torn;
  }
  return result;
}
