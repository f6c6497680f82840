#pragma once
// Host-neutral records for short MIDI messages and system-exclusive messages.

#include <cstdint>

struct IMidiMsg {
  enum EStatusMsg {
    kNone = 0,
    kNoteOff = 8,
    kNoteOn = 9,
    kPolyAftertouch = 10,
    kControlChange = 11,
    kProgramChange = 12,
    kChannelAftertouch = 13,
    kPitchWheel = 14
  };

  // A controller number 0 ... 127; the common ones are named.
  enum EControlChangeMsg {
    kModWheel = 1,
    kBreathController = 2,
    kFootController = 4,
    kPortamentoTime = 5,
    kChannelVolume = 7,
    kBalance = 8,
    kPan = 10,
    kExpressionController = 11,
    kSustainOnOff = 64,
    kAllNotesOff = 123
  };

  int mOffset;      // sample offset within the current block
  uint8_t mStatus;  // kind in the high nibble, channel in the low nibble
  uint8_t mData1;
  uint8_t mData2;

  IMidiMsg(int offset = 0, uint8_t status = 0, uint8_t data1 = 0, uint8_t data2 = 0)
      : mOffset(offset), mStatus(status), mData1(data1), mData2(data2) {}

  void Clear();
  void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
  void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
  // value in -1 ... 1, mapped to the 14-bit wheel range.
  void MakePitchWheelMsg(double value, int channel = 0);
  // value in 0 ... 1, mapped to 0 ... 127.
  void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);

  int Channel() const { return mStatus & 0x0F; }
  // The message kind; system messages and running data bytes read as kNone.
  EStatusMsg StatusMsg() const;
  int NoteNumber() const;         // -1 unless note on, note off or poly aftertouch
  int Velocity() const;           // -1 unless note on or note off
  int PolyAfterTouch() const;     // -1 unless poly aftertouch
  int ChannelAfterTouch() const;  // -1 unless channel aftertouch
  int Program() const;            // -1 unless program change
  double PitchWheel() const;      // -1 ... 1, 0 unless pitch wheel
  EControlChangeMsg ControlChangeIdx() const { return (EControlChangeMsg)mData1; }
  // 0 ... 1 for a change of controller idx, else -1.
  double ControlChange(EControlChangeMsg idx) const;
  void LogMsg() const {}
};

struct ISysEx {
  int mOffset;           // sample offset within the current block
  int mSize;             // byte count
  const uint8_t* mData;  // not owned; valid during the call that receives it

  ISysEx(int offset = 0, const uint8_t* pData = nullptr, int size = 0)
      : mOffset(offset), mSize(size), mData(pData) {}

  void Clear();
  void LogMsg() const {}
};

// Name of a message kind ("noteon", ...), "unknown" for other values.
const char* StatusMsgStr(IMidiMsg::EStatusMsg msg);
// Writes as many bytes of data as fit into maxLen as "%02X" separated by spaces.
// str must be non-null and maxLen at least 3. Returns str.
char* SysExStr(char* str, int maxLen, const uint8_t* pData, int size);
