#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "relay/server.h"
#include "tests/relay/running_server.h"
#include "tests/relay/test_client.h"

namespace relay {
namespace {

using relay_test::Record;
using relay_test::RunningServer;
using relay_test::TestClient;
using Clock = std::chrono::steady_clock;

// A device whose every sample is value, so a stream tells which device it is.
std::unique_ptr<Source> Constant(float left, float right) { return MakeLoopSource({left, right}); }

std::vector<Device> TwoDevices() {
  std::vector<Device> devices;
  AddDevice(&devices, "Alpha", Constant(0.5f, -0.5f));
  AddDevice(&devices, "Beta", Constant(0.25f, 0.75f));
  return devices;
}

std::vector<uint8_t> ExpectedControl(int32_t type, int32_t id, int32_t channel, const char* text) {
  std::vector<uint8_t> bytes(288, 0);
  const int32_t words[] = {0, 280, type, id, 0, channel, 0};
  std::memcpy(bytes.data(), words, sizeof words);
  std::memcpy(&bytes[28], text, std::strlen(text));
  return bytes;
}

TEST(Server, AnnouncesEveryDeviceAndChannelThenStreams) {
  std::vector<Device> devices = TwoDevices();
  const int32_t alpha = static_cast<int32_t>(devices[0].id),
                beta = static_cast<int32_t>(devices[1].id);
  RunningServer server(std::move(devices));
  TestClient client;
  ASSERT_TRUE(client.Connect(server.port()));
  ASSERT_TRUE(client.SendText("GET /.stream" + [&] {
    char h[16];
    snprintf(h, sizeof h, "%x", beta);
    return std::string(h);
  }() + "_0\r\n"));
  ASSERT_TRUE(client.SendInts(0, 0));
  const char* channels[] = {"Stereo", "Left", "Right", "Mono"};
  for (auto [id, name] : {std::pair<int32_t, const char*>{alpha, "Alpha"}, {beta, "Beta"}}) {
    Record r;
    ASSERT_TRUE(client.ReadRecord(&r));
    EXPECT_EQ(r.raw, ExpectedControl(1, id, 0, name));
    for (int c = 0; c < 4; ++c) {
      ASSERT_TRUE(client.ReadRecord(&r));
      EXPECT_EQ(r.raw, ExpectedControl(2, id, c, channels[c]));
    }
  }
  Record audio;
  ASSERT_TRUE(client.ReadRecord(&audio));
  EXPECT_EQ(audio.header, 512) << "the default packet size";
  EXPECT_EQ(audio.samples[0], 0.25f);
  EXPECT_EQ(audio.samples[1], 0.75f);
}

TEST(Server, DeviceZeroIsTheFirstAndChannelsPickAView) {
  RunningServer server(TwoDevices());
  TestClient first, right;
  ASSERT_TRUE(first.Connect(server.port()));
  ASSERT_TRUE(right.Connect(server.port()));
  ASSERT_TRUE(first.SendRequest(0, 0));
  ASSERT_TRUE(right.SendRequest(0, 2));
  std::vector<float> s;
  ASSERT_TRUE(first.ReadFrames(300, &s));
  EXPECT_EQ(s[0], 0.5f);
  EXPECT_EQ(s[599], -0.5f);
  ASSERT_TRUE(right.ReadFrames(300, &s));
  EXPECT_EQ(s[0], -0.5f);
  EXPECT_EQ(s[599], -0.5f);
}

TEST(Server, UnknownDeviceGetsAMessageAndSilenceAndALogLine) {
  std::vector<Device> devices = TwoDevices();
  const uint32_t alpha = devices[0].id, beta = devices[1].id;
  RunningServer server(std::move(devices));
  TestClient client;
  ASSERT_TRUE(client.Connect(server.port()));
  ASSERT_TRUE(client.SendRequest(0xabcdef, 1));
  Record r;
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(client.ReadRecord(&r));
  ASSERT_TRUE(client.ReadRecord(&r));
  ASSERT_EQ(r.header, 0);
  EXPECT_EQ(r.type(), 0);
  EXPECT_EQ(r.text(), "Unknown device abcdef");
  std::vector<float> s;
  ASSERT_TRUE(client.ReadFrames(1024, &s));
  EXPECT_EQ(s, std::vector<float>(s.size(), 0.0f));
  server.Stop();
  const std::string log = server.Log();
  char known[128];
  std::snprintf(known, sizeof known, "Devices: %u \"Alpha\", %u \"Beta\"\n", alpha, beta);
  EXPECT_NE(log.find("client 1 from 127.0.0.1:"), std::string::npos) << log;
  EXPECT_NE(log.find("asked for device 11259375, which this relay does not have"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find(known), std::string::npos) << log;
}

TEST(Server, AnnouncesTheSideNamesADeviceGives) {
  std::vector<Device> devices;
  AddDevice(&devices, "Plain", Constant(0.5f, 0.5f));
  Device& named = AddDevice(&devices, "Named", Constant(0.5f, 0.5f));
  named.sideNames[0] = "capture_1";
  named.sideNames[1] = "capture_2";
  RunningServer server(std::move(devices));
  TestClient client;
  ASSERT_TRUE(client.Connect(server.port()));
  ASSERT_TRUE(client.SendRequest(0, 0));
  std::vector<std::string> names;
  Record r;
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(client.ReadRecord(&r));
    if (r.type() == 2) names.push_back(r.text());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Stereo", "Left", "Right", "Mono", "Stereo",
                                             "capture_1", "capture_2", "Mono"}));
}

