// Reading the clipboard from owners on connections of their own: UTF-8 text,
// Latin-1 text, no owner, and an owner that never answers.
#include <gtest/gtest.h>
#include <poll.h>

#include <atomic>
#include <string>
#include <thread>

// Xlib's macros (None, Bool) come after the test framework's headers.
#include "gui/x11/x11_clipboard.h"
#include "tests/gui/x11/x11_test_support.h"

namespace {

// Owns the clipboard from a thread of its own and answers requests for
// `target` with `text`, refuses other targets; a null target never answers.
class ClipboardOwner {
 public:
  ClipboardOwner(std::string text, const char* target) : mText(std::move(text)) {
    mThread = std::thread([this, target] { Serve(target); });
    WaitFor([this] { return mReady.load(); }, [] { std::this_thread::yield(); });
  }
  ~ClipboardOwner() {
    mStop = true;
    mThread.join();
  }

 private:
  void Serve(const char* target) {
    Display* pDisplay = XOpenDisplay(TestDisplayName());
    const Window w =
        XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 1, 1, 0, 0, 0);
    XSetSelectionOwner(pDisplay, XInternAtom(pDisplay, "CLIPBOARD", False), w, CurrentTime);
    XSync(pDisplay, False);
    const Atom offered = target ? XInternAtom(pDisplay, target, False) : None;
    mReady = true;
    while (!mStop) {
      pollfd p = {ConnectionNumber(pDisplay), POLLIN, 0};
      poll(&p, 1, 10);
      while (XPending(pDisplay)) {
        XEvent e;
        XNextEvent(pDisplay, &e);
        if (e.type == SelectionRequest && target) Answer(pDisplay, e.xselectionrequest, offered);
      }
    }
    XCloseDisplay(pDisplay);
  }
  void Answer(Display* pDisplay, const XSelectionRequestEvent& r, Atom offered) {
    XEvent n = {};
    n.xselection.type = SelectionNotify;
    n.xselection.requestor = r.requestor;
    n.xselection.selection = r.selection;
    n.xselection.target = r.target;
    n.xselection.time = r.time;
    n.xselection.property = r.target == offered ? r.property : None;
    if (r.target == offered) {
      XChangeProperty(pDisplay, r.requestor, r.property, offered, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(mText.data()),
                      static_cast<int>(mText.size()));
    }
    XSendEvent(pDisplay, r.requestor, False, 0, &n);
    XFlush(pDisplay);
  }

  std::string mText;
  std::atomic<bool> mReady{false}, mStop{false};
  std::thread mThread;
};

TEST(X11Clipboard, ReadsUtf8AndLatin1TextAndFailsCleanly) {
  Display* pDisplay = XOpenDisplay(TestDisplayName());
  ASSERT_NE(pDisplay, nullptr);
  const Window w = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 1, 1, 0, 0, 0);
  std::string text = "left alone";
  EXPECT_FALSE(X11ReadClipboardText(pDisplay, w, &text));  // nobody owns it
  EXPECT_EQ(text, "left alone");
  {
    ClipboardOwner owner(
        "Gr\xC3\xBC\xC3\x9F"
        "e aus Skylane",
        "UTF8_STRING");
    ASSERT_TRUE(X11ReadClipboardText(pDisplay, w, &text, 10000));
    EXPECT_EQ(text,
              "Gr\xC3\xBC\xC3\x9F"
              "e aus Skylane");
  }
  {
    ClipboardOwner owner(
        "Gr\xFC\xDF"
        "e",
        "STRING");
    ASSERT_TRUE(X11ReadClipboardText(pDisplay, w, &text, 10000));
    EXPECT_EQ(text,
              "Gr\xC3\xBC\xC3\x9F"
              "e");
  }
  {
    ClipboardOwner silent("never sent", nullptr);
    EXPECT_FALSE(X11ReadClipboardText(pDisplay, w, &text, 200));
  }
  XCloseDisplay(pDisplay);
}

}  // namespace
