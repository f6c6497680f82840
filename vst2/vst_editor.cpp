// The editor in the VST 2 binding: attachment, the editor opcodes, the
// screen scale a host announces and the off-screen picture.
//
// The editor opcodes run on the host's GUI thread without the instance's
// lock: opening, idling and closing never wait for the audio or worker
// threads, which only store values and texts into the controls.
#include <cstdint>

#include "gui/graphics.h"
#include "gui/x11/platform_view.h"
#include "raster/pixels/bitmap.h"
#include "vst2/editor_picture.h"
#include "vst2/plug_vst.h"

namespace {

constexpr VstInt32 kScaleIndex = 0x50726553;   // 'PreS'
constexpr VstIntPtr kScaleValue = 0x41654373;  // 'AeCs'

IPlatformView* ViewOf(Graphics* pGUI) { return dynamic_cast<IPlatformView*>(pGUI); }

}  // namespace

bool PlugVST::IsEditorOpcode(VstInt32 opCode) {
  return opCode == effEditGetRect || opCode == effEditOpen || opCode == effEditClose ||
         opCode == effEditIdle;
}

void PlugVST::AttachGraphics(IEditorLink* pGraphics) {
  if (!pGraphics) return;
  PlugBase::AttachGraphics(pGraphics);
  mEffect.flags |= effFlagsHasEditor;
  UpdateEditorRect();
}

void PlugVST::ResizeGraphics(int, int) {
  if (!GetGUI()) return;
  UpdateEditorRect();
  OnWindowResize();
}

void PlugVST::UpdateEditorRect() {
  Graphics* pGUI = GetGUI();
  if (!pGUI) return;
  IPlatformView* pView = ViewOf(pGUI);
  const int scale = pView ? pView->Scale() : 1;
  mEditorRect.top = 0;
  mEditorRect.left = 0;
  mEditorRect.bottom = (int16_t)(pGUI->Height() * scale);
  mEditorRect.right = (int16_t)(pGUI->Width() * scale);
}

VstIntPtr PlugVST::DispatchEditor(VstInt32 opCode, void* ptr) {
  Graphics* pGUI = GetGUI();
  if (!pGUI) return 0;
  switch (opCode) {
    case effEditGetRect:
      if (!ptr) return 0;
      *(ERect**)ptr = &mEditorRect;
      return 1;
    case effEditOpen: {
      // On X11 the vendor-view and the plain form both receive the parent window.
      void* pWindow = (mHostExtensions & kHostExtVendorView) ? pGUI->OpenWindow(ptr)
                                                             : pGUI->OpenWindow(ptr, nullptr, 0, 0);
      if (!pWindow) return 0;
      OnGUIOpen();
      return 1;
    }
    case effEditClose: CloseEditor(); return 1;
    case effEditIdle:
      if (IPlatformView* pView = ViewOf(pGUI)) pView->Idle();
      return 0;
    default: return 0;
  }
}

void PlugVST::CloseEditor() {
  Graphics* pGUI = GetGUI();
  // A close without an open window (some hosts send it twice) does nothing.
  if (!pGUI || !pGUI->WindowIsOpen()) return;
  OnGUIClose();
  pGUI->CloseWindow();
}

VstIntPtr PlugVST::SetEditorScale(VstIntPtr value, float factor) {
  if (value != kScaleValue) return 0;
  IPlatformView* pView = ViewOf(GetGUI());
  if (!pView) return 0;
  pView->SetScale(factor);
  UpdateEditorRect();
  return 1;
}

VstIntPtr PlugVST::RenderEditorPicture(SkyEditorPicture* pPicture) {
  Graphics* pGUI = GetGUI();
  if (!pGUI || !pPicture || !pGUI->GetDrawBitmap()) return 0;
  // The picture as drawn: at the editor's draw scale, so 2x is twice the size.
  const int w = pGUI->GetDrawBitmap()->getWidth(), h = pGUI->GetDrawBitmap()->getHeight();
  pPicture->width = w;
  pPicture->height = h;
  if (!pPicture->rgba || pPicture->capacity < (VstIntPtr)w * h * 4) return (VstIntPtr)w * h;
  pGUI->SetAllControlsDirty();
  IRECT r;
  if (pGUI->IsDirty(&r)) pGUI->Draw(&r);
  PX_IBitmap* pBitmap = pGUI->GetDrawBitmap();
  for (int y = 0; y < h; ++y) {
    const PX_pixel* pRow = pBitmap->getBits() + (long)y * pBitmap->getRowSpan();
    unsigned char* pOut = pPicture->rgba + (long)y * w * 4;
    for (int x = 0; x < w; ++x) {
      pOut[4 * x] = (unsigned char)PX_GETR(pRow[x]);
      pOut[4 * x + 1] = (unsigned char)PX_GETG(pRow[x]);
      pOut[4 * x + 2] = (unsigned char)PX_GETB(pRow[x]);
      pOut[4 * x + 3] = (unsigned char)PX_GETA(pRow[x]);
    }
  }
  return (VstIntPtr)w * h;
}

VstIntPtr PlugVST::EditorVendorRequest(int idx, VstIntPtr value, void* ptr, float opt) {
  if (idx == kScaleIndex) return SetEditorScale(value, opt);
  if (idx == kSkyVendorEditorPicture) return RenderEditorPicture((SkyEditorPicture*)ptr);
  return -1;
}
