// The message box: its buttons answer by their place, Return, Escape and the
// window manager's close choose as a keyboard user expects, it ends when the
// editor closes, and it leaves no window behind. A second client finds the
// box and sends it synthetic events, as a test tool would.
#include "tests/gui/x11/x11_test_support.h"
#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_message_box.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

const int kAnswers[] = {1, 7, 2};

// Records what the box hands on; says "close" when told, or after a
// deadline so that a box nobody answers fails the test instead of hanging it.
class TestOwner : public X11MenuOwner {
 public:
  void Arm() {
    mDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    close = false;
    timedOut = false;
  }
  bool MenuShouldClose() override {
    if (std::chrono::steady_clock::now() > mDeadline) timedOut = true;
    return close || timedOut;
  }
  void MenuPassEvent(XEvent* pEvent) override {
    if (pEvent->type == Expose) ++exposes;
    if (pEvent->type == ButtonPress || pEvent->type == KeyPress) ++inputs;
  }

  std::atomic<bool> close{false}, timedOut{false};
  std::atomic<int> exposes{0}, inputs{0};

 private:
  std::chrono::steady_clock::time_point mDeadline;
};

int CountRootChildren(Display* pDisplay) {
  Window root, parent, *pChildren = nullptr;
  unsigned n = 0;
  XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &n);
  if (pChildren) XFree(pChildren);
  return (int)n;
}

// The shown window that is transient for owner, or 0.
Window FindBox(Display* pDisplay, Window owner) {
  Window root, parent, *pChildren = nullptr, box = 0;
  unsigned n = 0;
  XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &n);
  for (unsigned i = 0; i < n; ++i) {
    Window transientFor = 0;
    XWindowAttributes a;
    if (XGetTransientForHint(pDisplay, pChildren[i], &transientFor) && transientFor == owner &&
        XGetWindowAttributes(pDisplay, pChildren[i], &a) && a.map_state == IsViewable) {
      box = pChildren[i];
    }
  }
  if (pChildren) XFree(pChildren);
  return box;
}

void Send(Display* pDisplay, Window window, XEvent* pEvent, long mask) {
  pEvent->xany.display = pDisplay;
  pEvent->xany.window = window;
  XSendEvent(pDisplay, window, True, mask, pEvent);
  XFlush(pDisplay);
}

void SendButton(Display* pDisplay, Window window, int type, int x, int y) {
  XEvent e = {};
  e.xbutton.type = type;
  e.xbutton.root = DefaultRootWindow(pDisplay);
  e.xbutton.x = x;
  e.xbutton.y = y;
  e.xbutton.button = Button1;
  e.xbutton.same_screen = True;
  Send(pDisplay, window, &e, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask);
}

void SendKey(Display* pDisplay, Window window, KeySym sym) {
  XEvent e = {};
  e.xkey.type = KeyPress;
  e.xkey.root = DefaultRootWindow(pDisplay);
  e.xkey.keycode = XKeysymToKeycode(pDisplay, sym);
  e.xkey.same_screen = True;
  Send(pDisplay, window, &e, KeyPressMask);
}

IRECT ButtonOf(Display* pDisplay, Window box, int count, int index) {
  XWindowAttributes a = {};
  XGetWindowAttributes(pDisplay, box, &a);
  return X11MessageBoxButtonRect(a.width, a.height, count, index);
}

// Presses on button `down` and releases on button `up` of the box.
void Click(Display* pDisplay, Window box, int count, int down, int up) {
  const IRECT d = ButtonOf(pDisplay, box, count, down), u = ButtonOf(pDisplay, box, count, up);
  SendButton(pDisplay, box, ButtonPress, d.MW(), d.MH());
  SendButton(pDisplay, box, ButtonRelease, u.MW(), u.MH());
}

