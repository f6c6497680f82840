// The skylane-relay executable with JACK devices, against a private server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/relay/jack_server.h"
#include "tests/relay/relay_process.h"
#include "tests/relay/test_client.h"

namespace {

using relay_test::PrivateJackServer;
using relay_test::Record;
using relay_test::Relay;
using relay_test::TestClient;

class RelayJack : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!relay_test::JackdInstalled()) GTEST_SKIP() << "jackd is not installed";
  }
  // Reads lines until one starts with start; returns it, or what was read last.
  static std::string ReadUntil(Relay* relay, const std::string& start) {
    std::string line;
    for (int i = 0; i < 20 && line.rfind(start, 0) != 0; ++i) line = relay->ReadLine(10000);
    return line;
  }
  PrivateJackServer jackd_;
};

TEST_F(RelayJack, ListsPortsAndMakesCaptureDevicesNamedAfterTheirPorts) {
  {
    Relay list({"--list-jack"});
    EXPECT_EQ(list.Wait(), 1) << "no server yet";
    EXPECT_EQ(list.errors(), "skylane-relay: no JACK server is running\n");
  }
  ASSERT_TRUE(jackd_.Start());
  Relay list({"--list-jack"});
  EXPECT_EQ(list.Wait(10000), 0);
  EXPECT_NE(list.output().find("  system:capture_1  (physical)  alias dummy_pcm:dummy:out1\n"),
            std::string::npos)
      << list.output();
  EXPECT_NE(list.output().find("--jack-capture makes 1 device(s):\n"
                               "  \"dummy\": system:capture_1, system:capture_2\n"),
            std::string::npos)
      << list.output();

  Relay relay({"--port", "0", "--jack-capture"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  const std::string line = relay.ReadLine();
  EXPECT_EQ(line.substr(line.find(": ") + 2), "(JACK) dummy <- system:capture_1, system:capture_2");
  TestClient client;
  ASSERT_TRUE(client.Connect(port));
  ASSERT_TRUE(client.SendRequest(0, 0));
  std::vector<std::string> texts;
  Record r;
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(client.ReadRecord(&r));
    texts.push_back(r.text());
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"dummy", "Stereo", "capture_1", "capture_2", "Mono"}));
  std::vector<float> samples;
  EXPECT_TRUE(client.ReadFrames(4410, &samples)) << "streams the dummy's (silent) capture";
}

TEST_F(RelayJack, NamesAPortThatDoesNotExistAndKeepsTheDeviceSilent) {
  ASSERT_TRUE(jackd_.Start());
  Relay relay({"--port", "0", "--tone", "Tone", "--jack", "Ghost=nowhere:out_l,system:capture_2"});
  const int port = relay.ReadPort();
  ASSERT_GT(port, 0);
  EXPECT_EQ(ReadUntil(&relay, "JACK: no port"),
            "JACK: no port named nowhere:out_l; device Ghost stays silent on that side until it "
            "appears");
  TestClient client;
  ASSERT_TRUE(client.Connect(port));
  ASSERT_TRUE(client.SendRequest(0, 0));
  std::vector<float> samples;
  ASSERT_TRUE(client.ReadFrames(4410, &samples));
  EXPECT_GT(*std::max_element(samples.begin(), samples.end()), 0.2f) << "the tone plays on";
}

TEST_F(RelayJack, WithoutAServerAnnouncesTheDeviceSaysSoAndServesTheRest) {
  {
    Relay relay({"--port", "0", "--jack", "Later", "--tone", "Tone"});
    const int port = relay.ReadPort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(ReadUntil(&relay, "JACK:"),
              "JACK: no JACK server is running; JACK devices play silence, retrying every 2 s");
    TestClient client;
    ASSERT_TRUE(client.Connect(port));
    ASSERT_TRUE(client.SendRequest(0, 0));
    Record r;
    ASSERT_TRUE(client.ReadRecord(&r));
    EXPECT_EQ(r.text(), "Later");
    std::vector<float> samples;
    ASSERT_TRUE(client.ReadFrames(4410, &samples));
    EXPECT_EQ(samples, std::vector<float>(samples.size(), 0.0f));
    ASSERT_TRUE(jackd_.Start());
    EXPECT_EQ(ReadUntil(&relay, "JACK:").rfind("JACK: connected as skylane-relay, 48000 Hz", 0),
              0u);
  }
  // jackd stopped under a connected client keeps its entry in JACK's table of
  // servers; the relay has gone first.
  jackd_.Stop();
  Relay none({"--jack-capture"});
  EXPECT_EQ(none.Wait(), 1);
  EXPECT_EQ(none.errors(), "skylane-relay: no device to serve\n");
  EXPECT_NE(none.output().find("JACK: --jack-capture makes no device: no JACK server is running"),
            std::string::npos)
      << none.output();
}

}  // namespace
