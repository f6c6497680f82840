// The host callback's answers and transport, and the progress meter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "host/host_callback.h"
#include "host/meter.h"

namespace {

class HostCallbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.sampleRate = 44100.0;
    state_.blockSize = 256;
    HostInstallState(&state_);
  }
  void TearDown() override { HostInstallState(nullptr); }
  VstIntPtr Call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return HostCallback(nullptr, opcode, index, value, ptr, 0.0f);
  }
  HostState state_;
};

TEST_F(HostCallbackTest, AnswersIdentityAndSettings) {
  EXPECT_EQ(Call(audioMasterVersion), 2400);
  EXPECT_EQ(Call(audioMasterGetSampleRate), 44100);
  EXPECT_EQ(Call(audioMasterGetBlockSize), 256);
  EXPECT_EQ(Call(audioMasterGetVendorVersion), kHostVendorVersion);
  char text[256];
  std::memset(text, 'x', sizeof text);
  EXPECT_EQ(Call(audioMasterGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "skylane-host");
  EXPECT_EQ(Call(audioMasterGetProductString), 0);  // no buffer
  EXPECT_EQ(Call(audioMasterCanDo, 0, 0, const_cast<char*>("sendVstTimeInfo")), 1);
  EXPECT_EQ(Call(audioMasterCanDo, 0, 0, const_cast<char*>("openFileSelector")), 0);
  EXPECT_EQ(Call(audioMasterCanDo), 0);
  EXPECT_EQ(Call(9999), 0);
}

TEST_F(HostCallbackTest, CountsAutomationAndEditGestures) {
  Call(audioMasterBeginEdit, 1);
  Call(audioMasterAutomate, 1);
  Call(audioMasterAutomate, 1);
  Call(audioMasterEndEdit, 1);
  EXPECT_EQ(state_.beginEdits, 1);
  EXPECT_EQ(state_.automations, 2);
  EXPECT_EQ(state_.endEdits, 1);
  VstEvents events{};
  events.numEvents = 2;
  EXPECT_EQ(Call(audioMasterProcessEvents, 0, 0, &events), 1);
  EXPECT_EQ(state_.eventsReceived, 2);
}

TEST_F(HostCallbackTest, ProcessLevelFollowsTheState) {
  EXPECT_EQ(Call(audioMasterGetCurrentProcessLevel), kVstProcessLevelUser);
  state_.processLevel = kVstProcessLevelOffline;
  EXPECT_EQ(Call(audioMasterGetCurrentProcessLevel), kVstProcessLevelOffline);
}

TEST_F(HostCallbackTest, TimeInfoFollowsTheTransport) {
  state_.samplePos = 1.5 * 44100.0;  // 3 quarter notes at 120 bpm
  auto* t = reinterpret_cast<VstTimeInfo*>(Call(audioMasterGetTime, 0, kVstTempoValid));
  ASSERT_NE(t, nullptr);
  EXPECT_DOUBLE_EQ(t->samplePos, 66150.0);
  EXPECT_DOUBLE_EQ(t->sampleRate, 44100.0);
  EXPECT_DOUBLE_EQ(t->tempo, 120.0);
  EXPECT_DOUBLE_EQ(t->ppqPos, 3.0);
  EXPECT_DOUBLE_EQ(t->barStartPos, 0.0);
  EXPECT_EQ(t->timeSigNumerator, 4);
  EXPECT_EQ(t->timeSigDenominator, 4);
  const VstInt32 valid = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  EXPECT_EQ(t->flags & valid, valid);
  EXPECT_EQ(t->flags & (kVstTransportPlaying | kVstTransportChanged), 0);

  state_.playing = true;
  state_.samplePos = 5.0 * 44100.0;  // 10 quarter notes: bar 3 starts at 8
  t = reinterpret_cast<VstTimeInfo*>(Call(audioMasterGetTime));
  EXPECT_DOUBLE_EQ(t->ppqPos, 10.0);
  EXPECT_DOUBLE_EQ(t->barStartPos, 8.0);
  EXPECT_EQ(t->flags & (kVstTransportPlaying | kVstTransportChanged),
            kVstTransportPlaying | kVstTransportChanged);
  t = reinterpret_cast<VstTimeInfo*>(Call(audioMasterGetTime));
  EXPECT_EQ(t->flags & kVstTransportChanged, 0);  // reported once
}

TEST_F(HostCallbackTest, TimeInfoFollowsTheTimeSignature) {
  state_.timeSigNumerator = 6;
  state_.timeSigDenominator = 8;     // bars of 3 quarter notes
  state_.samplePos = 3.5 * 44100.0;  // 7 quarter notes
  auto* t = reinterpret_cast<VstTimeInfo*>(Call(audioMasterGetTime));
  EXPECT_DOUBLE_EQ(t->barStartPos, 6.0);
}

TEST(Meter, ReportsPeakAndRmsPerChannel) {
  Meter meter(2);
  std::vector<std::vector<double>> block = {std::vector<double>(100, 0.5),
                                            std::vector<double>(100, 0.0)};
  block[1][10] = -1.0;  // one full-scale sample among silence
  meter.Add(block, 0, 100);
  EXPECT_EQ(meter.frames(), 100);
  EXPECT_EQ(meter.Line(1.0),
            "time 1.000 s | out 1: peak -6.0 dBFS, RMS -6.0 dBFS | out 2: peak 0.0 dBFS, RMS "
            "-20.0 dBFS");
  meter.Reset();
  std::vector<std::vector<double>> silent = {std::vector<double>(10, 0.0),
                                             std::vector<double>(10, NAN)};
  meter.Add(silent, 0, 10);
  EXPECT_EQ(meter.nonFinite(), 10);
  EXPECT_EQ(meter.Line(2.0),
            "time 2.000 s | out 1: peak -inf dBFS, RMS -inf dBFS | out 2: peak -inf dBFS, RMS "
            "-inf dBFS | 10 non-finite samples");
}

}  // namespace
