#include "plug/midi.h"

#include <cassert>

#include "plug/text_util_p.h"

namespace {

const int kPitchWheelCenter = 8192;
const int kPitchWheelMax = 16383;

uint8_t StatusByte(int kind, int channel) { return (uint8_t)((kind << 4) | (channel & 0x0F)); }

}  // namespace

void IMidiMsg::Clear() {
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOn, channel);
  mData1 = (uint8_t)noteNumber;
  mData2 = (uint8_t)velocity;
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOff, channel);
  mData1 = (uint8_t)noteNumber;
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  Clear();
  int i = TruncToInt(kPitchWheelCenter * value);
  i = i > kPitchWheelMax - kPitchWheelCenter ? kPitchWheelMax : i + kPitchWheelCenter;
  if (i < 0) i = 0;
  mStatus = StatusByte(kPitchWheel, channel);
  mData1 = (uint8_t)(i & 0x7F);
  mData2 = (uint8_t)(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
  Clear();
  // A data byte above 127 would read as a status byte, so the value stays in range.
  int i = TruncToInt(127.0 * value);
  mStatus = StatusByte(kControlChange, channel);
  mData1 = (uint8_t)idx;
  mData2 = (uint8_t)(i < 0 ? 0 : (i > 127 ? 127 : i));
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  if (mStatus < 0x80 || mStatus >= 0xF0) return kNone;
  return (EStatusMsg)(mStatus >> 4);
}

int IMidiMsg::NoteNumber() const {
  EStatusMsg kind = StatusMsg();
  return kind == kNoteOn || kind == kNoteOff || kind == kPolyAftertouch ? mData1 : -1;
}

int IMidiMsg::Velocity() const {
  EStatusMsg kind = StatusMsg();
  return kind == kNoteOn || kind == kNoteOff ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const { return StatusMsg() == kPolyAftertouch ? mData2 : -1; }

int IMidiMsg::ChannelAfterTouch() const { return StatusMsg() == kChannelAftertouch ? mData1 : -1; }

int IMidiMsg::Program() const { return StatusMsg() == kProgramChange ? mData1 : -1; }

double IMidiMsg::PitchWheel() const {
  if (StatusMsg() != kPitchWheel) return 0.0;
  return (mData2 * 128 + mData1 - kPitchWheelCenter) / (double)kPitchWheelCenter;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
  if (StatusMsg() == kControlChange && ControlChangeIdx() == idx) return mData2 / 127.0;
  return -1.0;
}

void ISysEx::Clear() {
  mOffset = mSize = 0;
  mData = nullptr;
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg msg) {
  switch (msg) {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
  }
  return "unknown";
}

char* SysExStr(char* str, int maxlen, const uint8_t* pData, int size) {
  assert(str != NULL && maxlen >= 3);
  str[0] = 0;
  if (!pData || size <= 0) return str;
  static const char kHex[] = "0123456789ABCDEF";
  int n = size < maxlen / 3 ? size : maxlen / 3;
  int pos = 0;
  for (int i = 0; i < n; ++i) {
    if (i) str[pos++] = ' ';
    str[pos++] = kHex[pData[i] >> 4];
    str[pos++] = kHex[pData[i] & 0x0F];
  }
  str[pos] = 0;
  return str;
}
