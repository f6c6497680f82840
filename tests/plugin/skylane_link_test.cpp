// An instance against a scripted relay: the request, control messages, audio,
// protocol errors, reconnection and shutdown in every link state.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

namespace {

using Clock = std::chrono::steady_clock;

class SkylaneLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { UseTestRelay(mRelay.Port(), 10); }
  void TearDown() override {
    mPlug.reset();
    for (int fd : mClients) close(fd);
  }
  // Accepts the plug-in's next connection and reads its request.
  int Client(std::string* request = nullptr, int32_t* loop = nullptr) {
    const int fd = mRelay.Accept();
    if (fd < 0) return -1;
    mClients.push_back(fd);
    const std::string line = ReadRequest(fd, loop);
    if (request) *request = line;
    return fd;
  }
  // The watch thread writes the status line first, the names after it.
  bool TextIs(const StatusText& line, const std::string& text) {
    return WaitFor([&] { return TextOf(line) == text; });
  }
  bool StatusIs(const std::string& text) { return TextIs(mPlug->StatusLine(), text); }
  bool EventIs(const std::string& text) {
    return WaitFor([&] { return TextOf(mPlug->LastEvent()) == text; });
  }

  ScriptedRelay mRelay;
  std::unique_ptr<Skylane> mPlug;
  std::vector<int> mClients;
};

TEST_F(SkylaneLinkTest, RequestNamesDeviceAndChannelThenTheLoopSetting) {
  mPlug = OpenSkylane();
  SetParam(*mPlug, kParamChannel, 2);
  SetParam(*mPlug, kParamDeviceId, 171);
  const int fd = mRelay.Accept();
  ASSERT_GE(fd, 0);
  mClients.push_back(fd);
  char bytes[26];
  ASSERT_TRUE(ReadExactly(fd, bytes, sizeof bytes));
  EXPECT_EQ(std::string(bytes, 18), "GET /.streamab_2\r\n");
  EXPECT_EQ(std::string(bytes + 18, 8), std::string(8, '\0'));
  EXPECT_TRUE(WaitFor([&] { return mPlug->Status().streamDeviceId == 171; }));
  EXPECT_EQ(mPlug->GetParam(kParamDeviceId)->Value(), 171);
  EXPECT_EQ(mPlug->Status().connections, 1);
}

TEST_F(SkylaneLinkTest, EffectsLoopChangesAndAudioReachTheRelay) {
  mPlug = OpenSkylane();
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(WaitFor([&] { return mPlug->Status().linkOpen == 1; }));
  SetParam(*mPlug, kParamEffectsLoop, 1);
  SetParam(*mPlug, kParamEffectsLoop, 1);  // unchanged: nothing sent
  int32_t message[2];
  ASSERT_TRUE(ReadExactly(fd, message, sizeof message));
  EXPECT_EQ(message[0], 0);
  EXPECT_EQ(message[1], 1);
  Block block(256, 0.5);
  block.Process(*mPlug, 256);
  int32_t frames = 0;
  ASSERT_TRUE(ReadExactly(fd, &frames, 4));
  EXPECT_EQ(frames, 256);  // not a second loop message
  std::vector<float> samples(512);
  ASSERT_TRUE(ReadExactly(fd, samples.data(), 2048));
  EXPECT_EQ(samples[0], 0.5f);
  EXPECT_EQ(samples[1], -0.5f);
  Block large(8192, 0.25);
  large.Process(*mPlug, 8192);
  int sent = 0;
  while (sent < 8192 && ReadExactly(fd, &frames, 4)) {
    ASSERT_GE(frames, 1);
    ASSERT_LE(frames, 4096);
    samples.resize(2 * static_cast<size_t>(frames));
    ASSERT_TRUE(ReadExactly(fd, samples.data(), samples.size() * 4));
    EXPECT_EQ(samples.back(), -0.25f);
    sent += frames;
  }
  EXPECT_EQ(sent, 8192);
  SetParam(*mPlug, kParamEffectsLoop, 0);
  ASSERT_TRUE(ReadExactly(fd, message, sizeof message));
  EXPECT_EQ(message[1], 0);
  block.Process(*mPlug, 256);
  EXPECT_FALSE(ReadExactly(fd, &frames, 4, 100));
}

