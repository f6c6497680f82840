// Skylane's editor: a 500 x 332 panel with the connection and audio state,
// the effects-loop switch, four device buttons with their names, the channel
// selector with the channel names, the latency selector, the version and two
// diagnostic lines. Status, device and channel names too long for their
// place end with "…". The button of the streamed device's row stays on while
// the link is up. The worker threads write the status lines; each line
// forwards its changes to its text control, which is safe to set from any
// thread while the editor paints.
#include "gui/controls/switches.h"
#include "gui/controls/text.h"
#include "gui/graphics.h"
#include "gui/make_graphics.h"
#include "plugin/skylane.h"

namespace {

constexpr int kEditorWidth = 500, kEditorHeight = 332;
constexpr int kBackgroundId = 102, kRadioId = 4, kLoopId = 103;
constexpr char kBackgroundImage[] = "resources/img/Skylaneplug.png";
constexpr char kRadioImage[] = "resources/img/IRadioButtonsControl_x2.png";
constexpr char kLoopImage[] = "resources/img/fxloop2.png";
constexpr char kVersionLine[] = "Version 1.50 (20160130)";

void ShowInControl(void* pControl, const char* text) {
  static_cast<ITextControl*>(pControl)->SetTextFromPlug(text);
}

ITextControl* AddText(Graphics* pGraphics, PlugBase* pPlug, IRECT r, IText* pStyle,
                      const char* text, bool ellipsis = false) {
  ITextControl* pControl = new ITextControl(pPlug, r, pStyle, text);
  pControl->SetEllipsis(ellipsis);
  pGraphics->AttachControl(pControl);
  return pControl;
}

// The line's text, now and after every change, shows in the control.
void ShowLine(StatusText* pLine, ITextControl* pControl) {
  pLine->Attach(&ShowInControl, pControl);
}

}  // namespace

void Skylane::BuildEditor() {
  Graphics* pGraphics = MakeGraphics(this, kEditorWidth, kEditorHeight, 0);
  IText bold(14, &COLOR_BLACK, "Arial", IText::kStyleBold, IText::kAlignNear);
  IText plain(14, &COLOR_BLACK, "Arial", IText::kStyleNormal, IText::kAlignNear);
  pGraphics->AttachBackground(kBackgroundId, kBackgroundImage);
  IBitmap radio = pGraphics->LoadIBitmap(kRadioId, kRadioImage, 2);
  IBitmap loop = pGraphics->LoadIBitmap(kLoopId, kLoopImage, 2);

  ShowLine(&mDebugText1, AddText(pGraphics, this, IRECT(16, 284, 500, 300), &plain, "----"));
  ShowLine(&mDebugText2, AddText(pGraphics, this, IRECT(16, 300, 500, 316), &plain, "----"));
  AddText(pGraphics, this, IRECT(16, 252, 300, 268), &bold, kVersionLine);
  ShowLine(&mStatusText,
           AddText(pGraphics, this, IRECT(16, 20, 300, 48), &bold, "Disconnected", true));
  pGraphics->AttachControl(new ISwitchControl(this, 16, 52, kParamEffectsLoop, &loop));
  ShowLine(&mAudioStateText, AddText(pGraphics, this, IRECT(240, 58, 400, 74), &plain, ""));
  for (int k = 0; k < 4; ++k) {
    mDeviceButtons[k] = new IContactControl(this, 16, 96 + 24 * k, kParamDeviceButton0 + k, &radio);
    pGraphics->AttachControl(mDeviceButtons[k]);
  }
  for (int k = 0; k < 4; ++k) {
    const IRECT r(48, 100 + 24 * k, 156, 120 + 24 * k);
    ShowLine(&mDeviceNameText[k], AddText(pGraphics, this, r, &bold, "--", true));
  }
  pGraphics->AttachControl(new IRadioButtonsControl(this, IRECT(240, 96, 264, 192), kParamChannel,
                                                    4, &radio, kVertical, false));
  for (int k = 0; k < 4; ++k) {
    const IRECT r(272, 100 + 24 * k, 380, 120 + 24 * k);
    ShowLine(&mChannelNameText[k], AddText(pGraphics, this, r, &bold, "--", true));
  }
  AddText(pGraphics, this, IRECT(16, 216, 100, 228), &bold, "Buffering");
  pGraphics->AttachControl(new IRadioButtonsControl(this, IRECT(100, 212, 292, 236), kParamLatency,
                                                    4, &radio, kHorizontal, false));
  AttachGraphics(pGraphics);
}
