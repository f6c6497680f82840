// PlugVST's requests to the host and its entry helper, made in process with a
// scripted host callback.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/vst2/probe_plug.h"
#include "tests/vst2/test_host.h"
#include "vst2/vst_entry.h"

namespace {

class BindingTest : public ::testing::Test {
 protected:
  void SetUp() override { TestHostReset(); }
};

TEST_F(BindingTest, TimeInfoIsFilteredByTheHostsFlags) {
  ProbePlug plug(TestHostCallback);
  VstTimeInfo& ti = Host().timeInfo;
  ti.samplePos = 1234.0;
  ti.ppqPos = 7.0;
  ti.tempo = 120.0;
  ti.barStartPos = 4.0;
  ti.cycleStartPos = 1.0;
  ti.cycleEndPos = 2.0;
  ti.timeSigNumerator = 3;
  ti.timeSigDenominator = 8;
  ti.flags = kVstTempoValid;

  ITimeInfo info;
  info.mTempo = 1.0;
  plug.GetTime(&info);
  EXPECT_EQ(Host().timeFilters.back(), 0x3E00);
  EXPECT_EQ(info.mTempo, 120.0);
  EXPECT_EQ(info.mSamplePos, 1234.0);
  EXPECT_EQ(info.mPPQPos, 0.0);
  EXPECT_EQ(info.mLastBar, 0.0);
  EXPECT_EQ(info.mCycleEnd, 0.0);
  EXPECT_EQ(info.mNumerator, 4);
  EXPECT_FALSE(info.mTransportIsRunning);

  ti.flags = 0x3E00 | kVstTransportPlaying | kVstTransportCycleActive;
  ti.timeSigDenominator = 0;  // invalid: the signature stays
  plug.GetTime(&info);
  EXPECT_EQ(info.mPPQPos, 7.0);
  EXPECT_EQ(info.mLastBar, 4.0);
  EXPECT_EQ(info.mCycleStart, 1.0);
  EXPECT_EQ(info.mCycleEnd, 2.0);
  EXPECT_EQ(info.mNumerator, 4);
  EXPECT_TRUE(info.mTransportIsRunning);
  EXPECT_TRUE(info.mTransportLoopEnabled);

  // A record that shares no flag with the filter counts as absent.
  ti.flags = kVstPpqPosValid;
  EXPECT_EQ(plug.GetTempo(), 0.0);
  EXPECT_EQ(Host().timeFilters.back(), kVstTempoValid);
  int num = 9, denom = 9;
  plug.GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(denom, 0);
  ti.flags = kVstTimeSigValid | kVstTempoValid;
  ti.timeSigDenominator = 8;
  plug.GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 3);
  EXPECT_EQ(denom, 8);
  EXPECT_EQ(plug.GetTempo(), 120.0);
  EXPECT_EQ(plug.GetSamplePos(), 1234);
  ti.samplePos = 99.5;
  EXPECT_EQ(plug.GetSamplePos(), 100);
  ti.samplePos = -3.0;
  EXPECT_EQ(plug.GetSamplePos(), 0);

  Host().giveTime = false;
  plug.GetTimeSig(&num, &denom);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(plug.GetSamplePos(), 0);
  ITimeInfo untouched;
  untouched.mTempo = 77.0;
  plug.GetTime(&untouched);
  EXPECT_EQ(untouched.mTempo, 77.0);
}

TEST_F(BindingTest, HostVersionIsConvertedFromDecimal) {
  {
    ProbePlug plug(TestHostCallback);
    EXPECT_EQ(plug.GetHost(), kHostUnknown);
    EXPECT_EQ(plug.GetHostVersion(false), 0x010203);
    EXPECT_EQ(plug.GetHostVersion(true), 10203);
  }
  Host().vendorVersion = 2100;
  ProbePlug plug(TestHostCallback);
  EXPECT_EQ(plug.GetHostVersion(false), 0x001500);
  Host().productString = "REAPER";
  EXPECT_EQ(plug.GetHost(), kHostUnknown);  // identified once, kept
  EXPECT_EQ(Host().Calls(audioMasterGetProductString), 2);
}

TEST_F(BindingTest, SilentHostLeavesTheHostUnidentified) {
  Host().productString = "";
  ProbePlug plug(TestHostCallback);
  EXPECT_EQ(plug.GetHost(), kHostUninit);
  EXPECT_EQ(Host().Calls(audioMasterGetVendorVersion), 0);
  ProbePlug lonely(nullptr);
  EXPECT_EQ(lonely.GetHost(), kHostUninit);
}

