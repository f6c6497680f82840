// Events on the editor's X11 window reach the editor's input calls; the text
// field and the popup menu run as windows of their own. Events are sent as
// synthetic events from the host's connection, as a test tool would.
#include "tests/plug/test_plug.h"
#include "gui/controls/panel.h"
#include "gui/ipopup_menu.h"
#include "gui/x11/graphics_x11.h"
#include "tests/gui/x11/x11_test_support.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kW = 200, kH = 120;

// Records every input call it receives as a line of text.
class RecordingControl : public IControl {
 public:
  RecordingControl(PlugBase* pPlug, IRECT r, int paramIdx) : IControl(pPlug, r, paramIdx) {}
  bool Draw(Graphics*) override { return true; }
  void OnMouseDown(int x, int y, IMouseMod* pMod) override { Note("down", x, y, pMod); }
  void OnMouseUp(int x, int y, IMouseMod* pMod) override { Note("up", x, y, pMod); }
  void OnMouseDblClick(int x, int y, IMouseMod* pMod) override { Note("double", x, y, pMod); }
  void OnMouseDrag(int x, int y, int, int, IMouseMod* pMod) override { Note("drag", x, y, pMod); }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override {
    calls.push_back("wheel " + std::to_string(x) + "," + std::to_string(y) + " " +
                    std::to_string(d));
  }
  bool OnKeyDown(int, int, int key) override {
    calls.push_back("key " + std::to_string(key));
    return true;
  }
  void Note(const char* what, int x, int y, IMouseMod* pMod) {
    calls.push_back(std::string(what) + " " + std::to_string(x) + "," + std::to_string(y) +
                    (pMod->L ? " L" : "") + (pMod->R ? " R" : "") + (pMod->S ? " S" : ""));
  }
  std::vector<std::string> calls;
};

struct InputEditor {
  explicit InputEditor(int scale) : plug(2), gui(new GraphicsX11(&plug, kW, kH, 1000)) {
    plug.GetParam(0)->InitInt("Channel", 0, 0, 1000);
    const IColor grey(255, 90, 90, 90);
    gui->AttachControl(new IPanelControl(&plug, IRECT(0, 0, kW, kH), &grey));
    control = new RecordingControl(&plug, IRECT(20, 20, 120, 60), 0);
    gui->AttachControl(control);
    plug.AttachGraphics(gui);
    gui->SetScale(scale);
  }
  Window EditorWindow() { return (Window)(uintptr_t)gui->GetWindow(); }
  // Idles until the editor has seen n calls.
  bool WaitForCalls(size_t n) {
    return WaitFor([&] { return control->calls.size() >= n; }, [&] { gui->Idle(); });
  }

  TestPlug plug;
  GraphicsX11* gui;
  RecordingControl* control;
};

