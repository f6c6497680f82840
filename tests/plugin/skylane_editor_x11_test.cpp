// Skylane's editor on a private Xvfb, driven through the VST 2 dispatcher as
// a host drives it: clicks change the parameters, the window shows the
// off-screen picture (also at scale 2), and many openings leak nothing.
#include "tests/plugin/skylane_test_util.h"
#include "tests/plugin/scripted_relay.h"
#include "gui/graphics.h"

namespace {

// Read before Xlib's headers come in, whose Bool and Status macros these
// names would meet.
bool LoopOn(Skylane& plug) { return plug.GetParam(kParamEffectsLoop)->Bool(); }
int SelectedDevice(Skylane& plug) { return plug.Status().selectedDevice; }

}  // namespace

#include "tests/gui/x11/x11_test_support.h"

#include <X11/Xutil.h>
#include <unistd.h>

#include "gui/x11/graphics_x11.h"

namespace {

constexpr VstInt32 kScaleIndex = 0x50726553;   // 'PreS'
constexpr VstIntPtr kScaleValue = 0x41654373;  // 'AeCs'

class SkylaneWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UseTestRelay(mRelay.Port(), 60000);  // the status lines stay as they start
    mPlug = OpenSkylane();
  }
  VstIntPtr Dispatch(VstInt32 op, VstInt32 idx = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    AEffect* pEffect = mPlug->GetAEffect();
    return pEffect->dispatcher(pEffect, op, idx, value, ptr, opt);
  }
  Window EditorWindow() { return (Window)(uintptr_t)mPlug->GetGUI()->GetWindow(); }
  // Idles until the window shows the off-screen bitmap.
  bool ShowsPicture(int scale) {
    IRECT dirty;
    Graphics* pGUI = mPlug->GetGUI();
    return WaitFor(
        [&] {
          return !pGUI->IsDirty(&dirty) &&
                 CountWindowDifferences(mHost.GetDisplay(), EditorWindow(), pGUI, scale) == 0;
        },
        [&] { Dispatch(effEditIdle); });
  }
  // A click at editor pixel (x, y), sent as a host's test tool would.
  void Click(int x, int y, int scale, unsigned button = Button1) {
    for (int type : {ButtonPress, ButtonRelease}) {
      XEvent e = {};
      e.xbutton.type = type;
      e.xbutton.window = EditorWindow();
      e.xbutton.x = x * scale;
      e.xbutton.y = y * scale;
      e.xbutton.button = button;
      e.xbutton.time = (Time)(++mTime * 1000);
      e.xbutton.same_screen = True;
      XSendEvent(mHost.GetDisplay(), EditorWindow(), True,
                 type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
    }
    XFlush(mHost.GetDisplay());
  }

  // The text field open over the editor, or 0.
  Window Field() {
    Window root, parent, *pChildren = nullptr, child = 0;
    unsigned n = 0;
    if (XQueryTree(mHost.GetDisplay(), EditorWindow(), &root, &parent, &pChildren, &n) && n == 1)
      child = pChildren[0];
    if (pChildren) XFree(pChildren);
    return child;
  }
  void Key(Window window, KeySym sym) {
    XEvent e = {};
    e.xkey.type = KeyPress;
    e.xkey.window = window;
    e.xkey.keycode = XKeysymToKeycode(mHost.GetDisplay(), sym);
    e.xkey.same_screen = True;
    XSendEvent(mHost.GetDisplay(), window, True, KeyPressMask, &e);
    XFlush(mHost.GetDisplay());
  }

  ScriptedRelay mRelay;
  FakeHostWindow mHost{1200, 800};
  std::unique_ptr<Skylane> mPlug;
  int mTime = 0;
};

TEST_F(SkylaneWindowTest, ClicksOnTheSwitchAndADeviceButtonChangeParameters) {
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mHost.Parent()), 1);
  ASSERT_TRUE(ShowsPicture(1));
  Click(40, 68, 1);  // the effects-loop switch
  ASSERT_TRUE(WaitFor([&] { return LoopOn(*mPlug); }, [&] { Dispatch(effEditIdle); }));
  Click(28, 132, 1);  // device button 2
  ASSERT_TRUE(WaitFor([&] { return SelectedDevice(*mPlug) == 1; }, [&] { Dispatch(effEditIdle); }));
  // The contact is on only while held: released, its parameter is off again.
  EXPECT_TRUE(WaitFor([&] { return mPlug->GetParam(kParamDeviceButton0 + 1)->Value() == 0.0; },
                      [&] { Dispatch(effEditIdle); }));
  // The switch shows its new frame on screen.
  EXPECT_TRUE(ShowsPicture(1));
  EXPECT_EQ(Dispatch(effEditClose), 1);
}

