// GraphicsX11: the editor on an X11 display. The host hands its window to
// OpenWindow; the editor opens its own display connection and makes a child
// window of that parent. The host's idle calls (Idle) handle pending events
// and, once 1/FPS() seconds have passed since the last frame, repaint the
// dirty region and copy it to the window. While the window is open and the
// host does not call, an idle keeper's thread runs those turns instead, and
// hands them back as soon as the host calls again. The drive lock makes sure
// that exactly one thread uses the display connection at a time: every
// entry point takes it (Idle only when it is free).
//
// Every X call runs inside an error trap: a parent destroyed behind the
// editor's back, or a refused request, never ends the host process. Closing
// gives back the window, the shared image and the display connection.
// Popup menus and the text field are small windows of the editor's own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "base/heapbuf.h"
#include "gui/graphics.h"
#include "gui/x11/platform_view.h"

class X11IdleKeeper;
class X11TextField;
class X11Tooltip;
class X11Window;
union _XEvent;

class GraphicsX11 : public Graphics, public IPlatformView {
  using DriveLock = std::lock_guard<std::recursive_mutex>;

 public:
  // The scale starts from GDK_SCALE (1 when unset).
  GraphicsX11(PlugBase* pPlug, int w, int h, int fps = 0);
  // Closes the window first (without the end notice of a held gesture: the
  // plug-in is going away).
  ~GraphicsX11() override;

  // --- IPlatformView ---------------------------------------------------------

  void Idle() override;
  void SetScale(double factor) override;
  int Scale() const override { return mScale; }

  // Whether the last frame copied to the window is still being read by the
  // server (shared-memory images); the next copy waits for it.
  bool ScreenCopyPending() const;
  // The display connection of the open window, or null.
  void* GetDisplay() const;
  // How many turns the idle keeper has run.
  long KeeperTurns() const;
  // Whether windows opened from now on get an idle keeper (default on). A
  // caller that measures its own idle calls turns it off.
  void UseIdleKeeper(bool use) { mUseKeeper = use; }
  // Runs f while no turn runs (a check of the draw bitmap against the window).
  void RunLocked(const std::function<void()>& f) {
    DriveLock lock(mDrive);
    f();
  }

  // --- Platform slots --------------------------------------------------------

  bool DrawScreen(IRECT* pR) override;
  void ForceEndUserEdit() override;
  const char* GetGUIAPI() override { return "X11 GUI"; }
  int ShowMessageBox(const char* str, const char* caption, int type) override;
  IPopupMenu* CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) override;
  void CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect, const char* str,
                       IParam* pParam) override;
  void HostPath(SkyString* pPath) override;
  void PluginPath(SkyString* pPath) override;
  void DesktopPath(SkyString* pPath) override;
  void AppSupportPath(SkyString* pPath, bool isSystem = false) override;
  void SandboxSafeAppSupportPath(SkyString* pPath) override;
  void PromptForFile(SkyString* pFilename, EFileAction action = kFileOpen,
                     SkyString* pDir = nullptr, const char* extensions = nullptr) override;
  bool PromptForColor(IColor*, const char* = nullptr) override { return false; }
  bool OpenURL(const char* url, const char* msgWindowTitle = nullptr,
               const char* confirmMsg = nullptr, const char* errMsgOnFailure = nullptr) override;
  // pParentWnd is the host's X window id; null when there is no display, the
  // parent does not exist or the window cannot be made.
  void* OpenWindow(void* pParentWnd) override;
  void* OpenWindow(void* pParentWnd, void*, short = 0, short = 0) override {
    return OpenWindow(pParentWnd);
  }
  void CloseWindow() override;
  void* GetWindow() override;
  bool GetTextFromClipboard(SkyString* pStr) override;
  // Once hidden, the pointer stays hidden over the window until shown, which
  // puts it back where it was hidden.
  void HideMouseCursor() override;
  void ShowMouseCursor() override;
  // Tooltips are found on the fly (the control under the mouse); this only
  // hides a tooltip on screen.
  void UpdateTooltips() override;
  PX_IBitmap* OSLoadBitmap(int ID, const char* name) override;

 private:
  class MenuOwner;

  // One turn of the run loop: pending events, then a frame when one is due.
  void Turn();
  // Whether a modal loop should end: the window is closing or gone.
  bool ShouldClose() const;

  // The text field, the tooltip and the window go; the display closes.
  void DestroyWindow();
  void Paint();
  // An idle turn while a modal prompt runs: repaints, drops input.
  void ModalIdle();
  void FlushScreen();
  void EndTextEntry(bool commit);
  void HandleEvent(union _XEvent* pEvent);
  void HandleExpose(const union _XEvent* pEvent);
  // Mouse, wheel, keys, enter and leave: the editor's input calls.
  void RouteInput(union _XEvent* pEvent);
  void RouteButton(union _XEvent* pEvent);
  void RouteKey(union _XEvent* pEvent);
  // Tooltips: a control's tooltip shows after the mouse has rested on it for
  // 1.5 x FPS() frames and stays for 10 x FPS() frames.
  void TrackTooltip(int x, int y, int rootX, int rootY);
  void TickTooltip();
  void HideTooltip();

  mutable std::recursive_mutex mDrive;
  std::unique_ptr<X11IdleKeeper> mKeeper;
  std::atomic<long> mKeeperTurns{0};
  std::atomic<bool> mClosing{false};
  bool mUseKeeper = true;
  X11Window* mWindow = nullptr;
  X11TextField* mTextField = nullptr;
  X11Tooltip* mTooltip = nullptr;
  int mTipControl = -1, mTipCountdown = 0, mTipFramesLeft = 0, mTipX = 0, mTipY = 0;
  int mScale;
  bool mModal = false;  // a file prompt or message box is up
  IRECT mScreenPending;
  std::chrono::steady_clock::time_point mLastFrame;
  // The last left press, for double clicks.
  unsigned long mLastClickTime = 0;
  int mLastClickX = -100, mLastClickY = -100;
};