void SendButton(Display* pDisplay, Window window, int type, unsigned button, int x, int y,
                unsigned state, Time time) {
  XEvent e = {};
  e.xbutton.type = type;
  e.xbutton.display = pDisplay;
  e.xbutton.window = window;
  e.xbutton.root = DefaultRootWindow(pDisplay);
  e.xbutton.x = e.xbutton.x_root = x;
  e.xbutton.y = e.xbutton.y_root = y;
  e.xbutton.button = button;
  e.xbutton.state = state;
  e.xbutton.time = time;
  e.xbutton.same_screen = True;
  XSendEvent(pDisplay, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
  XFlush(pDisplay);
}

void SendKey(Display* pDisplay, Window window, KeySym sym, int x = 0, int y = 0,
             unsigned state = 0) {
  XEvent e = {};
  e.xkey.type = KeyPress;
  e.xkey.display = pDisplay;
  e.xkey.window = window;
  e.xkey.root = DefaultRootWindow(pDisplay);
  e.xkey.x = x;
  e.xkey.y = y;
  e.xkey.keycode = XKeysymToKeycode(pDisplay, sym);
  e.xkey.state = state;
  e.xkey.same_screen = True;
  XSendEvent(pDisplay, window, True, KeyPressMask, &e);
  XFlush(pDisplay);
}

Window OnlyChild(Display* pDisplay, Window window) {
  Window root, parent, *pChildren = nullptr, child = 0;
  unsigned n = 0;
  if (XQueryTree(pDisplay, window, &root, &parent, &pChildren, &n) && n == 1) child = pChildren[0];
  if (pChildren) XFree(pChildren);
  return child;
}

TEST(X11EditorInput, ButtonsWheelAndKeysArriveInEditorPixels) {
  FakeHostWindow host;
  XSelectInput(host.GetDisplay(), host.GetWindow(), KeyPressMask);
  InputEditor editor(2);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  Display* pHost = host.GetDisplay();
  const Window w = editor.EditorWindow();
  SendButton(pHost, w, ButtonPress, Button1, 60, 80, ShiftMask, 1000);
  SendButton(pHost, w, ButtonRelease, Button1, 62, 81, ShiftMask, 1050);
  SendButton(pHost, w, ButtonPress, Button1, 60, 80, 0, 1200);  // double click
  SendButton(pHost, w, ButtonRelease, Button1, 60, 80, 0, 1250);
  SendButton(pHost, w, ButtonPress, Button3, 100, 100, 0, 5000);
  SendButton(pHost, w, ButtonRelease, Button3, 100, 100, 0, 5100);
  SendButton(pHost, w, ButtonPress, Button4, 100, 100, 0, 5200);
  SendButton(pHost, w, ButtonPress, Button5, 100, 100, 0, 5300);
  SendKey(pHost, w, XK_a, 60, 80);
  ASSERT_TRUE(editor.WaitForCalls(9));
  const std::vector<std::string> expected = {"down 30,40 L S", "up 31,40 L S",   "double 30,40 L",
                                             "up 30,40 L",     "down 50,50 R",   "up 50,50 R",
                                             "wheel 50,50 1",  "wheel 50,50 -1", "key 15"};
  EXPECT_EQ(editor.control->calls, expected);

  // A key the editor does not use goes on to the host's window.
  SendKey(pHost, w, XK_F5, 60, 80);
  XEvent forwarded;
  EXPECT_TRUE(
      WaitFor([&] { return XCheckTypedWindowEvent(pHost, host.GetWindow(), KeyPress, &forwarded); },
              [&] { editor.gui->Idle(); }));
}

TEST(X11EditorInput, TextFieldCommitsOnlyAcceptedCharacters) {
  FakeHostWindow host;
  InputEditor editor(1);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  IRECT r(20, 20, 120, 40);
  editor.gui->CreateTextEntry(editor.control, editor.control->GetText(), &r, "5",
                              editor.plug.GetParam(0));
  Display* pHost = host.GetDisplay();
  const Window field = OnlyChild(pHost, editor.EditorWindow());
  ASSERT_NE(field, 0u);
  for (KeySym sym : {XK_BackSpace, XK_1, XK_2, XK_period, XK_3, XK_Return}) {
    SendKey(pHost, field, sym);
  }
  ASSERT_TRUE(WaitFor([&] { return OnlyChild(pHost, editor.EditorWindow()) == 0; },
                      [&] { editor.gui->Idle(); }));
  EXPECT_EQ(editor.plug.GetParam(0)->Int(), 123);

  // Escape leaves the value as it was.
  editor.gui->CreateTextEntry(editor.control, editor.control->GetText(), &r, "7",
                              editor.plug.GetParam(0));
  SendKey(pHost, OnlyChild(pHost, editor.EditorWindow()), XK_Escape);
  ASSERT_TRUE(WaitFor([&] { return OnlyChild(pHost, editor.EditorWindow()) == 0; },
                      [&] { editor.gui->Idle(); }));
  EXPECT_EQ(editor.plug.GetParam(0)->Int(), 123);
}

// Typed text replaces the value the field opens with; the editing keys and a
// click that places the caret work; a narrow control gets a 64-pixel field.
// Pixels of the window that differ from the top left one of their 2 x 2
// block: none when the picture is a doubled smaller one.
int BlockDifferences(Display* pDisplay, Window window, unsigned w, unsigned h) {
  XImage* pImage = XGetImage(pDisplay, window, 0, 0, w, h, AllPlanes, ZPixmap);
  if (!pImage) return -1;
  int n = 0;
  for (unsigned y = 0; y < h; ++y) {
    for (unsigned x = 0; x < w; ++x)
      n += XGetPixel(pImage, x, y) != XGetPixel(pImage, x & ~1u, y & ~1u);
  }
  XDestroyImage(pImage);
  return n;
}

// At scale 2 the field is twice the size and drawn at that size, not doubled.
void TextFieldOpensSelectedAndEdits(int scale) {
  FakeHostWindow host;
  InputEditor editor(scale);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  Display* pHost = host.GetDisplay();
  IRECT r(180, 20, 190, 30);
  auto open = [&](const char* text) {
    editor.gui->CreateTextEntry(editor.control, editor.control->GetText(), &r, text,
                                editor.plug.GetParam(0));
    return OnlyChild(pHost, editor.EditorWindow());
  };
  auto commit = [&](Window field) {
    SendKey(pHost, field, XK_Return);
    return WaitFor([&] { return OnlyChild(pHost, editor.EditorWindow()) == 0; },
                   [&] { editor.gui->Idle(); });
  };
  Window field = open("45");
  ASSERT_NE(field, 0u);
  Window root;
  int x, y;
  unsigned w, h, border, depth;
  ASSERT_TRUE(XGetGeometry(pHost, field, &root, &x, &y, &w, &h, &border, &depth));
  EXPECT_EQ(w, 64u * scale);
  EXPECT_EQ(x, (kW - 64) * scale);                                    // kept inside the editor
  EXPECT_GE((int)h, (editor.control->GetText()->mSize + 4) * scale);  // room for the text size
  if (scale == 2) {
    EXPECT_TRUE(WaitFor([&] { return BlockDifferences(pHost, field, w, h) > 20; }, [] {}));
  }
  SendKey(pHost, field, XK_7);
  ASSERT_TRUE(commit(field));
  EXPECT_EQ(editor.plug.GetParam(0)->Int(), 7);

  field = open("45");
  for (KeySym sym : {XK_1, XK_Home, XK_2, XK_End, XK_3, XK_Left, XK_BackSpace, XK_Right, XK_4}) {
    SendKey(pHost, field, sym);  // "1" -> "21" -> "213" -> "23" -> "234"
  }
  SendKey(pHost, field, XK_Home);
  SendKey(pHost, field, XK_Delete);  // "34"
  ASSERT_TRUE(commit(field));
  EXPECT_EQ(editor.plug.GetParam(0)->Int(), 34);

  field = open("45");
  SendKey(pHost, field, XK_End);
  SendKey(pHost, field, XK_a, 0, 0, ControlMask);
  SendKey(pHost, field, XK_6);                                   // everything selected again: "6"
  SendButton(pHost, field, ButtonPress, Button1, 0, 5, 0, 100);  // caret before the "6"
  SendKey(pHost, field, XK_5);
  ASSERT_TRUE(commit(field));
  EXPECT_EQ(editor.plug.GetParam(0)->Int(), 56);
}

TEST(X11EditorInput, TextFieldOpensSelectedAndEdits) {
  TextFieldOpensSelectedAndEdits(1);
  TextFieldOpensSelectedAndEdits(2);
}

// The override-redirect window the editor shows (menu or tooltip), or 0.
Window ShownPopup(Display* pDisplay) {
  Window root, parent, *pChildren = nullptr, popup = 0;
  unsigned n = 0;
  XQueryTree(pDisplay, DefaultRootWindow(pDisplay), &root, &parent, &pChildren, &n);
  for (unsigned i = 0; i < n; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(pDisplay, pChildren[i], &a) && a.override_redirect &&
        a.map_state == IsViewable) {
      popup = pChildren[i];
    }
  }
  if (pChildren) XFree(pChildren);
  return popup;
}

