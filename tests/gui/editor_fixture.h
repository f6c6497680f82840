#pragma once
// An editor without a window over a small plug-in that records what it tells
// the host, with solid-colour filmstrips to build controls from.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/headless/graphics_headless.h"
#include "gui/icontrol.h"
#include "plug/plug_base.h"
#include "raster/pixels/bitmap.h"

// Parameters: 0 "Gain" -10...10 dB (real), 1 "Channel" (4 named entries),
// 2 "Count" 0...100 (integer), 3 "Loop" (on/off).
class NoticePlug : public PlugBase {
 public:
  NoticePlug();

  void BeginInformHostOfParamChange(int paramIdx) override { Note("B", paramIdx); }
  void InformHostOfParamChange(int paramIdx, double) override { Note("A", paramIdx); }
  void EndInformHostOfParamChange(int paramIdx) override { Note("E", paramIdx); }
  void InformHostOfProgramChange() override {}
  int GetSamplePos() override { return 0; }
  double GetTempo() override { return 120.0; }
  void GetTimeSig(int* pNum, int* pDenom) override { *pNum = *pDenom = 4; }
  void GetTime(ITimeInfo*) override {}
  void ResizeGraphics(int, int) override {}
  bool SendMidiMsg(IMidiMsg*) override { return false; }

  // "B0" begin, "A0" a value, "E0" end, in the order the host got them.
  std::vector<std::string> notices;

 private:
  void Note(const char* kind, int paramIdx) { notices.push_back(kind + std::to_string(paramIdx)); }
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest();

  // Hands the editor to the plug-in (which sets every control from its
  // parameter and makes the draw bitmap) and forgets the notices so far.
  void Open();
  // A strip of one solid colour per frame, frames stacked.
  IBitmap Strip(int w, int frameH, const std::vector<IColor>& frames);
  // Repaints everything and reads one pixel back.
  IColor DrawnAt(int x, int y);
  std::vector<std::string> TakeNotices();

  void Down(int x, int y, bool right = false);
  void Up(int x, int y);
  void Drag(int x, int y, bool shift = false);

  std::vector<std::unique_ptr<PX_MemBitmap>> mBitmaps;  // outlive the editor
  std::unique_ptr<NoticePlug> mPlug;
  GraphicsHeadless* mGUI;  // owned by the plug-in once opened
};

constexpr IColor kOff(255, 200, 0, 0);
constexpr IColor kOn(255, 0, 200, 0);
constexpr IColor kThird(255, 0, 0, 200);
