// The editor's X11 window against a private Xvfb with no window manager.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

// Plug-in and editor headers come before Xlib's, whose macros (Bool, None)
// they would meet.
#include "tests/plug/test_plug.h"
#include "gui/controls/panel.h"
#include "gui/controls/text.h"
#include "gui/x11/graphics_x11.h"
#include "gui/x11/x11_error_trap.h"
#include "tests/gui/x11/x11_test_support.h"
#include "tests/gui/x11/xvfb_server.h"

#include <X11/Xutil.h>

namespace {

constexpr int kW = 120, kH = 80;

int s_hostErrors = 0;
int CountingHandler(Display*, XErrorEvent*) {
  ++s_hostErrors;
  return 0;
}

// A plug-in with a small X11 editor: a panel and a line of text. The frame
// rate is high so that every idle call may paint.
struct X11Editor {
  X11Editor() : plug(2), gui(new GraphicsX11(&plug, kW, kH, 1000)) {
    const IColor background(255, 30, 60, 90);
    gui->AttachControl(new IPanelControl(&plug, IRECT(0, 0, kW, kH), &background));
    IText style(14, &COLOR_WHITE, "sans-serif", IText::kStyleBold, IText::kAlignNear);
    text = new ITextControl(&plug, IRECT(4, 20, kW, 40), &style, "Skylane");
    gui->AttachControl(text);
    plug.AttachGraphics(gui);
  }
  // Idles until nothing is left to paint and the window shows the draw bitmap.
  bool ShowsBitmap(FakeHostWindow* pHost, int scale) {
    Window window = (Window)(uintptr_t)gui->GetWindow();
    IRECT dirty;
    return WaitFor(
        [&] {
          return !gui->IsDirty(&dirty) && !gui->ScreenCopyPending() &&
                 CountWindowDifferences(pHost->GetDisplay(), window, gui, scale) == 0;
        },
        [&] { gui->Idle(); });
  }

  TestPlug plug;
  GraphicsX11* gui;  // owned by plug
  ITextControl* text;
};

// Identifies the server's next client slot: the first window id of a fresh
// connection. A connection that was never closed keeps its slot taken.
Window FirstWindowOfNewClient() {
  Display* pDisplay = XOpenDisplay(TestDisplayName());
  if (!pDisplay) return 0;
  Window w = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 1, 1, 0, 0, 0);
  XCloseDisplay(pDisplay);
  return w;
}

TEST(X11EditorWindow, OpensAndClosesRepeatedlyGivingEverythingBack) {
  FakeHostWindow host;
  X11Editor editor;
  const int descriptors = CountOpenDescriptors();
  const Window nextClient = FirstWindowOfNewClient();
  for (int i = 0; i < 100; ++i) {
    ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr) << "open " << i;
    editor.gui->Idle();
    if (i % 10 == 0) {
      // A second open without a close still leaves one window.
      ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
      ASSERT_EQ(host.CountChildren(), 1);
    }
    editor.gui->CloseWindow();
  }
  EXPECT_EQ(editor.gui->GetWindow(), nullptr);
  EXPECT_EQ(host.CountChildren(), 0);
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
  EXPECT_EQ(FirstWindowOfNewClient(), nextClient);
  editor.gui->CloseWindow();  // closing a closed editor does nothing
}

TEST(X11EditorWindow, SurvivesTheHostDestroyingItsWindowFirst) {
  XErrorHandler hostHandler = XSetErrorHandler(&CountingHandler);
  X11Editor editor;
  {
    FakeHostWindow host;
    ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
    ASSERT_TRUE(editor.ShowsBitmap(&host, 1));
    host.Destroy();
    editor.text->SetTextFromPlug("after the parent went");
    for (int i = 0; i < 20; ++i) editor.gui->Idle();
    editor.gui->CloseWindow();
  }
  // The host's handler is the one installed, and the next open works.
  EXPECT_EQ(XSetErrorHandler(&CountingHandler), &CountingHandler);
  FakeHostWindow host;
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  EXPECT_TRUE(editor.ShowsBitmap(&host, 1));
  editor.gui->CloseWindow();
  XSetErrorHandler(hostHandler);
}

TEST(X11EditorWindow, TrapsCatchTheirOwnConnectionsErrorsAndPassOthersOn) {
  XErrorHandler before = XSetErrorHandler(&CountingHandler);
  s_hostErrors = 0;
  Display* pOurs = XOpenDisplay(TestDisplayName());
  FakeHostWindow host;
  XWindowAttributes a;
  {
    X11ErrorTrap outer(pOurs);
    X11ErrorTrap inner(pOurs);
    XGetWindowAttributes(pOurs, (Window)0x7FFFFF1, &a);  // fails on our connection
    EXPECT_TRUE(inner.Failed());
    EXPECT_EQ(inner.BadResource(), (XID)0x7FFFFF1);
    EXPECT_FALSE(outer.Failed());
    // The host's connection fails while the traps are set: its handler hears of it.
    XGetWindowAttributes(host.GetDisplay(), (Window)0x7FFFFF2, &a);
    EXPECT_EQ(s_hostErrors, 1);
  }
  EXPECT_EQ(XSetErrorHandler(before), &CountingHandler);
  XCloseDisplay(pOurs);
}

int KeepGoingAfterIOError(Display*) { return 0; }
void KeepGoing(Display*, void*) {}