// Finds the menu's window (an override-redirect child of the root) and
// sends it a button event on item `item`, or a press outside it.
void ClickMenuFromAnotherClient(int item, std::atomic<bool>* pSent) {
  Display* pDisplay = XOpenDisplay(TestDisplayName());
  Window menu = 0;
  WaitFor([&] { return (menu = ShownPopup(pDisplay)) != 0; }, [] {});
  if (menu) {
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(pDisplay, menu, DefaultRootWindow(pDisplay), 0, 0, &x, &y, &child);
    if (item >= 0) {
      SendButton(pDisplay, menu, ButtonRelease, Button1, x + 30, y + 1 + 20 * item + 10, 0, 0);
    } else {
      SendButton(pDisplay, menu, ButtonPress, Button1, x - 50, y - 50, 0, 0);
    }
  }
  pSent->store(menu != 0);
  XCloseDisplay(pDisplay);
}

TEST(X11EditorInput, PopupMenuReturnsTheChosenItemOrNothing) {
  FakeHostWindow host;
  InputEditor editor(1);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  IPopupMenu menu;
  menu.AddItem("One");
  menu.AddItem("Two");
  menu.AddItem("Three");
  IRECT r(20, 20, 120, 40);
  std::atomic<bool> sent{false};
  std::thread chooser(ClickMenuFromAnotherClient, 2, &sent);
  IPopupMenu* pChosen = editor.gui->CreateIPopupMenu(&menu, &r);
  chooser.join();
  ASSERT_TRUE(sent.load());
  ASSERT_EQ(pChosen, &menu);
  EXPECT_EQ(menu.GetChosenItemIdx(), 2);

  std::thread dismisser(ClickMenuFromAnotherClient, -1, &sent);
  pChosen = editor.gui->CreateIPopupMenu(&menu, &r);
  dismisser.join();
  EXPECT_EQ(pChosen, nullptr);
}

