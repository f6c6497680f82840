#include "gui/x11/graphics_x11.h"

#include <cstdint>
#include <string>

#include "gui/desktop_open.h"
#include "gui/embedded_images.h"
#include "gui/platform_paths.h"
#include "gui/x11/editor_scale.h"
#include "gui/x11/x11_clipboard.h"
#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_file_prompt.h"
#include "gui/x11/x11_idle_keeper.h"
#include "gui/x11/x11_text_field.h"
#include "gui/x11/x11_window.h"

GraphicsX11::GraphicsX11(PlugBase* pPlug, int w, int h, int fps)
    : Graphics(pPlug, w, h, fps), mScale(EditorScaleFromEnvironment()) {
  SetDrawScale(mScale);
}

// The plug-in is being destroyed: no end notice can reach it any more.
GraphicsX11::~GraphicsX11() {
  mClosing.store(true);
  mKeeper.reset();
  DestroyWindow();
}

void* GraphicsX11::OpenWindow(void* pParentWnd) {
  CloseWindow();
  DriveLock lock(mDrive);
  mWindow = X11Window::Open((Window)(uintptr_t)pParentWnd, Width() * mScale, Height() * mScale);
  if (!mWindow) return nullptr;
  // The first idle call paints at once, and the whole picture goes out.
  mLastFrame = std::chrono::steady_clock::time_point();
  mScreenPending = IRECT(0, 0, Width(), Height());
  if (mUseKeeper && !mKeeper) {
    mKeeper.reset(new X11IdleKeeper(&mDrive, [this] {
      mKeeperTurns.fetch_add(1);
      Turn();
    }));
  }
  return (void*)(uintptr_t)mWindow->GetWindow();
}

// The keeper stops first, without the drive lock: a turn under way (a menu
// or message box of its own included, which see mClosing) ends before. Asked
// from inside one of the keeper's own turns, the keeper stays (idle without
// a window) until the editor closes or opens again from another thread.
void GraphicsX11::CloseWindow() {
  mClosing.store(true);
  if (mKeeper && !mKeeper->OnItsThread()) mKeeper.reset();
  {
    DriveLock lock(mDrive);
    if (mWindow) {
      InterruptMouseGesture();
      DestroyWindow();
    }
  }
  mClosing.store(false);
}

void GraphicsX11::DestroyWindow() {
  if (!mWindow) return;
  ForceEndUserEdit();
  ShowMouseCursor();
  UpdateTooltips();
  delete mWindow;
  mWindow = nullptr;
  mScreenPending = IRECT();
}

bool GraphicsX11::ShouldClose() const { return mClosing.load() || !mWindow || mWindow->IsGone(); }

void* GraphicsX11::GetWindow() {
  DriveLock lock(mDrive);
  return mWindow ? (void*)(uintptr_t)mWindow->GetWindow() : nullptr;
}

void* GraphicsX11::GetDisplay() const {
  DriveLock lock(mDrive);
  return mWindow ? mWindow->GetDisplay() : nullptr;
}

long GraphicsX11::KeeperTurns() const { return mKeeperTurns.load(); }

bool GraphicsX11::ScreenCopyPending() const {
  DriveLock lock(mDrive);
  return mWindow && mWindow->PutPending();
}

void GraphicsX11::SetScale(double factor) {
  DriveLock lock(mDrive);
  const int scale = EditorScaleFromFactor(factor);
  if (scale == mScale) return;
  mScale = scale;
  SetDrawScale(scale);
  if (!mWindow) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  if (mTextField) EndTextEntry(false);
  mWindow->Resize(Width() * mScale, Height() * mScale);
  // The picture is drawn again at the new scale before it goes out.
  IRECT whole(0, 0, Width(), Height());
  Draw(&whole);
  mScreenPending = whole;
  FlushScreen();
  if (trap.Failed()) mWindow->NoteError(trap.BadResource());
}