// The X server goes away under an open editor: idle calls and the close go
// on without ending the process, and everything is given back.
TEST(X11EditorWindow, ALostServerEndsNoProcess) {
  XvfbServer server;
  ASSERT_TRUE(server.Start()) << server.Error();
  const std::string display = TestDisplayName();
  setenv("DISPLAY", server.DisplayName().c_str(), 1);
  X11Editor editor;
  {
    FakeHostWindow host(kW, kH, server.DisplayName().c_str());
    // The test's host survives the loss of its own connection too.
    XSetIOErrorExitHandler(host.GetDisplay(), &KeepGoing, nullptr);
    const XIOErrorHandler before = XSetIOErrorHandler(&KeepGoingAfterIOError);
    const int descriptors = CountOpenDescriptors();
    ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
    ASSERT_TRUE(editor.ShowsBitmap(&host, 1));
    XSetIOErrorHandler(before);
    server.Stop();
    editor.text->SetTextFromPlug("after the server went");
    for (int i = 0; i < 5; ++i) editor.gui->Idle();
    editor.gui->CloseWindow();
    EXPECT_EQ(CountOpenDescriptors(), descriptors);
    XSetIOErrorHandler(&KeepGoingAfterIOError);
  }
  XSetIOErrorHandler(nullptr);
  setenv("DISPLAY", display.c_str(), 1);
}

// With its window open the editor asks the desktop's chooser (here a script
// that answers one file) and keeps painting meanwhile; closed, it asks nobody
// and shows no message box.
TEST(X11EditorWindow, FilePromptAsksTheChooserOnlyWhileOpen) {
  char scratch[] = "/tmp/skylane-prompt-XXXXXX";
  ASSERT_NE(mkdtemp(scratch), nullptr);
  const std::string dir = std::string(scratch) + "/", chosen = dir + "a.fxp";
  FILE* pFile = fopen(chosen.c_str(), "w");
  ASSERT_NE(pFile, nullptr);
  fclose(pFile);
  const std::string zenity = dir + "zenity";
  pFile = fopen(zenity.c_str(), "w");
  ASSERT_NE(pFile, nullptr);
  fprintf(pFile, "#!/bin/sh\necho %s\n", chosen.c_str());
  fclose(pFile);
  chmod(zenity.c_str(), 0755);
  const std::string path = getenv("PATH");
  setenv("PATH", scratch, 1);
  FakeHostWindow host;
  X11Editor editor;
  SkyString file("old.fxp"), folder("/");
  editor.gui->PromptForFile(&file, kFileOpen, &folder, "fxp");
  EXPECT_STREQ(file.Get(), "");  // no window
  EXPECT_EQ(editor.gui->ShowMessageBox("Replace?", "Preset", 4), 0);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  editor.gui->PromptForFile(&file, kFileOpen, &folder, "fxp");
  EXPECT_EQ(file.Get(), chosen);
  EXPECT_EQ(folder.Get(), dir);
  editor.gui->CloseWindow();
  setenv("PATH", path.c_str(), 1);
  unlink(zenity.c_str());
  unlink(chosen.c_str());
  rmdir(scratch);
}

TEST(X11EditorWindow, OpenFailsCleanlyWithoutDisplayOrParent) {
  X11Editor editor;
  const std::string display = TestDisplayName();
  FakeHostWindow host;
  const int descriptors = CountOpenDescriptors();
  EXPECT_EQ(editor.gui->OpenWindow(nullptr), nullptr);
  EXPECT_EQ(editor.gui->OpenWindow((void*)(uintptr_t)0x7FFFFF0), nullptr);  // no such window
  unsetenv("DISPLAY");
  EXPECT_EQ(editor.gui->OpenWindow(host.Parent()), nullptr);
  setenv("DISPLAY", ":4093", 1);  // no server there
  EXPECT_EQ(editor.gui->OpenWindow(host.Parent()), nullptr);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(editor.gui->GetWindow(), nullptr);
  EXPECT_EQ(CountOpenDescriptors(), descriptors);
  EXPECT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
}

TEST(X11EditorWindow, WindowShowsTheOffScreenBitmapAfterEachChange) {
  FakeHostWindow host;
  X11Editor editor;
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  ASSERT_TRUE(editor.ShowsBitmap(&host, 1));
  const Window window = (Window)(uintptr_t)editor.gui->GetWindow();
  XImage* pImage = XGetImage(host.GetDisplay(), window, 1, 1, 1, 1, AllPlanes, ZPixmap);
  ASSERT_NE(pImage, nullptr);
  EXPECT_EQ(XGetPixel(pImage, 0, 0) & 0xFFFFFF, 0x1E3C5Au);  // the panel's colour
  XDestroyImage(pImage);
  editor.text->SetTextFromPlug("Connected");
  ASSERT_TRUE(editor.ShowsBitmap(&host, 1));
  XWindowAttributes a;
  XGetWindowAttributes(host.GetDisplay(), window, &a);
  EXPECT_EQ(a.width, kW);
  EXPECT_EQ(a.height, kH);
}

TEST(X11EditorWindow, ScaleTwoDoublesTheWindowAndEveryPixel) {
  FakeHostWindow host;
  X11Editor editor;
  editor.gui->SetScale(2);
  ASSERT_NE(editor.gui->OpenWindow(host.Parent()), nullptr);
  XWindowAttributes a;
  XGetWindowAttributes(host.GetDisplay(), (Window)(uintptr_t)editor.gui->GetWindow(), &a);
  EXPECT_EQ(a.width, 2 * kW);
  EXPECT_EQ(a.height, 2 * kH);
  EXPECT_TRUE(editor.ShowsBitmap(&host, 2));
  // Back to 1 while open: the window follows.
  editor.gui->SetScale(1);
  EXPECT_TRUE(editor.ShowsBitmap(&host, 1));
}

}  // namespace