class X11MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(mDisplay, nullptr); }
  void TearDown() override {
    if (mDisplay) XCloseDisplay(mDisplay);
  }

  using Action = std::function<void(Display*, Window)>;
  // Shows a box over owner (the host's window unless named) on the box's
  // connection and, from a second client, does act with the box's window once
  // it is up; returns the box's answer.
  int Show(int type, const Action& act, Window owner = 0, const char* text = "Save the preset?") {
    const int windows = CountRootChildren(mDisplay);
    mOwner.Arm();
    std::atomic<bool> seen{false};
    const Window host = mHost.GetWindow();
    std::thread tester([&] {
      Display* pDisplay = XOpenDisplay(TestDisplayName());
      Window box = 0;
      WaitFor([&] { return (box = FindBox(pDisplay, host)) != 0; }, [] {});
      if (box) act(pDisplay, box);
      seen = box != 0;
      XCloseDisplay(pDisplay);
    });
    int answer;
    {
      X11ErrorTrap trap(mDisplay);
      answer = X11ShowMessageBox(mDisplay, owner ? owner : host, text, "Preset", type, &mOwner);
    }
    tester.join();
    EXPECT_TRUE(seen);
    EXPECT_FALSE(mOwner.timedOut);
    EXPECT_EQ(CountRootChildren(mDisplay), windows);
    return answer;
  }

  FakeHostWindow mHost;
  TestOwner mOwner;
  Display* mDisplay = XOpenDisplay(TestDisplayName());
};

TEST_F(X11MessageBoxTest, ClickedButtonsAnswerByTheirPlace) {
  const struct { int type, count; } kinds[] = {{0, 1}, {1, 2}, {3, 3}, {4, 2}};
  for (const auto& kind : kinds) {
    for (int i = 0; i < kind.count; ++i) {
      const int answer = Show(kind.type, [&](Display* pDisplay, Window box) {
        Click(pDisplay, box, kind.count, i, i);
      });
      EXPECT_EQ(answer, kAnswers[i]) << "type " << kind.type << " button " << i;
    }
  }
}