TEST(X11EditorInput, PopupMenuEndsWhenTheEditorsWindowGoes) {
  FakeHostWindow host;
  InputEditor editor(1);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  IPopupMenu menu;
  menu.AddItem("One");
  IRECT r(20, 20, 120, 40);
  const Window parent = host.GetWindow();
  // Another client destroys the host's window once the menu is up.
  std::thread closer([parent] {
    Display* pDisplay = XOpenDisplay(TestDisplayName());
    WaitFor([&] { return ShownPopup(pDisplay) != 0; }, [] {});
    XDestroyWindow(pDisplay, parent);
    XCloseDisplay(pDisplay);
  });
  EXPECT_EQ(editor.gui->CreateIPopupMenu(&menu, &r), nullptr);
  closer.join();
  EXPECT_TRUE(WaitFor([&] { return ShownPopup(host.GetDisplay()) == 0; }, [] {}));
}

TEST(X11EditorInput, TooltipShowsAfterTheMouseRestsAndGoesOnAClick) {
  FakeHostWindow host;
  InputEditor editor(1);
  editor.control->SetTooltip("Channel");
  editor.gui->EnableTooltips(true);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  Display* pHost = host.GetDisplay();
  XEvent e = {};
  e.xmotion.type = MotionNotify;
  e.xmotion.window = editor.EditorWindow();
  e.xmotion.x = e.xmotion.x_root = 50;
  e.xmotion.y = e.xmotion.y_root = 30;
  e.xmotion.same_screen = True;
  XSendEvent(pHost, editor.EditorWindow(), True, PointerMotionMask, &e);
  XFlush(pHost);
  Window tip = 0;
  ASSERT_TRUE(WaitFor([&] { return (tip = ShownPopup(pHost)) != 0; }, [&] { editor.gui->Idle(); }));
  XWindowAttributes a;
  XGetWindowAttributes(pHost, tip, &a);
  EXPECT_GT(a.x, 50);
  EXPECT_GT(a.y, 30);
  SendButton(pHost, editor.EditorWindow(), ButtonPress, Button1, 50, 30, 0, 1);
  EXPECT_TRUE(WaitFor([&] { return ShownPopup(pHost) == 0; }, [&] { editor.gui->Idle(); }));
}

// A hidden pointer comes back, once, to where it was first hidden.
TEST(X11EditorInput, HiddenPointerReturnsToWhereItWasHidden) {
  FakeHostWindow host;
  InputEditor editor(1);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  Display* pDisplay = host.GetDisplay();
  const Window root = DefaultRootWindow(pDisplay);
  auto warp = [&](int x, int y) {
    XWarpPointer(pDisplay, None, root, 0, 0, 0, 0, x, y);
    XSync(pDisplay, False);
  };
  auto at = [&] {
    Window r, c;
    int x = -1, y = -1, wx, wy;
    unsigned mask;
    XQueryPointer(pDisplay, root, &r, &c, &x, &y, &wx, &wy, &mask);
    return std::to_string(x) + "," + std::to_string(y);
  };
  warp(30, 40);
  editor.gui->HideMouseCursor();
  warp(90, 70);
  editor.gui->HideMouseCursor();  // already hidden: the first position stays
  warp(150, 100);
  editor.gui->ShowMouseCursor();
  EXPECT_EQ(at(), "30,40");
  warp(60, 60);
  editor.gui->ShowMouseCursor();  // not hidden: nothing moves
  EXPECT_EQ(at(), "60,60");
  editor.gui->HideMouseCursor();
  warp(10, 10);
  editor.gui->CloseWindow();  // closing shows it again
  EXPECT_EQ(at(), "60,60");
}

}  // namespace
