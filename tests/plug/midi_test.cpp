#include <gtest/gtest.h>

#include "plug/midi.h"

namespace {

TEST(IMidiMsgTest, NoteMessagesCarryChannelOffsetAndVelocity) {
  IMidiMsg msg;
  msg.MakeNoteOnMsg(60, 100, 17, 3);
  EXPECT_EQ(0x93, msg.mStatus);
  EXPECT_EQ(17, msg.mOffset);
  EXPECT_EQ(IMidiMsg::kNoteOn, msg.StatusMsg());
  EXPECT_EQ(3, msg.Channel());
  EXPECT_EQ(60, msg.NoteNumber());
  EXPECT_EQ(100, msg.Velocity());
  EXPECT_EQ(-1, msg.Program());

  msg.MakeNoteOffMsg(61, 5);
  EXPECT_EQ(0x80, msg.mStatus);
  EXPECT_EQ(0, msg.mData2);
  EXPECT_EQ(61, msg.NoteNumber());
  EXPECT_EQ(0, msg.Velocity());
}

TEST(IMidiMsgTest, BuildersClearTheOffset) {
  IMidiMsg msg(99, 0x90, 1, 2);
  msg.MakePitchWheelMsg(0.0);
  EXPECT_EQ(0, msg.mOffset);
  msg.mOffset = 99;
  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 0.5, 2);
  EXPECT_EQ(0, msg.mOffset);
}

TEST(IMidiMsgTest, PitchWheelBuildingCoversAndClampsTheRange) {
  const struct {
    double value;
    int d1, d2;
  } cases[] = {{0.0, 0x00, 0x40},  {1.0, 0x7F, 0x7F},   {-1.0, 0x00, 0x00}, {2.0, 0x7F, 0x7F},
               {-2.0, 0x00, 0x00}, {1e300, 0x7F, 0x7F}, {0.5, 0x00, 0x60}};
  for (const auto& c : cases) {
    IMidiMsg msg;
    msg.MakePitchWheelMsg(c.value, 1);
    EXPECT_EQ(0xE1, msg.mStatus) << c.value;
    EXPECT_EQ(c.d1, msg.mData1) << c.value;
    EXPECT_EQ(c.d2, msg.mData2) << c.value;
  }
}

TEST(IMidiMsgTest, PitchWheelReading) {
  EXPECT_EQ(0.0, IMidiMsg(0, 0xE0, 0x00, 0x40).PitchWheel());
  EXPECT_EQ(-1.0, IMidiMsg(0, 0xE0, 0x00, 0x00).PitchWheel());
  EXPECT_NEAR(1.0, IMidiMsg(0, 0xE0, 0x7F, 0x7F).PitchWheel(), 1e-3);
  EXPECT_EQ(0.0, IMidiMsg(0, 0xB0, 0x00, 0x00).PitchWheel());
}

TEST(IMidiMsgTest, ControlChangeBuildingTruncatesAndStaysAByte) {
  IMidiMsg msg;
  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 1.0, 0);
  EXPECT_EQ(0xB0, msg.mStatus);
  EXPECT_EQ(7, msg.mData1);
  EXPECT_EQ(127, msg.mData2);
  msg.MakeControlChangeMsg(IMidiMsg::kChannelVolume, 0.999, 0);
  EXPECT_EQ(126, msg.mData2);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, 3.0, 0);
  EXPECT_EQ(127, msg.mData2);
  msg.MakeControlChangeMsg(IMidiMsg::kPan, -1.0, 0);
  EXPECT_EQ(0, msg.mData2);
}

TEST(IMidiMsgTest, ControlChangeReadingMatchesTheController) {
  IMidiMsg msg(0, 0xB2, IMidiMsg::kModWheel, 127);
  EXPECT_EQ(IMidiMsg::kModWheel, msg.ControlChangeIdx());
  EXPECT_EQ(1.0, msg.ControlChange(IMidiMsg::kModWheel));
  EXPECT_EQ(-1.0, msg.ControlChange(IMidiMsg::kPan));
  EXPECT_EQ(-1.0, IMidiMsg(0, 0x92, 1, 127).ControlChange(IMidiMsg::kModWheel));
}

TEST(IMidiMsgTest, SystemAndDataBytesReadAsNone) {
  IMidiMsg clock(0, 0xF8, 60, 1);
  EXPECT_EQ(IMidiMsg::kNone, clock.StatusMsg());
  EXPECT_EQ(8, clock.Channel());
  EXPECT_EQ(-1, clock.NoteNumber());
  EXPECT_EQ(IMidiMsg::kNone, IMidiMsg(0, 0x45, 1, 1).StatusMsg());
}

TEST(IMidiMsgTest, ReadersAnswerOnlyForTheirKind) {
  EXPECT_EQ(33, IMidiMsg(0, 0xA0, 5, 33).PolyAfterTouch());
  EXPECT_EQ(5, IMidiMsg(0, 0xA0, 5, 33).NoteNumber());
  EXPECT_EQ(-1, IMidiMsg(0, 0xA0, 5, 33).Velocity());
  EXPECT_EQ(44, IMidiMsg(0, 0xD0, 44, 0).ChannelAfterTouch());
  EXPECT_EQ(-1, IMidiMsg(0, 0xD0, 44, 0).PolyAfterTouch());
  EXPECT_EQ(12, IMidiMsg(0, 0xC0, 12, 0).Program());
  EXPECT_EQ(-1, IMidiMsg(0, 0xC0, 12, 0).ChannelAfterTouch());
}

TEST(ISysExTest, TextFitsTheBuffer) {
  const uint8_t data[] = {0xF0, 0x7E, 0x7F, 0x09};
  char text[16];
  EXPECT_STREQ("F0 7E", SysExStr(text, 7, data, 4));
  EXPECT_STREQ("F0 7E 7F 09", SysExStr(text, 12, data, 4));
  EXPECT_STREQ("F0", SysExStr(text, 3, data, 4));
  EXPECT_STREQ("", SysExStr(text, 16, nullptr, 4));
  EXPECT_STREQ("", SysExStr(text, 16, data, 0));
}

}  // namespace
