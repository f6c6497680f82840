// Editor hosting in the VST 2 binding: attachment, the editor opcodes, host
// parameter changes reaching the controls, the screen scale and the
// off-screen picture. The window-less platform stands in for a display.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <vector>

#include "gui/controls/panel.h"
#include "gui/headless/graphics_headless.h"
#include "gui/x11/graphics_x11.h"
#include "tests/vst2/test_host.h"
#include "vst2/editor_picture.h"
#include "vst2/plug_vst.h"

namespace {

constexpr int kW = 50, kH = 30;
const IColor kRed(255, 200, 10, 20);

// A control that only keeps its value.
class ValueControl : public IControl {
 public:
  ValueControl(PlugBase* pPlug, IRECT r, int paramIdx) : IControl(pPlug, r, paramIdx) {}
  bool Draw(Graphics*) override { return true; }
};

class EditorPlug : public PlugVST {
 public:
  // useX11: an X11 editor (never opened here) instead of the window-less one.
  explicit EditorPlug(bool attach = true, bool useX11 = false)
      : PlugVST(PlugInstanceInfo{TestHostCallback}, 2, "2-2", 1, "Editor", "", "Maker", 0x10000,
                0x45644564, 0x4D6B4D6B, 0, false, false, false) {
    GetParam(0)->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1);
    GetParam(1)->InitInt("Steps", 0, 0, 4);
    Graphics* pGUI = useX11 ? (Graphics*)new GraphicsX11(this, kW, kH)
                            : (Graphics*)new GraphicsHeadless(this, kW, kH);
    pGUI->AttachControl(new IPanelControl(this, IRECT(0, 0, kW, kH), &kRed));
    control = new ValueControl(this, IRECT(10, 10, 20, 20), 0);
    pGUI->AttachControl(control);
    if (attach) AttachGraphics(pGUI);
    else delete pGUI;
  }
  void OnGUIOpen() override { ++opens; }
  void OnGUIClose() override { ++closes; }
  void OnWindowResize() override { ++resizes; }
  using PlugBase::IMutexLock;

  VstIntPtr Dispatch(VstInt32 op, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return GetAEffect()->dispatcher(GetAEffect(), op, idx, value, ptr, opt);
  }
  ERect* Rect() {
    ERect* pRect = nullptr;
    return Dispatch(effEditGetRect, 0, 0, &pRect) ? pRect : nullptr;
  }

  ValueControl* control = nullptr;
  int opens = 0, closes = 0, resizes = 0;
};

constexpr VstInt32 kScaleIndex = 0x50726553;   // 'PreS'
constexpr VstIntPtr kScaleValue = 0x41654373;  // 'AeCs'

TEST(VSTEditor, WithoutAnEditorTheEditorOpcodesAnswerZero) {
  EditorPlug plug(false);
  ERect* pRect = nullptr;
  EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, &pRect), 0);
  EXPECT_EQ(plug.Dispatch(effEditOpen), 0);
  EXPECT_EQ(plug.Dispatch(effEditClose), 0);
  EXPECT_EQ(plug.GetAEffect()->flags & effFlagsHasEditor, 0);
}

TEST(VSTEditor, AttachedEditorAnnouncesItselfAndOpensAndCloses) {
  EditorPlug plug;
  EXPECT_NE(plug.GetAEffect()->flags & effFlagsHasEditor, 0);
  EXPECT_EQ(plug.Dispatch(effEditClose), 1);  // never opened: nothing happens
  EXPECT_EQ(plug.closes, 0);
  ERect* pRect = plug.Rect();
  ASSERT_NE(pRect, nullptr);
  EXPECT_EQ(pRect->top, 0);
  EXPECT_EQ(pRect->left, 0);
  EXPECT_EQ(pRect->bottom, kH);
  EXPECT_EQ(pRect->right, kW);
  EXPECT_EQ(plug.Dispatch(effEditGetRect, 0, 0, nullptr), 0);

  EXPECT_EQ(plug.Dispatch(effEditOpen, 0, 0, (void*)1), 1);
  EXPECT_EQ(plug.opens, 1);
  EXPECT_NE(plug.GetGUI()->GetWindow(), nullptr);
  EXPECT_EQ(plug.Dispatch(effEditIdle), 0);
  EXPECT_EQ(plug.Dispatch(effEditClose), 1);
  EXPECT_EQ(plug.closes, 1);
  EXPECT_EQ(plug.GetGUI()->GetWindow(), nullptr);

  // The size comes from the editor, not from the request.
  plug.ResizeGraphics(999, 999);
  EXPECT_EQ(plug.Rect()->right, kW);
  EXPECT_EQ(plug.resizes, 1);
}

