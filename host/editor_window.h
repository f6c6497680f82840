// The plug-in's editor in a top-level window of skylane-host's own: the
// host side of the X11 convention (the plug-in makes a child window of ours
// on its own connection and is driven by effEditIdle).
#pragma once

#include <functional>
#include <string>

class Plugin;

class HostEditorWindow {
 public:
  HostEditorWindow() = default;
  ~HostEditorWindow() { Close(); }
  HostEditorWindow(const HostEditorWindow&) = delete;
  HostEditorWindow& operator=(const HostEditorWindow&) = delete;

  // Asks the editor's size, makes a window of that size and opens the
  // editor in it; false with *error when there is no editor or display.
  bool Open(const Plugin& plugin, std::string* error);
  // Handles the window's events and gives the editor its idle call.
  void Idle();
  // The user closed the window (through a window manager).
  bool Closed() const { return mClosed; }
  // Closes the editor, then the window.
  void Close();

 private:
  const Plugin* mPlugin = nullptr;
  void* mDisplay = nullptr;  // Display*
  unsigned long mWindow = 0;
  unsigned long mDeleteAtom = 0;
  bool mClosed = false;
};

// Gives the open editor its idle calls at 30 Hz while work runs on a thread
// of its own, and returns work's result; with no work, idles until the
// window is closed and returns true.
bool IdleEditorWhile(HostEditorWindow* pWindow, const std::function<bool()>& work);
