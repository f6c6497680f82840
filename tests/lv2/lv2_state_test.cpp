// State through the test host: a saved session reopens with the same device,
// channel, latency and loop, and a damaged state is refused whole.
#include <gtest/gtest.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/lv2/lv2_test_host.h"
#include "tests/plugin/scripted_relay.h"

namespace {

constexpr char kStateKey[] = "urn:skylane:lv2:skylane#state";

// Accepts the plug-in's connections until one asks for want (an earlier one
// may carry the values from before a restore); stores its loop flag.
bool RequestArrives(ScriptedRelay& relay, const std::string& want, int32_t* loop) {
  return WaitFor(
      [&] {
        const int fd = relay.Accept(100);
        if (fd < 0) return false;
        const bool found = ReadRequest(fd, loop) == want;
        close(fd);
        return found;
      },
      10000);
}

// A session with device 171, channel 2, latency 3 and the loop on.
std::string SavedSession() {
  LV2TestHost host;
  if (!host.Instantiate(48000.0)) return "";
  host.Control("channel") = 2;
  host.Control("latency_control") = 3;
  host.Control("device_id") = 171;
  host.Control("effects_loop") = 1;
  host.Run(64);
  return host.SaveState();
}

TEST(StateTest, ASavedSessionReopensWithTheSameDeviceChannelLatencyAndLoop) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  const std::string session = SavedSession();
  ASSERT_NE(session.find(kStateKey), std::string::npos) << session;

  // The plug-in's own state alone brings the stream back as it was.
  UseTestRelay(relay.Port(), 5);
  LV2TestHost reopened;
  ASSERT_TRUE(reopened.Instantiate(44100.0));
  ASSERT_TRUE(reopened.RestoreState(session, false));
  int32_t loop = -1;
  EXPECT_TRUE(RequestArrives(relay, "GET /.streamab_2\r\n", &loop));
  EXPECT_EQ(loop, 1);

  // With the host's port values as well, the session saves back unchanged.
  UseTestRelay(relay.Port(), 60000);
  LV2TestHost again;
  ASSERT_TRUE(again.Instantiate(48000.0));
  ASSERT_TRUE(again.RestoreState(session, true));
  again.Run(64);
  EXPECT_EQ(again.SaveState(), session);
}

struct Stored {
  std::vector<char> bytes;
  uint32_t type;
};

const void* Retrieve(LV2_State_Handle handle, uint32_t, size_t* size, uint32_t* type,
                     uint32_t* flags) {
  auto* stored = static_cast<Stored*>(handle);
  *size = stored->bytes.size();
  *type = stored->type;
  *flags = LV2_STATE_IS_POD;
  return stored->bytes.data();
}

TEST(StateTest, ADamagedStateIsRefusedWhole) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  LV2TestHost host;
  ASSERT_TRUE(host.Instantiate(48000.0));
  host.Control("channel") = 1;
  host.Run(1);
  const std::string before = host.SaveState();
  const auto* state = (const LV2_State_Interface*)lilv_instance_get_extension_data(
      host.Instance(), LV2_STATE__interface);
  ASSERT_NE(state, nullptr);
  LV2_Handle plug = lilv_instance_get_handle(host.Instance());
  const uint32_t chunk = host.Map()->map(host.Map()->handle, LV2_ATOM__Chunk);
  const uint32_t other = host.Map()->map(host.Map()->handle, LV2_ATOM__Float);

  // Nine parameter values of 3.0, after the framework's "tffp" header.
  std::vector<char> good(8 + 9 * sizeof(double));
  const int32_t header[2] = {0x70666674, 0x00010000};
  memcpy(good.data(), header, sizeof header);
  for (int i = 0; i < 9; ++i) {
    const double v = 3.0;
    memcpy(good.data() + 8 + i * sizeof v, &v, sizeof v);
  }
  std::vector<char> shortened(good.begin(), good.end() - 1), longer(good);
  longer.push_back(0);
  std::vector<char> notANumber(good);
  const double nan = std::nan("");
  memcpy(notANumber.data() + 8 + 4 * sizeof nan, &nan, sizeof nan);
  for (Stored bad : {Stored{shortened, chunk}, Stored{longer, chunk}, Stored{notANumber, chunk},
                     Stored{good, other}, Stored{{}, chunk}}) {
    EXPECT_NE(state->restore(plug, Retrieve, &bad, 0, host.Features()), LV2_STATE_SUCCESS);
    EXPECT_EQ(host.SaveState(), before);
  }
  Stored fine{good, chunk};
  EXPECT_EQ(state->restore(plug, Retrieve, &fine, 0, host.Features()), LV2_STATE_SUCCESS);
  EXPECT_NE(host.SaveState(), before);
}

}  // namespace