TEST(VSTEditor, HostParameterChangesMoveTheLinkedControl) {
  EditorPlug plug;
  AEffect* pEffect = plug.GetAEffect();
  pEffect->setParameter(pEffect, 0, 0.75f);
  EXPECT_DOUBLE_EQ(plug.control->GetValue(), 0.75);
  char text[] = "-5";
  EXPECT_EQ(plug.Dispatch(effString2Parameter, 0, 0, text), 1);
  EXPECT_DOUBLE_EQ(plug.control->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), -5.0);
}

TEST(VSTEditor, EditorOpcodesNeverWaitForTheInstanceLock) {
  EditorPlug plug;
  std::promise<void> locked, release;
  std::thread holder([&] {
    EditorPlug::IMutexLock lock(&plug);
    locked.set_value();
    release.get_future().wait();
  });
  locked.get_future().wait();
  auto editorCalls = std::async(std::launch::async, [&] {
    ERect* pRect = nullptr;
    return plug.Dispatch(effEditGetRect, 0, 0, &pRect) + plug.Dispatch(effEditOpen, 0, 0, &plug) +
           plug.Dispatch(effEditIdle) + plug.Dispatch(effEditClose);
  });
  const bool finished = editorCalls.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
  release.set_value();
  holder.join();
  EXPECT_TRUE(finished) << "an editor opcode waited for the lock";
  EXPECT_EQ(editorCalls.get(), 3);
}

TEST(VSTEditor, PictureRequestPaintsTheWholeEditor) {
  EditorPlug plug;
  SkyEditorPicture picture = {};
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture), kW * kH);
  EXPECT_EQ(picture.width, kW);
  EXPECT_EQ(picture.height, kH);
  std::vector<unsigned char> rgba(kW * kH * 4, 0);
  picture.rgba = rgba.data();
  picture.capacity = (VstIntPtr)rgba.size() - 1;  // one byte short: left alone
  plug.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture);
  EXPECT_EQ(rgba[0], 0);
  picture.capacity = (VstIntPtr)rgba.size();
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture), kW * kH);
  const size_t last = rgba.size() - 4;
  EXPECT_EQ(std::vector<unsigned char>(rgba.begin() + last, rgba.end()),
            (std::vector<unsigned char>{200, 10, 20, 255}));
  EditorPlug noEditor(false);
  EXPECT_EQ(noEditor.Dispatch(effVendorSpecific, kSkyVendorEditorPicture, 0, &picture), 0);
}

TEST(VSTEditor, HostScaleDoublesTheEditorRectangle) {
  unsetenv("GDK_SCALE");
  EditorPlug plug(true, true);
  EXPECT_EQ(plug.Rect()->right, kW);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, kScaleIndex, kScaleValue, nullptr, 2.0f), 1);
  EXPECT_EQ(plug.Rect()->right, 2 * kW);
  EXPECT_EQ(plug.Rect()->bottom, 2 * kH);
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, kScaleIndex, kScaleValue, nullptr, 1.25f), 1);
  EXPECT_EQ(plug.Rect()->right, kW);
  // Another value word is not the scale request.
  EXPECT_EQ(plug.Dispatch(effVendorSpecific, kScaleIndex, 1, nullptr, 2.0f), 0);
  EXPECT_EQ(plug.Rect()->right, kW);

  setenv("GDK_SCALE", "2", 1);
  EditorPlug desktopScaled(true, true);
  unsetenv("GDK_SCALE");
  EXPECT_EQ(desktopScaled.Rect()->right, 2 * kW);
}

}  // namespace
