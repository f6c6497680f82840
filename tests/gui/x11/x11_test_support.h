// Helpers for the X11 editor tests: one private Xvfb for the whole test
// program (DISPLAY points at it), a host-side parent window, waits with
// deadlines, and a comparison of window pixels with the draw bitmap.
#pragma once

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <functional>

#include "gui/graphics.h"

// The display name of the test program's Xvfb (set up by its environment).
const char* TestDisplayName();

// A top-level window that plays the host's editor window, on the host's own
// connection.
class FakeHostWindow {
 public:
  // On the test program's display unless another is named.
  explicit FakeHostWindow(int w = 640, int h = 480, const char* pDisplayName = nullptr);
  ~FakeHostWindow();
  FakeHostWindow(const FakeHostWindow&) = delete;
  FakeHostWindow& operator=(const FakeHostWindow&) = delete;

  Display* GetDisplay() const { return mDisplay; }
  Window GetWindow() const { return mWindow; }
  void* Parent() const { return (void*)(uintptr_t)mWindow; }
  // Destroys the window now (as a host that closes its window first).
  void Destroy();
  // How many child windows the parent has right now.
  int CountChildren();

 private:
  Display* mDisplay;
  Window mWindow = 0;
};

// Calls step until done() holds or the deadline passes; true when done.
bool WaitFor(const std::function<bool()>& done, const std::function<void()>& step,
             int timeoutMs = 10000);
// Pixels of the window (host connection) at the window's scale that differ
// from the editor's draw bitmap (drawn at its own scale); -1 when the window
// cannot be read.
int CountWindowDifferences(Display* pDisplay, Window window, Graphics* pGraphics, int scale);
// Open descriptors of this process.
int CountOpenDescriptors();