TEST_F(SkylaneLinkTest, AnnouncedDevicesFillTheTableAndTheTexts) {
  mPlug = OpenSkylane();
  SetParam(*mPlug, kParamDeviceId, 171);
  SetParam(*mPlug, kParamChannel, 2);
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(StatusIs("Connected: Desk - TR2"));
  EXPECT_TRUE(TextIs(mPlug->DeviceNameLine(0), "Phone"));
  EXPECT_TRUE(TextIs(mPlug->DeviceNameLine(1), "Desk"));
  EXPECT_TRUE(TextIs(mPlug->ChannelNameLine(3), "TR3"));
  ASSERT_TRUE(SendControl(fd, 2, 171, 2, "Synth"));
  ASSERT_TRUE(SendControl(fd, 2, 171, 4, "bad"));
  ASSERT_TRUE(SendControl(fd, 2, 171, -1, "bad"));
  ASSERT_TRUE(StatusIs("Connected: Desk - Synth"));
  EXPECT_TRUE(TextIs(mPlug->ChannelNameLine(2), "Synth"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Studio Desk"));
  ASSERT_TRUE(StatusIs("Connected: Studio Desk - Synth"));
  ASSERT_TRUE(SendControl(fd, 0, 0, 0, "hello from the relay"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(mPlug->RelayMessage()) == "hello from the relay"; }));
  EXPECT_EQ(mPlug->Devices().Count(), 2);
  EXPECT_TRUE(WaitFor([&] { return TextOf(mPlug->DebugLine2()) == "[1:2]:<ab><ab>171:2"; }));
  EXPECT_EQ(mPlug->Status().connections, 1);
}

TEST_F(SkylaneLinkTest, UnknownDeviceShowsPriorDeviceNotFound) {
  mPlug = OpenSkylane();
  SetParam(*mPlug, kParamDeviceId, 0x99);
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(StatusIs("Prior device not found"));
}

// The table keeps the names of an earlier relay run; only the devices the
// current connection announced count as present.
TEST_F(SkylaneLinkTest, DeviceIsJudgedByTheCurrentConnection) {
  mPlug = OpenSkylane();
  SetParam(*mPlug, kParamDeviceId, 171);
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(StatusIs("Connected: Desk - TR0"));
  close(fd);
  mClients.pop_back();
  std::string request;
  fd = Client(&request);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(request, "GET /.streamab_0\r\n");
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(StatusIs("Prior device not found"));
  EXPECT_EQ(mPlug->Devices().Count(), 2);
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(StatusIs("Connected: Desk - TR0"));
}

TEST_F(SkylaneLinkTest, DeviceZeroAdoptsTheFirstDeviceWithoutReconnecting) {
  mPlug = OpenSkylane();
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendControl(fd, 1, 0x42, 0, "First"));
  ASSERT_TRUE(SendControl(fd, 1, 0x43, 0, "Second"));
  ASSERT_TRUE(StatusIs("Connected: First - TR0"));
  const SkylaneStatus status = mPlug->Status();
  EXPECT_EQ(status.requestedDeviceId, 0x42);
  EXPECT_EQ(status.streamDeviceId, 0x42);
  EXPECT_EQ(status.selectedDevice, 0);
  EXPECT_FALSE(PeerClosed(fd, 100));
  EXPECT_EQ(mPlug->Status().connections, 1);
}

// A device button requests the picked entry's device; a later Device ID asks
// for another device and gets it.
TEST_F(SkylaneLinkTest, DeviceIdStillWorksAfterAButtonPickedADevice) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(StatusIs("Connected: Phone - TR0"));
  SetParam(*mPlug, kParamDeviceButton0 + 1, 1);
  EXPECT_TRUE(PeerClosed(fd));
  std::string request;
  fd = Client(&request);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(request, "GET /.streamab_0\r\n");
  SetParam(*mPlug, kParamDeviceId, 5);
  EXPECT_TRUE(PeerClosed(fd));
  fd = Client(&request);
  EXPECT_EQ(request, "GET /.stream5_0\r\n");
  SetParam(*mPlug, kParamChannel, 1);  // any later change keeps the device asked for
  EXPECT_TRUE(PeerClosed(fd));
  Client(&request);
  EXPECT_EQ(request, "GET /.stream5_1\r\n");
}

TEST_F(SkylaneLinkTest, AudioIsQueuedForPlayback) {
  mPlug = OpenSkylane();
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 4096, 0.5f));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Fifo().writeIndex.load() == 8192; }));
  Block block(512);
  block.Process(*mPlug, 512);
  EXPECT_EQ(block.outLeft[0], 0.5);
  EXPECT_EQ(block.outRight[511], 0.5);
}