// Frames per second one client receives over about three seconds.
double MeasureRate(TestClient* client) {
  std::vector<float> s;
  EXPECT_TRUE(client->ReadFrames(256, &s));  // the clock starts at a packet boundary
  const auto start = Clock::now();
  size_t frames = 0;
  Record r;
  while (Clock::now() - start < std::chrono::seconds(3)) {
    if (!client->ReadRecord(&r)) return 0.0;
    frames += r.samples.size() / 2;
  }
  return static_cast<double>(frames) / std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(Server, PacesEveryClientAt44100FramesPerSecond) {
  RunningServer server(TwoDevices());
  std::vector<std::unique_ptr<TestClient>> clients(4);
  for (auto& c : clients) {
    c = std::make_unique<TestClient>();
    ASSERT_TRUE(c->Connect(server.port()));
    ASSERT_TRUE(c->SendRequest(0, 0));
  }
  std::vector<double> rates(clients.size());
  std::vector<std::thread> readers;
  for (size_t i = 0; i < clients.size(); ++i)
    readers.emplace_back([&, i] { rates[i] = MeasureRate(clients[i].get()); });
  for (auto& t : readers) t.join();
  // Never faster than the clock; slower only by what a busy machine delays the
  // readers or the server.
  for (double rate : rates) {
    EXPECT_LT(rate, 44100.0 * 1.03);
    EXPECT_GT(rate, 44100.0 * 0.9);
  }
}

TEST(Server, LoopbackReturnsTheEffectsLoopAudio) {
  std::vector<Device> devices;
  AddDevice(&devices, "Echo", nullptr);
  RunningServer server(std::move(devices));
  TestClient client;
  ASSERT_TRUE(client.Connect(server.port()));
  ASSERT_TRUE(client.SendRequest(0, 0));
  ASSERT_TRUE(client.SendInts(0, 1));
  std::vector<float> sent;
  for (int p = 0; p < 8; ++p) {
    std::vector<float> packet(2 * 300);
    for (size_t i = 0; i < packet.size(); ++i)
      packet[i] = static_cast<float>(sent.size() + i + 1) / 8192.0f;
    if (p == 0) packet[3] = NAN;
    ASSERT_TRUE(client.SendAudio(packet));
    sent.insert(sent.end(), packet.begin(), packet.end());
  }
  sent[3] = 0.0f;
  std::vector<float> received;
  Record r;
  // The last partial block may stay behind; silence alone ends the wait after 400 packets.
  for (int packets = 0; received.size() < sent.size() - 1024 && packets < 400; ++packets) {
    ASSERT_TRUE(client.ReadRecord(&r));
    for (float v : r.samples)
      if (v != 0.0f || !received.empty()) received.push_back(v);
  }
  // sent[3] came back as silence, so the first returned sample is sent[0].
  ASSERT_GE(received.size(), sent.size() - 1024);
  for (size_t i = 0; i < received.size() && i < sent.size(); ++i)
    ASSERT_EQ(received[i], sent[i]) << i;
}

TEST(Server, BadInputClosesOnlyThatClient) {
  RunningServer server(TwoDevices());
  TestClient good;
  ASSERT_TRUE(good.Connect(server.port()));
  ASSERT_TRUE(good.SendRequest(0, 0));
  std::vector<float> s;
  ASSERT_TRUE(good.ReadFrames(256, &s));
  struct Bad {
    const char* what;
    std::string bytes;
  };
  const int32_t oversized[3] = {0, 1, 4097}, negative[1] = {-5};
  const std::vector<Bad> bad = {
      {"malformed request", "GET /stream1_0\r\n"},
      {"endless request line", std::string(200, 'G')},
      {"oversized packet",
       "GET /.stream0_0\r\n" + std::string(reinterpret_cast<const char*>(oversized), 12)},
      {"bad header",
       "GET /.stream0_0\r\n" + std::string(reinterpret_cast<const char*>(negative), 4)},
  };
  for (const Bad& b : bad) {
    TestClient client;
    ASSERT_TRUE(client.Connect(server.port()));
    ASSERT_TRUE(client.SendText(b.bytes));
    EXPECT_TRUE(client.WaitClosed()) << b.what;
  }
  ASSERT_TRUE(good.ReadFrames(4096, &s)) << "the good client still streams";
  server.Stop();
  const std::string log = server.Log();
  for (const char* reason : {"malformed request", "oversized packet", "bad header"})
    EXPECT_NE(log.find(reason), std::string::npos) << reason << " in\n" << log;
}

TEST(Server, AClientThatStopsReadingDisturbsNoOther) {
  ServerConfig config;
  config.stallSeconds = 0.4;
  RunningServer server(TwoDevices(), config);
  TestClient stalled, reader;
  ASSERT_TRUE(stalled.Connect(server.port(), 4096));
  ASSERT_TRUE(stalled.SendRequest(0, 0));
  ASSERT_TRUE(reader.Connect(server.port()));
  ASSERT_TRUE(reader.SendRequest(0, 1));
  EXPECT_NEAR(MeasureRate(&reader), 44100.0, 44100.0 * 0.05);
}

// A client that pauses with a small receive buffer fills its socket, so the
// relay queues what the socket refuses and sends it when the client reads
// again: the stream goes on without a frame lost, repeated or torn, and a
// client of another view of the same device gets its own view.
TEST(Server, AClientThatPausesGetsTheStreamWhole) {
  constexpr int kRamp = 1000;
  std::vector<float> ramp;
  for (int i = 0; i < kRamp; ++i) ramp.insert(ramp.end(), {float(i), -float(i)});
  std::vector<Device> devices;
  AddDevice(&devices, "Ramp", MakeLoopSource(ramp));
  RunningServer server(std::move(devices));
  TestClient paused, right;
  ASSERT_TRUE(paused.Connect(server.port(), 1024));
  ASSERT_TRUE(paused.SendRequest(0, 0));
  ASSERT_TRUE(right.Connect(server.port()));
  ASSERT_TRUE(right.SendRequest(0, 2));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::vector<float> stereo, mono;
  ASSERT_TRUE(paused.ReadFrames(512 * 60, &stereo));
  ASSERT_TRUE(right.ReadFrames(512 * 4, &mono));
  for (size_t i = 0; i < stereo.size(); i += 2) {
    ASSERT_EQ(stereo[i], float((int(stereo[0]) + int(i / 2)) % kRamp)) << i;
    ASSERT_EQ(stereo[i + 1], -stereo[i]) << i;
  }
  for (size_t i = 0; i < mono.size(); i += 2) {
    ASSERT_LE(mono[i], 0.0f);
    ASSERT_EQ(mono[i], mono[i + 1]);
  }
}

TEST(Server, ClosesAClientThatSendsNoRequest) {
  ServerConfig config;
  config.requestTimeoutSeconds = 0.2;
  RunningServer server(TwoDevices(), config);
  TestClient silent;
  ASSERT_TRUE(silent.Connect(server.port()));
  EXPECT_TRUE(silent.WaitClosed(2000));
}

TEST(Server, LogsOneLinePerConnectAndDisconnect) {
  RunningServer server(TwoDevices());
  {
    TestClient client;
    ASSERT_TRUE(client.Connect(server.port()));
    ASSERT_TRUE(client.SendRequest(0, 3));
    std::vector<float> s;
    ASSERT_TRUE(client.ReadFrames(256, &s));
  }
  const auto end = Clock::now() + std::chrono::seconds(10);
  while (server.Log().find("client 1 disconnected") == std::string::npos && Clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  server.Stop();
  const std::string log = server.Log();
  EXPECT_NE(log.find("client 1 connected from 127.0.0.1:"), std::string::npos) << log;
  EXPECT_NE(log.find("client 1 disconnected: peer"), std::string::npos) << log;
  EXPECT_NE(log.find("channel 3"), std::string::npos) << log;
}

// A pipe that holds nothing more, as a paused pager's does.
bool FillPipe(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  const std::vector<char> filler(4096, '.');
  while (write(fd, filler.data(), filler.size()) > 0) {
  }
  const bool full = errno == EAGAIN;
  fcntl(fd, F_SETFL, flags);
  return full;
}

// Logging to an output nobody reads holds up neither the audio nor the
// relay's end; the lines come once the output is read again.
TEST(Server, AnOutputNobodyReadsHoldsUpNothing) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_TRUE(FillPipe(ends[1]));
  FILE* out = fdopen(ends[1], "w");
  ServerConfig config;
  config.port = 0;
  config.stats = true;
  config.log = out;
  auto server = std::make_unique<Server>(config, TwoDevices());
  std::string error;
  ASSERT_TRUE(server->Open(&error)) << error;
  std::thread serving([&] { server->Run(); });
  TestClient client;
  ASSERT_TRUE(client.Connect(server->port()));
  ASSERT_TRUE(client.SendRequest(0, 0));
  std::vector<float> samples;
  EXPECT_TRUE(client.ReadFrames(3 * 44100, &samples, 10000)) << "the audio waited on the log";

  std::string text;
  std::vector<char> chunk(1 << 16);
  fcntl(ends[0], F_SETFL, O_NONBLOCK);
  for (const auto end = Clock::now() + std::chrono::seconds(10);
       text.find("client 1 connected") == std::string::npos && Clock::now() < end;) {
    const ssize_t got = read(ends[0], chunk.data(), chunk.size());
    if (got > 0) text.append(chunk.data(), static_cast<size_t>(got));
    else std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_NE(text.find("client 1 connected"), std::string::npos);

  ASSERT_TRUE(FillPipe(ends[1]));
  const auto stopping = Clock::now();
  server->RequestStop();
  serving.join();
  server.reset();
  EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(5)) << "the end waited on the log";
  fclose(out);
  close(ends[0]);
}

}  // namespace
}  // namespace relay
