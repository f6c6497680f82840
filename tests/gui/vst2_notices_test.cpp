// The begin, value and end notices of editor gestures as a VST 2 host receives them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/controls/knobs.h"
#include "gui/controls/switches.h"
#include "gui/headless/graphics_headless.h"
#include "raster/pixels/bitmap.h"
#include "vst2/plug_vst.h"

using ::testing::ElementsAre;

namespace {

std::vector<std::string> s_hostCalls;

VstIntPtr RecordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
  if (opcode == audioMasterBeginEdit) s_hostCalls.push_back("begin " + std::to_string(index));
  if (opcode == audioMasterEndEdit) s_hostCalls.push_back("end " + std::to_string(index));
  if (opcode == audioMasterAutomate) {
    s_hostCalls.push_back("automate " + std::to_string(index) + " " + std::to_string(opt));
  }
  return 0;
}

class EditorPlug : public PlugVST {
 public:
  EditorPlug()
      : PlugVST({RecordingHost}, 2, "2-2", 1, "Editor", "Editor Product", "Editor Maker",
                0x00010000, 0x45645470, 0x4564744D, 0, false, false, false) {
    GetParam(0)->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
    GetParam(1)->InitBool("Loop", false);
  }
};

TEST(Vst2NoticesTest, EveryGestureReachesTheHostAsBeginValuesEnd) {
  PX_MemBitmap pixels(10, 20);
  IBitmap twoFrames(&pixels, 10, 20, 2);
  EditorPlug plug;
  auto* gui = new GraphicsHeadless(&plug, 100, 100);
  gui->AttachControl(new ISwitchControl(&plug, 0, 0, 1, &twoFrames));
  gui->AttachControl(new IKnobLineControl(&plug, IRECT(50, 0, 100, 50), 0, &COLOR_BLACK));
  plug.AttachGraphics(gui);
  gui->OpenWindow(nullptr);
  s_hostCalls.clear();

  IMouseMod left(true);
  gui->OnMouseDown(5, 5, &left);
  gui->OnMouseUp(5, 5, &left);
  gui->OnMouseDown(75, 25, &left);
  gui->OnMouseDrag(75, 15, &left);
  gui->CloseWindow();  // the host closes the editor during the drag
  EXPECT_THAT(s_hostCalls, ElementsAre("begin 1", "automate 1 1.000000", "end 1", "begin 0",
                                       "automate 0 0.550000", "end 0"));
}

}  // namespace
