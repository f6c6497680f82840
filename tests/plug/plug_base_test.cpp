#include <gtest/gtest.h>

#include <cstring>

#include "tests/plug/test_plug.h"

namespace {

TEST(PlugBaseTest, ConstructionCopiesIdentityAndCreatesDefaults) {
  TestPlug plug(3, "1-1", 2, 5);
  EXPECT_STREQ("Test Effect", plug.GetEffectName());
  EXPECT_STREQ("Test Product", plug.GetProductName());
  EXPECT_STREQ("Test Maker", plug.GetMfrName());
  EXPECT_EQ(0x54737450, plug.GetUniqueID());
  EXPECT_EQ(3, plug.NParams());
  EXPECT_EQ(2, plug.NPresets());
  EXPECT_EQ(0, plug.GetCurrentPresetIdx());
  EXPECT_EQ(44100.0, plug.GetSampleRate());
  EXPECT_EQ(0, plug.GetBlockSize());
  EXPECT_EQ(5, plug.GetLatency());
  EXPECT_EQ(0, plug.GetTailSize());
  EXPECT_EQ(kHostUninit, plug.GetHost());
  EXPECT_EQ(kAPIVST2, plug.GetAPI());
  EXPECT_FALSE(plug.IsInst());
  EXPECT_FALSE(plug.DoesMIDI());
  EXPECT_FALSE(plug.DoesStateChunks());
  EXPECT_EQ(nullptr, plug.GetGUI());
  EXPECT_EQ(nullptr, plug.GetParam(3));
  EXPECT_EQ(nullptr, plug.GetParam(-1));
  EXPECT_EQ(IParam::kTypeNone, plug.GetParam(2)->Type());
}

TEST(PlugBaseTest, GuiChangeSetsInformsAndNotifiesInThatOrder) {
  TestPlug plug(2);
  plug.GetParam(1)->InitInt("n", 0, 0, 4);
  plug.SetParameterFromGUI(1, 0.5);
  EXPECT_EQ(2, plug.GetParam(1)->Int());
  ASSERT_EQ(1u, plug.informed.size());
  EXPECT_EQ(1, plug.informed[0].first);
  EXPECT_EQ(0.5, plug.informed[0].second);
  EXPECT_EQ((std::vector<int>{1}), plug.changes);
  plug.SetParameterFromGUI(7, 0.5);
  EXPECT_EQ(1u, plug.informed.size());
}

TEST(PlugBaseTest, ResetAndDirtyWalkEveryParameter) {
  TestPlug plug(3);
  plug.GetParam(2)->Set(0.25);
  plug.OnParamReset();
  EXPECT_EQ((std::vector<int>{0, 1, 2}), plug.changes);
  plug.DirtyParameters();
  ASSERT_EQ(3u, plug.informed.size());
  EXPECT_EQ(0.25, plug.informed[2].second);
}

TEST(PlugBaseTest, MidiGoesBackToTheHost) {
  TestPlug plug;
  IMidiMsg msg(3, 0x90, 60, 100);
  plug.ProcessMidiMsg(&msg);
  ASSERT_EQ(1u, plug.sent.size());
  EXPECT_EQ(60, plug.sent[0].NoteNumber());

  SkyTypedBuf<IMidiMsg> batch;
  batch.Add(IMidiMsg(0, 0x80, 1, 0));
  batch.Add(IMidiMsg(1, 0x80, 2, 0));
  EXPECT_TRUE(plug.SendMidiMsgs(&batch));
  plug.hostAcceptsMidi = false;
  EXPECT_FALSE(plug.SendMidiMsgs(&batch));
  EXPECT_EQ(5u, plug.sent.size());

  ISysEx sysex;
  EXPECT_FALSE(plug.SendSysEx(&sysex));
  char name[8] = "junk";
  EXPECT_FALSE(plug.MidiNoteName(60, name));
  EXPECT_STREQ("", name);
}

TEST(PlugBaseTest, SamplesPerBeatNeedsATempo) {
  TestPlug plug;
  EXPECT_EQ(0.0, plug.GetSamplesPerBeat());
  plug.tempo = 120.0;
  plug.SetSampleRate(48000.0);
  EXPECT_EQ(24000.0, plug.GetSamplesPerBeat());
}

TEST(PlugBaseTest, LockIsRecursiveAndCanBeReleasedEarly) {
  TestPlug plug;
  PlugBase::IMutexLock outer(&plug);
  {
    PlugBase::IMutexLock inner(&plug);
    plug.Reset();
    plug.OnActivate(true);
  }
  outer.Destroy();
  outer.Destroy();
  PlugBase::IMutexLock none(nullptr);
}

TEST(PlugBaseTest, WithoutAnEditorTheEditorCallsDoNothing) {
  TestPlug plug;
  plug.AttachGraphics(nullptr);
  EXPECT_EQ(nullptr, plug.GetGUI());
  plug.RedrawParamControls();
  EXPECT_EQ(nullptr, plug.GetGUI());
}

}  // namespace
