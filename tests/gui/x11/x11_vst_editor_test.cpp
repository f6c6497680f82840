// The editor through the VST 2 dispatcher on a real display: a host opens,
// idles and closes it, or deletes the instance with the window still open.
#include "vst2/plug_vst.h"
#include "gui/controls/panel.h"
#include "gui/x11/graphics_x11.h"
#include "tests/gui/x11/x11_test_support.h"

namespace {

VstIntPtr NoHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

class WindowPlug : public PlugVST {
 public:
  WindowPlug()
      : PlugVST(PlugInstanceInfo{NoHost}, 1, "2-2", 1, "Window", "", "Maker", 0x10000, 0x57696E64,
                0x4D6B4D6B, 0, false, false, false) {
    Graphics* pGUI = new GraphicsX11(this, 100, 60, 1000);
    const IColor blue(255, 20, 40, 200);
    pGUI->AttachControl(new IPanelControl(this, IRECT(0, 0, 100, 60), &blue));
    AttachGraphics(pGUI);
  }
};

VstIntPtr Dispatch(AEffect* pEffect, VstInt32 op, void* ptr = nullptr) {
  return pEffect->dispatcher(pEffect, op, 0, 0, ptr, 0.0f);
}

TEST(X11VSTEditor, HostOpensIdlesAndClosesThroughTheDispatcher) {
  FakeHostWindow host;
  AEffect* pEffect = (new WindowPlug)->GetAEffect();
  const int descriptors = CountOpenDescriptors();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(Dispatch(pEffect, effEditOpen, host.Parent()), 1);
    Dispatch(pEffect, effEditIdle);
    ASSERT_EQ(Dispatch(pEffect, effEditClose), 1);
  }
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
  ASSERT_EQ(Dispatch(pEffect, effEditOpen, host.Parent()), 1);
  EXPECT_EQ(host.CountChildren(), 1);
  // Closing the instance with the editor open takes the window with it.
  Dispatch(pEffect, effClose);
  EXPECT_EQ(host.CountChildren(), 0);
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
}

}  // namespace
