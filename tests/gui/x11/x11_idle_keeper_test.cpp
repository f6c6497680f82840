// The idle keeper: turns while the host is silent, none while it calls or
// while another thread drives; and an editor whose host never idles is
// painted and answers clicks, then handed back to the host's idle calls.
#include "tests/plug/test_plug.h"
#include "gui/x11/x11_idle_keeper.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "gui/controls/panel.h"
#include "gui/controls/switches.h"
#include "gui/x11/graphics_x11.h"
#include "raster/raster.h"
#include "tests/gui/x11/x11_test_support.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Calls note every 2 ms for the duration and returns how many keeper turns
// the gaps between the calls allow: a turn needs kSilence without a call,
// and then one comes every kTick. Two more cover a turn already begun.
long CallFor(milliseconds duration, const std::function<void()>& note) {
  long allowed = 2;
  const Clock::time_point end = Clock::now() + duration;
  Clock::time_point last = Clock::now();
  while (last < end) {
    note();
    std::this_thread::sleep_for(milliseconds(2));
    const Clock::time_point now = Clock::now();
    const auto gap = now - last;
    if (gap >= X11IdleKeeper::kSilence)
      allowed += (gap - X11IdleKeeper::kSilence) / X11IdleKeeper::kTick + 2;
    last = now;
  }
  return allowed;
}

TEST(X11IdleKeeper, TurnsOnlyWhileTheHostIsSilentAndTheLockIsFree) {
  std::recursive_mutex drive;
  std::atomic<long> turns{0};
  std::atomic<bool> overlapped{false};
  std::atomic<int> inside{0};
  {
    X11IdleKeeper keeper(&drive, [&] {
      if (inside.fetch_add(1) != 0) overlapped = true;
      turns.fetch_add(1);
      inside.fetch_sub(1);
    });
    ASSERT_TRUE(WaitFor([&] { return turns.load() > 5; },
                        [] { std::this_thread::sleep_for(milliseconds(1)); }));
    // The host calls again: the keeper steps back.
    const long before = turns.load();
    const long allowed = CallFor(milliseconds(300), [&] { keeper.NoteHostIdle(); });
    EXPECT_LE(turns.load() - before, allowed);
    // Another thread drives: no turn meanwhile.
    {
      std::lock_guard<std::recursive_mutex> lock(drive);
      const long held = turns.load();
      std::this_thread::sleep_for(milliseconds(100));
      EXPECT_EQ(turns.load(), held);
    }
    ASSERT_TRUE(WaitFor([&, t = turns.load()] { return turns.load() > t + 3; },
                        [] { std::this_thread::sleep_for(milliseconds(1)); }));
  }
  // Gone with the keeper: no turn after it.
  const long last = turns.load();
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_EQ(turns.load(), last);
  EXPECT_FALSE(overlapped.load());
}

constexpr int kW = 120, kH = 80;

struct SilentHostEditor {
  SilentHostEditor() : plug(1), gui(new GraphicsX11(&plug, kW, kH, 60)) {
    plug.GetParam(0)->InitBool("Switch", false);
    const IColor grey(255, 90, 90, 90), red(255, 200, 0, 0), green(255, 0, 200, 0);
    gui->AttachControl(new IPanelControl(&plug, IRECT(0, 0, kW, kH), &grey));
    strip.resize(20, 40);
    PX_FillRect(&strip, 0, 0, 20, 20, PxColor(&red), 1.0f, 0);
    PX_FillRect(&strip, 0, 20, 20, 20, PxColor(&green), 1.0f, 0);
    IBitmap bitmap(&strip, 20, 40, 2);
    gui->AttachControl(new ISwitchControl(&plug, 10, 10, 0, &bitmap));
    plug.AttachGraphics(gui);
  }
  // The window shows the draw bitmap, read while no turn runs.
  bool Shows(Display* pHost) {
    bool same = false;
    gui->RunLocked([&] {
      IRECT dirty;
      same = !gui->IsDirty(&dirty) &&
             CountWindowDifferences(pHost, (Window)(uintptr_t)gui->GetWindow(), gui, 1) == 0;
    });
    return same;
  }

  PX_MemBitmap strip;
  TestPlug plug;
  GraphicsX11* gui;
};

void Sleep() { std::this_thread::sleep_for(milliseconds(5)); }

TEST(X11IdleKeeper, EditorIsPaintedAndClickedWithoutIdleThenHandedBack) {
  FakeHostWindow host;
  SilentHostEditor editor;
  Display* pHost = host.GetDisplay();
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  ASSERT_TRUE(WaitFor([&] { return editor.Shows(pHost); }, Sleep));
  const Window window = (Window)(uintptr_t)editor.gui->GetWindow();
  for (int type : {ButtonPress, ButtonRelease}) {
    XEvent e = {};
    e.xbutton.type = type;
    e.xbutton.window = window;
    e.xbutton.x = e.xbutton.y = 15;
    e.xbutton.button = Button1;
    e.xbutton.same_screen = True;
    XSendEvent(pHost, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &e);
  }
  XFlush(pHost);
  ASSERT_TRUE(WaitFor(
      [&] {
        PlugBase::IMutexLock lock(&editor.plug);  // the keeper sets it under the lock
        return editor.plug.GetParam(0)->Value() == 1.0;
      },
      Sleep));
  ASSERT_TRUE(WaitFor([&] { return editor.Shows(pHost); }, Sleep));  // the switch's new frame

  // The host idles again: its calls do the work, the keeper's turns stop.
  const long before = editor.gui->KeeperTurns();
  const long allowed = CallFor(milliseconds(300), [&] { editor.gui->Idle(); });
  EXPECT_LE(editor.gui->KeeperTurns() - before, allowed);
  // An expose while the host is silent again is repainted by the keeper.
  XClearArea(pHost, window, 0, 0, kW, kH, True);
  XFlush(pHost);
  EXPECT_TRUE(WaitFor([&] { return editor.Shows(pHost); }, Sleep));
  editor.gui->CloseWindow();
  const long closed = editor.gui->KeeperTurns();
  std::this_thread::sleep_for(milliseconds(50));
  EXPECT_EQ(editor.gui->KeeperTurns(), closed);
}

}  // namespace