// A call while the keeper's turn runs finds the lock taken and returns: that
// turn does the work, and the keeper steps back before its next one.
void GraphicsX11::Idle() {
  std::unique_lock<std::recursive_mutex> lock(mDrive, std::try_to_lock);
  if (mKeeper) mKeeper->NoteHostIdle();
  if (!lock.owns_lock()) return;
  Turn();
}

void GraphicsX11::Turn() {
  if (!mWindow) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  XEvent event;
  while (mWindow && mWindow->NextEvent(&event)) HandleEvent(&event);
  if (!mWindow) return;
  Paint();
  if (trap.Failed()) mWindow->NoteError(trap.BadResource());
}

void GraphicsX11::Paint() {
  const auto now = std::chrono::steady_clock::now();
  const auto period = std::chrono::microseconds(1000000 / FPS());
  if (now - mLastFrame >= period) {
    mLastFrame = now;
    TickTooltip();
    IRECT r;
    // Draw hands the region to DrawScreen, which queues it for the window.
    if (IsDirty(&r)) Draw(&r);
  }
  FlushScreen();
}

bool GraphicsX11::DrawScreen(IRECT* pR) {
  DriveLock lock(mDrive);
  if (!pR || !mWindow) return false;
  mScreenPending = mScreenPending.Union(*pR);
  return true;
}

void GraphicsX11::FlushScreen() {
  if (!mWindow || mScreenPending.Empty() || mWindow->IsGone()) return;
  // The draw bitmap is at the window's scale: the region goes out pixel for pixel.
  const int s = DrawScale();
  const IRECT r(mScreenPending.L * s, mScreenPending.T * s, mScreenPending.R * s,
                mScreenPending.B * s);
  if (mWindow->Put(GetDrawBitmap(), r, mScale / s)) mScreenPending = IRECT();
}

void GraphicsX11::HostPath(SkyString* pPath) { GetHostPath(pPath); }

void GraphicsX11::PluginPath(SkyString* pPath) { GetModuleFolder(pPath); }

void GraphicsX11::DesktopPath(SkyString* pPath) { GetDesktopPath(pPath); }

void GraphicsX11::AppSupportPath(SkyString* pPath, bool isSystem) {
  GetAppSupportPath(pPath, isSystem);
}

void GraphicsX11::SandboxSafeAppSupportPath(SkyString* pPath) {
  GetSandboxSafeAppSupportPath(pPath);
}

// The desktop's file chooser runs as a program of its own; meanwhile the
// editor keeps painting but takes no input, as under any modal dialog.
void GraphicsX11::PromptForFile(SkyString* pFilename, EFileAction action, SkyString* pDir,
                                const char* extensions) {
  DriveLock lock(mDrive);
  const bool open = mWindow && !mWindow->IsGone() && !mModal;
  mModal = true;
  X11PromptForFile(
      open, open ? mWindow->GetWindow() : 0, pFilename, action, pDir, extensions,
      [this] { ModalIdle(); }, [this] { return ShouldClose(); });
  mModal = false;
}

bool GraphicsX11::OpenURL(const char* url, const char*, const char*, const char*) {
  return DesktopOpen(url);
}

// The selection is converted into a property of the editor's window, so the
// clipboard can be read only while the window is open.
bool GraphicsX11::GetTextFromClipboard(SkyString* pStr) {
  if (!pStr) return false;
  DriveLock lock(mDrive);
  pStr->Set("");
  if (!mWindow || mWindow->IsGone()) return false;
  X11ErrorTrap trap(mWindow->GetDisplay());
  std::string text;
  const bool ok =
      X11ReadClipboardText(mWindow->GetDisplay(), mWindow->GetWindow(), &text) && !trap.Failed();
  if (trap.Failed()) mWindow->NoteError(trap.BadResource());
  if (ok) pStr->Set(text.c_str());
  return ok;
}

PX_IBitmap* GraphicsX11::OSLoadBitmap(int, const char* name) { return LoadEmbeddedBitmap(name); }
