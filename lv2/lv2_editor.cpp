// The editor in the LV2 binding: opened inside the host's parent window,
// idled and closed on the host's GUI thread, as the VST 2 binding does, and
// without the instance's lock, so the GUI never waits for the other threads.

#include "gui/graphics.h"
#include "gui/x11/platform_view.h"
#include "lv2/plug_lv2.h"

namespace {

IPlatformView* ViewOf(Graphics* pGUI) { return dynamic_cast<IPlatformView*>(pGUI); }

}  // namespace

void* PlugLV2::OpenEditor(void* pParent, double scale) {
  Graphics* pGUI = GetGUI();
  if (!pGUI || !pParent || pGUI->WindowIsOpen()) return nullptr;
  // Without a scale from the host the editor keeps the one it has.
  IPlatformView* pView = ViewOf(pGUI);
  if (pView && scale > 0.0) pView->SetScale(scale);
  void* pWindow = pGUI->OpenWindow(pParent);
  if (!pWindow) return nullptr;
  {
    std::lock_guard<std::mutex> lock(mEventMutex);
    mEditorOpen = true;
  }
  OnGUIOpen();
  return pWindow;
}

void PlugLV2::IdleEditor() {
  if (IPlatformView* pView = ViewOf(GetGUI())) pView->Idle();
}

void PlugLV2::CloseEditor() {
  Graphics* pGUI = GetGUI();
  if (!pGUI || !pGUI->WindowIsOpen()) return;
  OnGUIClose();
  pGUI->CloseWindow();
  std::lock_guard<std::mutex> lock(mEventMutex);
  mEditorOpen = false;
  mEvents.clear();
}

void PlugLV2::EditorSize(int* pWidth, int* pHeight) {
  Graphics* pGUI = GetGUI();
  IPlatformView* pView = ViewOf(pGUI);
  const int scale = pView ? pView->Scale() : 1;
  *pWidth = pGUI ? pGUI->Width() * scale : 0;
  *pHeight = pGUI ? pGUI->Height() * scale : 0;
}