// A host that never calls effEditIdle still gets a painted window that
// answers clicks.
TEST_F(SkylaneWindowTest, WithoutIdleCallsTheWindowIsPaintedAndClicked) {
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mHost.Parent()), 1);
  GraphicsX11* pGUI = dynamic_cast<GraphicsX11*>(mPlug->GetGUI());
  ASSERT_NE(pGUI, nullptr);
  auto shown = [&] {
    bool same = false;
    pGUI->RunLocked([&] {
      IRECT dirty;
      same = !pGUI->IsDirty(&dirty) &&
             CountWindowDifferences(mHost.GetDisplay(), EditorWindow(), pGUI, 1) == 0;
    });
    return same;
  };
  auto pause = [] { usleep(5000); };
  ASSERT_TRUE(WaitFor(shown, pause));
  Click(40, 68, 1);  // the effects-loop switch
  ASSERT_TRUE(WaitFor([&] { return LoopOn(*mPlug); }, pause));
  EXPECT_TRUE(WaitFor(shown, pause));
  EXPECT_GT(pGUI->KeeperTurns(), 0);
  EXPECT_EQ(Dispatch(effEditClose), 1);
}

// A right click on the latency selector opens the field with "1" selected:
// the typed "2" replaces it.
TEST_F(SkylaneWindowTest, TypedLatencyReplacesTheShownValue) {
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mHost.Parent()), 1);
  ASSERT_TRUE(ShowsPicture(1));
  Click(110, 224, 1, Button3);
  ASSERT_TRUE(WaitFor([&] { return Field() != 0; }, [&] { Dispatch(effEditIdle); }));
  Key(Field(), XK_2);
  Key(Field(), XK_Return);
  ASSERT_TRUE(WaitFor([&] { return Field() == 0; }, [&] { Dispatch(effEditIdle); }));
  EXPECT_EQ(mPlug->GetParam(kParamLatency)->Int(), 2);
  EXPECT_EQ(Dispatch(effEditClose), 1);
}

TEST_F(SkylaneWindowTest, ScaleTwoDoublesTheRectangleTheWindowAndThePicture) {
  ASSERT_EQ(Dispatch(effVendorSpecific, kScaleIndex, kScaleValue, nullptr, 2.0f), 1);
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &pRect), 1);
  EXPECT_EQ(pRect->right, 1000);
  EXPECT_EQ(pRect->bottom, 664);
  ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mHost.Parent()), 1);
  EXPECT_TRUE(ShowsPicture(2));
  EXPECT_EQ(mPlug->GetGUI()->GetDrawBitmap()->getWidth(), 1000);  // drawn at 2x, not doubled
  Click(40, 68, 2);
  EXPECT_TRUE(WaitFor([&] { return LoopOn(*mPlug); }, [&] { Dispatch(effEditIdle); }));
  // The third latency button (editor x 212 ... 236, latency 3) and the last channel row.
  Click(224, 224, 2);
  EXPECT_TRUE(WaitFor([&] { return mPlug->GetParam(kParamLatency)->Int() == 3; },
                      [&] { Dispatch(effEditIdle); }));
  Click(252, 180, 2);
  EXPECT_TRUE(WaitFor([&] { return mPlug->GetParam(kParamChannel)->Int() == 3; },
                      [&] { Dispatch(effEditIdle); }));
  EXPECT_TRUE(ShowsPicture(2));
}

TEST_F(SkylaneWindowTest, HundredOpeningsGiveEverythingBack) {
  ERect* pRect = nullptr;
  ASSERT_EQ(Dispatch(effEditGetRect, 0, 0, &pRect), 1);  // asked before the first open
  EXPECT_EQ(pRect->right, 500);
  const int descriptors = CountOpenDescriptors();
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(Dispatch(effEditOpen, 0, 0, mHost.Parent()), 1) << i;
    Dispatch(effEditIdle);
    ASSERT_EQ(Dispatch(effEditClose), 1);
  }
  EXPECT_EQ(mHost.CountChildren(), 0);
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
}

}  // namespace
