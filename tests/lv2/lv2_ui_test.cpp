// The X11 UI through the test host on a private Xvfb: it opens the editor
// inside the host's window at the editor's size, clicks in it reach the host
// as port writes framed by touch and reach the plug-in (the relay sees them),
// and closing it leaves the host's window empty for the next opening.
#include <dlfcn.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/lv2/lv2_test_host.h"
#include "tests/plugin/scripted_relay.h"
// After the tests' own headers: Xlib's macros would meet their names.
#include "tests/gui/x11/x11_test_support.h"

namespace {

struct HostCall {
  char kind;  // 'w' port write, 'g' grab, 'r' release
  uint32_t port;
  float value;
};

// The host's side of one UI: its features and what the UI asked of it.
class TestUI {
 public:
  TestUI(LV2TestHost& host, void* parent) : mHost(host) {
    const LilvPlugin* plugin = host.Plugin();
    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    mModule = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    lilv_free(path);
    lilv_uis_free(uis);
    auto entry = mModule ? (const LV2UI_Descriptor* (*)(uint32_t))dlsym(mModule, "lv2ui_descriptor")
                         : nullptr;
    mDescriptor = entry ? entry(0) : nullptr;
    if (!mDescriptor) return;
    mResize = {this, Resize};
    mTouch = {this, Touch};
    const LV2_Feature access = {LV2_INSTANCE_ACCESS_URI, lilv_instance_get_handle(host.Instance())};
    const LV2_Feature parentFeature = {LV2_UI__parent, parent};
    const LV2_Feature resize = {LV2_UI__resize, &mResize};
    const LV2_Feature touch = {LV2_UI__touch, &mTouch};
    const LV2_Feature map = {LV2_URID__map, host.Map()};
    const LV2_Feature* features[] = {&access, &parentFeature, &resize, &touch, &map, nullptr};
    mHandle = mDescriptor->instantiate(mDescriptor, lilv_node_as_uri(lilv_plugin_get_uri(plugin)),
                                       "", Write, this, &mWidget, features);
    mIdle = mHandle
                ? (const LV2UI_Idle_Interface*)mDescriptor->extension_data(LV2_UI__idleInterface)
                : nullptr;
  }
  ~TestUI() {
    if (mHandle) mDescriptor->cleanup(mHandle);
    if (mModule) dlclose(mModule);
  }
  bool Open() const { return mHandle && mIdle; }
  Window Widget() const { return (Window)(uintptr_t)mWidget; }
  // One turn of the host's GUI loop and one block with the worker after it.
  void Step() {
    mIdle->idle(mHandle);
    mHost.Run(64);
  }
  std::vector<HostCall> calls;
  int width = 0, height = 0;

 private:
  static void Write(LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t protocol,
                    const void* buffer) {
    auto* ui = static_cast<TestUI*>(self);
    if (size != sizeof(float) || protocol != 0) return;
    const float value = *(const float*)buffer;
    ui->calls.push_back({'w', port, value});
    ui->mHost.ControlAt(port) = value;
  }
  static void Touch(LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
    static_cast<TestUI*>(self)->calls.push_back({grabbed ? 'g' : 'r', port, 0.0f});
  }
  static int Resize(LV2UI_Feature_Handle self, int w, int h) {
    static_cast<TestUI*>(self)->width = w;
    static_cast<TestUI*>(self)->height = h;
    return 0;
  }

  LV2TestHost& mHost;
  void* mModule = nullptr;
  const LV2UI_Descriptor* mDescriptor = nullptr;
  LV2UI_Handle mHandle = nullptr;
  LV2UI_Widget mWidget = nullptr;
  const LV2UI_Idle_Interface* mIdle = nullptr;
  LV2UI_Resize mResize;
  LV2UI_Touch mTouch;
};

// A left click at editor pixel (x, y), sent as a host's test tool would.
void Click(Display* display, Window window, int x, int y) {
  static int time = 0;
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent e = {};
    e.xbutton.type = type;
    e.xbutton.window = window;
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.button = Button1;
    e.xbutton.time = (Time)(++time * 1000);
    e.xbutton.same_screen = True;
    XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
               &e);
  }
  XFlush(display);
}

bool Viewable(Display* display, Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

std::string Kinds(const std::vector<HostCall>& calls, uint32_t port) {
  std::string kinds;
  for (const HostCall& c : calls) {
    if (c.port == port) kinds += c.kind;
  }
  return kinds;
}

TEST(UITest, ClicksReachTheHostAndThePlugin) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 5);
  LV2TestHost host;
  ASSERT_TRUE(host.Instantiate(48000.0));
  int fd = relay.Accept();
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ReadRequest(fd, nullptr), "GET /.stream0_0\r\n");
  FakeHostWindow parent(1200, 800);
  TestUI ui(host, parent.Parent());
  ASSERT_TRUE(ui.Open());
  EXPECT_EQ(ui.width, 500);
  EXPECT_EQ(ui.height, 332);
  // The editor makes its window on a connection of its own: the server may
  // answer the host's query before it has made it.
  ASSERT_TRUE(WaitFor(
      [&] { return parent.CountChildren() == 1 && Viewable(parent.GetDisplay(), ui.Widget()); },
      [&] { ui.Step(); }));

  Click(parent.GetDisplay(), ui.Widget(), 40, 68);  // the effects-loop switch
  ASSERT_TRUE(WaitFor([&] { return host.Control("effects_loop") == 1.0f; }, [&] { ui.Step(); }));
  EXPECT_EQ(Kinds(ui.calls, 7), "gwr");
  int32_t setting[2] = {-1, -1};
  ASSERT_TRUE(ReadExactly(fd, setting, sizeof setting));
  EXPECT_EQ(setting[1], 1);

  Click(parent.GetDisplay(), ui.Widget(), 252, 96 + 24 * 2 + 12);  // channel button 3
  ASSERT_TRUE(WaitFor([&] { return host.Control("channel") == 2.0f; }, [&] { ui.Step(); }));
  // The plug-in streams the new channel on a new link, the loop still on (a
  // connection made while the old one closed may end before its request).
  close(fd);
  int32_t loop = -1;
  EXPECT_TRUE(WaitFor(
      [&] {
        const int next = relay.Accept(10);
        if (next < 0) return false;
        const bool found = ReadRequest(next, &loop) == "GET /.stream0_2\r\n";
        close(next);
        return found;
      },
      [&] { ui.Step(); }));
  EXPECT_EQ(loop, 1);
}

TEST(UITest, ClosingEmptiesTheHostWindowAndTheEditorOpensAgain) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  LV2TestHost host;
  ASSERT_TRUE(host.Instantiate(44100.0));
  FakeHostWindow parent(1200, 800);
  for (int opening = 0; opening < 3; ++opening) {
    {
      TestUI ui(host, parent.Parent());
      ASSERT_TRUE(ui.Open()) << opening;
      // One editor per instance: a second UI at the same time is refused.
      TestUI second(host, parent.Parent());
      EXPECT_FALSE(second.Open());
      ASSERT_TRUE(
          WaitFor([&] { return Viewable(parent.GetDisplay(), ui.Widget()); }, [&] { ui.Step(); }));
    }
    EXPECT_TRUE(WaitFor([&] { return parent.CountChildren() == 0; }, [] {})) << opening;
  }
}

}  // namespace