// A relay that outpaces the host: audio that would overwrite unplayed audio is
// dropped whole and counted; what was queued plays intact.
TEST_F(SkylaneLinkTest, AudioThatDoesNotFitIsDroppedWhole) {
  mPlug = OpenSkylane();
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 16, 9.0f));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Fifo().writeIndex.load() == 32; }));
  Block block(4096);
  block.Process(*mPlug, 16);  // the first block starts the trimming period
  ASSERT_EQ(block.outLeft[15], 9.0);
  for (int packet = 1; packet <= 5; ++packet) ASSERT_TRUE(SendAudio(fd, 4096, packet));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Status().droppedReceived == 2; }));
  for (double packet : {1.0, 2.0, 3.0, 0.0}) {
    block.Process(*mPlug, 4096);
    EXPECT_EQ(block.outLeft[0], packet);
    EXPECT_EQ(block.outRight[4095], packet);
  }
}

TEST_F(SkylaneLinkTest, AudioIsResampledToTheHostRate) {
  mPlug = OpenSkylane();
  mPlug->SetSampleRate(48000);
  Block block(64);
  block.Process(*mPlug, 64);  // the callback retunes the receive resampler
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 1000, 0.5f));  // resampled in pieces of at most 512 frames
  int inserted = 0;
  ASSERT_TRUE(WaitFor([&] {
    inserted = mPlug->Fifo().writeIndex.load();
    return inserted > 2 * 1000;
  }));
  EXPECT_NEAR(inserted, 2 * 1000 * 48000.0 / 44100.0, 8);
}

TEST_F(SkylaneLinkTest, BadHeadersDropTheLinkAndItComesBack) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendWord(fd, 4097));
  EXPECT_TRUE(PeerClosed(fd));
  EXPECT_TRUE(
      WaitFor([&] { return TextOf(mPlug->LastEvent()).rfind("n 4 long 4097 sfd ", 0) == 0; }));
  fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendWord(fd, -1));
  EXPECT_TRUE(PeerClosed(fd));
  EXPECT_TRUE(
      WaitFor([&] { return TextOf(mPlug->LastEvent()).rfind("n 4 long -1 sfd ", 0) == 0; }));
  fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendWord(fd, 100));
  ASSERT_TRUE(WriteAll(fd, "short", 5));
  shutdown(fd, SHUT_WR);
  EXPECT_TRUE(EventIs("Badsize"));
  fd = Client();
  ASSERT_GE(fd, 0);
  EXPECT_TRUE(WaitFor([&] { return mPlug->Status().connections == 4; }));
}

TEST_F(SkylaneLinkTest, ControlSizesOutsideTheBodyAreHandled) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendControl(fd, 1, 77, 0, std::string(600, 'L'), 600));
  ASSERT_TRUE(SendAudio(fd, 16, 0.25f));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Fifo().lastInsert.load() == 32; }));
  DeviceEntry entry;
  ASSERT_TRUE(mPlug->Devices().Get(0, &entry));
  EXPECT_EQ(std::string(entry.name), std::string(259, 'L'));
  ASSERT_TRUE(SendWord(fd, 0));
  ASSERT_TRUE(SendWord(fd, -20));
  EXPECT_TRUE(PeerClosed(fd));
  fd = Client();
  EXPECT_GE(fd, 0);
}

TEST_F(SkylaneLinkTest, RelayClosingMidStreamIsFollowedByAReconnect) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 100, 0.1f));
  ASSERT_TRUE(SendWord(fd, 100));  // the payload never comes
  close(fd);
  mClients.pop_back();
  const auto start = Clock::now();
  fd = Client();
  ASSERT_GE(fd, 0);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_TRUE(WaitFor([&] { return mPlug->Status().connections == 2; }));
}

// A relay that keeps the connection open but sends nothing is dropped after
// the stall limit, and the watch thread connects again.
TEST_F(SkylaneLinkTest, ASilentRelayIsDroppedAndReconnected) {
  UseTestRelay(mRelay.Port(), 10, 300);
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 64, 0.5f));
  EXPECT_TRUE(PeerClosed(fd));
  EXPECT_TRUE(EventIs("Stall 300 ms"));
  fd = Client();
  EXPECT_GE(fd, 0);
  EXPECT_TRUE(WaitFor([&] { return mPlug->Status().connections == 2; }));
}