TEST_F(X11MessageBoxTest, ReturnEscapeAndCloseChooseTheirButtons) {
  const auto key = [](KeySym sym) {
    return [sym](Display* pDisplay, Window box) { SendKey(pDisplay, box, sym); };
  };
  EXPECT_EQ(Show(3, key(XK_Return)), 1);
  EXPECT_EQ(Show(1, key(XK_KP_Enter)), 1);
  EXPECT_EQ(Show(0, key(XK_Escape)), 1);
  EXPECT_EQ(Show(1, key(XK_Escape)), 7);
  EXPECT_EQ(Show(3, key(XK_Escape)), 2);
  EXPECT_EQ(Show(4, key(XK_Escape)), 7);

  const Action close = [](Display* pDisplay, Window box) {
    XEvent e = {};
    e.xclient.type = ClientMessage;
    e.xclient.message_type = XInternAtom(pDisplay, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = (long)XInternAtom(pDisplay, "WM_DELETE_WINDOW", False);
    Send(pDisplay, box, &e, NoEventMask);
  };
  EXPECT_EQ(Show(3, close), 2);
  EXPECT_EQ(Show(4, close), 7);

  // Pressed on "Yes" but released on "No" chooses nothing.
  EXPECT_EQ(Show(3,
                 [&](Display* pDisplay, Window box) {
                   Click(pDisplay, box, 3, 0, 1);
                   SendKey(pDisplay, box, XK_Escape);
                 }),
            2);
}

TEST_F(X11MessageBoxTest, IsATitledDialogCentredOnTheEditorAndSizedToItsText) {
  // The editor's window inside the host's: the box is transient for the
  // host's window and centred on the editor's.
  Display* pHost = mHost.GetDisplay();
  const Window editor = XCreateSimpleWindow(pHost, mHost.GetWindow(), 100, 50, 200, 100, 0, 0, 0);
  XMapWindow(pHost, editor);
  XSync(pHost, False);
  XWindowAttributes a = {};
  std::string title;
  const auto look = [&](Display* pDisplay, Window box) {
    XGetWindowAttributes(pDisplay, box, &a);
    Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* pName = nullptr;
    XGetWindowProperty(pDisplay, box, XInternAtom(pDisplay, "_NET_WM_NAME", False), 0, 64, False,
                       AnyPropertyType, &type, &format, &n, &after, &pName);
    if (pName) title.assign((const char*)pName, n);
    if (pName) XFree(pName);
    SendKey(pDisplay, box, XK_Escape);
  };
  EXPECT_EQ(Show(4, look, editor), 7);
  EXPECT_EQ(title, "Preset");
  EXPECT_NEAR(a.x + a.width / 2, 200, 1);
  EXPECT_NEAR(a.y + a.height / 2, 100, 1);
  const int shortHeight = a.height;

  // Long text wraps to a bounded width and a bounded number of lines.
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "word ";
  text += std::string(10000, 'x');
  EXPECT_EQ(Show(0, look, editor, text.c_str()), 1);
  EXPECT_LE(a.width, 440);
  EXPECT_GT(a.height, shortHeight + 100);
  EXPECT_LT(a.height, 1024);
}

TEST_F(X11MessageBoxTest, OtherWindowsGetTheirExposesButNoInput) {
  const Window editor = XCreateSimpleWindow(mDisplay, mHost.GetWindow(), 0, 0, 100, 100, 0, 0, 0);
  XSelectInput(mDisplay, editor, ExposureMask | ButtonPressMask | KeyPressMask);
  XMapWindow(mDisplay, editor);
  XSync(mDisplay, False);
  mOwner.exposes = 0;
  const auto act = [&](Display* pDisplay, Window box) {
    SendButton(pDisplay, editor, ButtonPress, 10, 10);
    SendKey(pDisplay, editor, XK_a);
    XEvent e = {};
    e.xexpose.type = Expose;
    e.xexpose.width = e.xexpose.height = 10;
    Send(pDisplay, editor, &e, ExposureMask);
    WaitFor([&] { return mOwner.exposes > 0; }, [] {});
    SendKey(pDisplay, box, XK_Escape);
  };
  EXPECT_EQ(Show(3, act), 2);
  EXPECT_GT(mOwner.exposes, 0);
  EXPECT_EQ(mOwner.inputs, 0);
  XDestroyWindow(mDisplay, editor);
}

TEST_F(X11MessageBoxTest, EndsWhenTheEditorClosesAndFreesEverything) {
  const int descriptors = CountOpenDescriptors();
  EXPECT_EQ(Show(3, [&](Display*, Window) { mOwner.close = true; }), 2);
  EXPECT_EQ(Show(0, [&](Display*, Window) { mOwner.close = true; }), 1);

  // Nothing is shown for an editor that is closing already or an owner
  // window that is gone; nothing at all without a display or owner.
  const int windows = CountRootChildren(mDisplay);
  mOwner.close = true;
  EXPECT_EQ(X11ShowMessageBox(mDisplay, mHost.GetWindow(), "t", "c", 1, &mOwner), 7);
  mOwner.close = false;
  const Window gone = XCreateSimpleWindow(mDisplay, mHost.GetWindow(), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(mDisplay, gone);
  {
    X11ErrorTrap trap(mDisplay);
    EXPECT_EQ(X11ShowMessageBox(mDisplay, gone, nullptr, nullptr, 4, &mOwner), 7);
  }
  EXPECT_EQ(X11ShowMessageBox(nullptr, mHost.GetWindow(), "t", "c", 3, &mOwner), 0);
  EXPECT_EQ(X11ShowMessageBox(mDisplay, 0, "t", "c", 3, &mOwner), 0);
  EXPECT_EQ(X11ShowMessageBox(mDisplay, mHost.GetWindow(), "t", "c", 3, nullptr), 0);
  EXPECT_EQ(CountRootChildren(mDisplay), windows);
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
}

}  // namespace
