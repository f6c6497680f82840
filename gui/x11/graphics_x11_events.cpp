// GraphicsX11: window events, the popup menu and the text field.
#include <X11/Xlib.h>

#include <string>

#include "gui/icontrol.h"
#include "gui/x11/graphics_x11.h"
#include "gui/x11/x11_error_trap.h"
#include "gui/x11/x11_menu.h"
#include "gui/x11/x11_message_box.h"
#include "gui/x11/x11_text_field.h"
#include "gui/x11/x11_tooltip.h"
#include "gui/x11/x11_window.h"

// Keeps the editor's window alive while a menu runs its own loop.
class GraphicsX11::MenuOwner : public X11MenuOwner {
 public:
  explicit MenuOwner(GraphicsX11* pGraphics) : mGraphics(pGraphics) {}
  bool MenuShouldClose() override { return mGraphics->ShouldClose(); }
  void MenuPassEvent(XEvent* pEvent) override {
    if (mGraphics->mWindow->Consume(pEvent)) return;
    if (pEvent->type == Expose) {
      mGraphics->HandleExpose(pEvent);
      mGraphics->FlushScreen();
    }
  }

 private:
  GraphicsX11* mGraphics;
};

void GraphicsX11::HandleEvent(XEvent* pEvent) {
  if (mTextField && pEvent->xany.window == mTextField->GetWindow()) {
    if (pEvent->type == Expose) mTextField->Paint();
    if (pEvent->type == ButtonPress && pEvent->xbutton.button == Button1) {
      mTextField->OnClick(pEvent->xbutton.x);
    }
    if (pEvent->type == KeyPress) {
      const X11TextField::EResult result = mTextField->OnKey(&pEvent->xkey);
      if (result != X11TextField::kEditing) EndTextEntry(result == X11TextField::kCommit);
    }
    return;
  }
  if (mTooltip && pEvent->xany.window == mTooltip->GetWindow()) {
    if (pEvent->type == Expose) mTooltip->Paint();
    return;
  }
  if (pEvent->xany.window != mWindow->GetWindow()) return;
  if (pEvent->type == Expose) {
    HandleExpose(pEvent);
    return;
  }
  RouteInput(pEvent);
}

void GraphicsX11::ModalIdle() {
  if (!mWindow || mWindow->IsGone()) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  MenuOwner owner(this);
  XEvent event;
  while (mWindow && mWindow->NextEvent(&event)) owner.MenuPassEvent(&event);
  Paint();
  if (trap.Failed()) mWindow->NoteError(trap.BadResource());
}

void GraphicsX11::HandleExpose(const XEvent* pEvent) {
  const XExposeEvent& e = pEvent->xexpose;
  if (e.window != mWindow->GetWindow()) return;
  const int s = mScale;
  mScreenPending = mScreenPending.Union(
      IRECT(e.x / s, e.y / s, (e.x + e.width + s - 1) / s, (e.y + e.height + s - 1) / s));
}

// Modal over the editor: it keeps painting but takes no input meanwhile.
// Without an open window nothing is shown and the answer is 0.
int GraphicsX11::ShowMessageBox(const char* str, const char* caption, int type) {
  DriveLock lock(mDrive);
  if (!mWindow || mWindow->IsGone() || mModal) return 0;
  ReleaseMouseCapture();
  X11ErrorTrap trap(mWindow->GetDisplay());
  MenuOwner owner(this);
  mModal = true;
  const int answer =
      X11ShowMessageBox(mWindow->GetDisplay(), mWindow->GetWindow(), str, caption, type, &owner);
  mModal = false;
  if (mWindow && trap.Failed()) mWindow->NoteError(trap.BadResource());
  return answer;
}

IPopupMenu* GraphicsX11::CreateIPopupMenu(IPopupMenu* pMenu, IRECT* pAreaRect) {
  DriveLock lock(mDrive);
  ReleaseMouseCapture();
  if (!pMenu || !pAreaRect || !mWindow || mWindow->IsGone()) return nullptr;
  X11ErrorTrap trap(mWindow->GetDisplay());
  MenuOwner owner(this);
  // Just below the area's bottom-left corner.
  IPopupMenu* pChosen =
      X11RunPopupMenu(this, mWindow->GetDisplay(), mWindow->GetWindow(), pAreaRect->L * mScale,
                      (pAreaRect->B + 4) * mScale, mScale, pMenu, &owner);
  if (trap.Failed()) mWindow->NoteError(trap.BadResource());
  return pChosen;
}

void GraphicsX11::CreateTextEntry(IControl* pControl, IText* pText, IRECT* pTextRect,
                                  const char* str, IParam* pParam) {
  DriveLock lock(mDrive);
  if (!pControl || !pText || !pTextRect || mTextField || !mWindow || mWindow->IsGone()) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  mTextField = X11TextField::Open(this, mWindow->GetDisplay(), mWindow->GetWindow(), pControl,
                                  pText, *pTextRect, str, pParam, mScale);
}

void GraphicsX11::ForceEndUserEdit() {
  DriveLock lock(mDrive);
  EndTextEntry(false);
}

void GraphicsX11::EndTextEntry(bool commit) {
  X11TextField* pField = mTextField;
  mTextField = nullptr;
  if (!pField) return;
  IControl* pControl = pField->Control();
  IParam* pParam = pField->Param();
  const std::string text = pField->Text();
  {
    X11ErrorTrap trap(mWindow->GetDisplay());
    delete pField;
  }
  if (!commit) return;
  if (pParam) {
    SetFromStringAfterPrompt(pControl, pParam, text.c_str());
  } else {
    pControl->TextFromTextEntry(text.c_str());
  }
}

void GraphicsX11::TrackTooltip(int x, int y, int rootX, int rootY) {
  if (!TooltipsEnabled()) return;
  const int idx = GetMouseControlIdx(x, y, true);
  if (idx == mTipControl) return;
  HideTooltip();
  mTipControl = idx;
  IControl* pControl = GetControl(idx);
  const char* tip = pControl && !pControl->IsHidden() ? pControl->GetTooltip() : nullptr;
  mTipCountdown = tip && *tip ? (3 * FPS() + 1) / 2 : 0;
  // Below and right of the pointer, clear of it.
  mTipX = rootX + 8 * mScale;
  mTipY = rootY + 16 * mScale;
}

void GraphicsX11::TickTooltip() {
  if (mTipCountdown > 0 && --mTipCountdown == 0) {
    IControl* pControl = GetControl(mTipControl);
    if (!pControl) return;
    mTooltip =
        X11Tooltip::Show(this, mWindow->GetDisplay(), pControl->GetTooltip(), mTipX, mTipY, mScale);
    mTipFramesLeft = 10 * FPS();
  } else if (mTooltip && --mTipFramesLeft <= 0) {
    HideTooltip();
  }
}

void GraphicsX11::HideTooltip() {
  if (!mTooltip) return;
  X11ErrorTrap trap(mWindow->GetDisplay());
  delete mTooltip;
  mTooltip = nullptr;
}

void GraphicsX11::UpdateTooltips() {
  DriveLock lock(mDrive);
  HideTooltip();
  mTipControl = -1;
  mTipCountdown = 0;
}