TEST_F(BindingTest, HostSpecificInitRunsOnceAndLimitsNamedHostsToStereo) {
  Host().productString = "Adobe Audition";
  ProbePlug plug(TestHostCallback, false, "4-4");
  ASSERT_TRUE(plug.IsInChannelConnected(3));
  plug.HostSpecificInit();
  plug.HostSpecificInit();
  EXPECT_EQ(plug.hostIdentified, 1);
  EXPECT_EQ(plug.GetHost(), kHostAudition);
  EXPECT_TRUE(plug.IsInChannelConnected(1));
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_FALSE(plug.IsInChannelConnected(3));
  EXPECT_EQ(plug.GetAEffect()->numInputs, 4);

  TestHostReset();
  ProbePlug other(TestHostCallback, false, "4-4");
  other.HostSpecificInit();
  EXPECT_TRUE(other.IsInChannelConnected(3));
}

TEST_F(BindingTest, ParameterAndProgramNoticesReachTheHost) {
  ProbePlug plug(TestHostCallback);
  plug.BeginInformHostOfParamChange(3);
  plug.InformHostOfParamChange(3, 0.25);
  plug.EndInformHostOfParamChange(3);
  plug.InformHostOfProgramChange();
  EXPECT_EQ(Host().Calls(audioMasterBeginEdit), 1);
  EXPECT_EQ(Host().Calls(audioMasterEndEdit), 1);
  EXPECT_EQ(Host().Calls(audioMasterUpdateDisplay), 1);
  ASSERT_EQ(Host().automations.size(), 1u);
  EXPECT_EQ(Host().automations[0].first, 3);
  EXPECT_EQ(Host().automations[0].second, 0.25f);

  EXPECT_FALSE(plug.IsRenderingOffline());
  Host().processLevel = kVstProcessLevelOffline;
  EXPECT_TRUE(plug.IsRenderingOffline());

  plug.SetLatency(64);
  EXPECT_EQ(plug.GetAEffect()->initialDelay, 64);
  EXPECT_EQ(plug.GetLatency(), 64);
}

TEST_F(BindingTest, MidiAndSysExOutReportTheHostsAnswer) {
  ProbePlug plug(TestHostCallback, false, "2-2", true);
  IMidiMsg msg(12, 0x91, 64, 90);
  EXPECT_TRUE(plug.SendMidiMsg(&msg));
  Host().eventsAnswer = 0;
  EXPECT_FALSE(plug.SendMidiMsg(&msg));
  Host().eventsAnswer = 2;
  uint8_t data[] = {0xF0, 1, 2, 0xF7};
  ISysEx sysEx(3, data, 4);
  EXPECT_FALSE(plug.SendSysEx(&sysEx));
  ASSERT_EQ(Host().midiOut.size(), 2u);
  EXPECT_EQ(Host().midiOut[0].deltaFrames, 12);
  EXPECT_EQ((uint8_t)Host().midiOut[0].midiData[0], 0x91);
  EXPECT_EQ(Host().midiOut[0].midiData[3], 0);
  ASSERT_EQ(Host().sysExOut.size(), 1u);
  EXPECT_EQ(Host().sysExOut[0], std::vector<uint8_t>(data, data + 4));

  ProbePlug lonely(nullptr, false, "2-2", true);
  EXPECT_FALSE(lonely.SendMidiMsg(&msg));
  EXPECT_FALSE(lonely.IsRenderingOffline());
  lonely.InformHostOfParamChange(0, 1.0);
  EXPECT_EQ(lonely.GetTempo(), 0.0);
}

TEST_F(BindingTest, CapabilitiesAndFlagsFollowThePlugInsKind) {
  ProbePlug plain(TestHostCallback, false, "2-2", false);
  AEffect* e = plain.GetAEffect();
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
  char sendEvents[] = "sendVstEvents";
  EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, sendEvents, 0.0f), 0);
  ProbePlug midi(TestHostCallback, true, "1-1", true);
  e = midi.GetAEffect();
  EXPECT_EQ(e->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks |
                          effFlagsCanMono);
  EXPECT_EQ(e->dispatcher(e, effCanDo, 0, 0, sendEvents, 0.0f), 1);
}

TEST_F(BindingTest, EntryGivesAtLeastOneProgram) {
  AEffect* e = VSTCreateEffect(TestHostCallback, [](PlugInstanceInfo info) -> PlugVST* {
    return new ProbePlug(info.mVSTHostCallback, false, "2-2", false, 0);
  });
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->numPrograms, 1);
  e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(VSTCreateEffect(TestHostCallback, [](PlugInstanceInfo) -> PlugVST* { return nullptr; }),
            nullptr);
}

}  // namespace