TEST_F(SkylaneLinkTest, ChannelOrDeviceChangeRestartsTheStream) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(SendAudio(fd, 2000, 0.5f));
  ASSERT_TRUE(WaitFor([&] { return mPlug->Fifo().writeIndex.load() == 4000; }));
  SetParam(*mPlug, kParamChannel, 3);
  EXPECT_TRUE(PeerClosed(fd));
  std::string request;
  fd = Client(&request);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(request, "GET /.stream0_3\r\n");
  Block block(512);
  block.Process(*mPlug, 512);
  EXPECT_EQ(block.outLeft[0], 0.0);  // nothing of the old stream
  ASSERT_TRUE(SendAudio(fd, 1024, 0.25f));
  EXPECT_TRUE(WaitFor([&] {
    block.Process(*mPlug, 512);
    return block.outLeft[0] != 0.0;
  }));
  EXPECT_EQ(block.outLeft[511], 0.25);
  SetParam(*mPlug, kParamDeviceId, 0x1234);
  EXPECT_TRUE(PeerClosed(fd));
  fd = Client(&request);
  EXPECT_EQ(request, "GET /.stream1234_3\r\n");
}

TEST_F(SkylaneLinkTest, ResetDropsTheLinkAndTheWatchThreadReconnects) {
  mPlug = OpenSkylane();
  int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(WaitFor([&] { return mPlug->Status().connections == 1 && mPlug->Status().linkUp; }));
  ASSERT_TRUE(WaitFor([&] { return TextOf(mPlug->StatusLine()) != "Not connected"; }));
  mPlug->Reset();
  EXPECT_TRUE(PeerClosed(fd));
  EXPECT_EQ(TextOf(mPlug->LastEvent()), "reset");
  EXPECT_GE(Client(), 0);
}

TEST_F(SkylaneLinkTest, ARelayThatStopsReadingNeverBlocksTheCallback) {
  mPlug = OpenSkylane();
  mPlug->SetSampleRate(48000);
  const int fd = Client();
  ASSERT_GE(fd, 0);
  ASSERT_TRUE(WaitFor([&] { return mPlug->Status().linkOpen == 1; }));
  SetParam(*mPlug, kParamEffectsLoop, 1);
  Block block(4096);
  auto slowest = Clock::duration::zero();
  for (int i = 0; i < 400; ++i) {
    const auto start = Clock::now();
    block.Process(*mPlug, 4096);
    slowest = std::max(slowest, Clock::now() - start);
  }
  // A blocking send would hold a callback until the relay reads, which it never
  // does; the margin only absorbs a busy machine's scheduling.
  EXPECT_LT(slowest, std::chrono::milliseconds(500));
  EXPECT_GT(mPlug->Status().droppedPackets, 0);
  EXPECT_FALSE(PeerClosed(fd, 50));  // dropping packets keeps the link
}

// A relay that streams audio to every client until the client goes away.
class StreamingRelay {
 public:
  StreamingRelay() : mThread([this] { Serve(); }) {}
  ~StreamingRelay() {
    mStop = true;
    mThread.join();
    for (std::thread& t : mClients) t.join();
  }
  int Port() const { return mRelay.Port(); }

 private:
  void Serve() {
    while (!mStop) {
      const int fd = mRelay.Accept(10);
      if (fd >= 0)
        mClients.emplace_back([fd] {
          while (SendAudio(fd, 256, 0.5f))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
          close(fd);
        });
    }
  }
  ScriptedRelay mRelay;
  std::atomic<bool> mStop{false};
  std::vector<std::thread> mClients;
  std::thread mThread;
};

TEST(SkylaneCyclesTest, CreateAndDestroyWhileTheRelayStreams) {
  const int descriptors = OpenDescriptors();
  {
    StreamingRelay relay;
    UseTestRelay(relay.Port(), 1);
    auto slowest = Clock::duration::zero();
    int streamed = 0;
    for (int i = 0; i < 100; ++i) {
      auto plug = std::make_unique<Skylane>(PlugInstanceInfo{nullptr});
      plug->OnParamReset();
      // Alternate between deleting at once, while connecting and while streaming.
      if (i % 3 == 1) WaitFor([&] { return plug->Status().linkUp == 1; }, 1000);
      if (i % 3 == 2 && WaitFor([&] { return plug->Fifo().lastInsert.load() > 0; }, 2000))
        ++streamed;
      const auto start = Clock::now();
      plug.reset();
      slowest = std::max(slowest, Clock::now() - start);
    }
    EXPECT_LT(slowest, std::chrono::milliseconds(100));
    EXPECT_EQ(streamed, 33);
  }
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

}  // namespace
