// A module with an editor that outlives the module's resource caches: its
// static holder is made when the module loads, before the caches, so it is
// destroyed after them when the module unloads, and paints once more then.
#include "gui/controls/bitmaps.h"
#include "gui/controls/text.h"
#include "gui/headless/graphics_headless.h"
#include "raster/raster.h"
#include "tests/gui/unload_report.h"
#include "tests/plug/test_plug.h"

namespace {

int CountInk(PX_IBitmap* pBitmap) {
  int n = 0;
  for (int y = 0; y < pBitmap->getHeight(); ++y) {
    for (int x = 0; x < pBitmap->getWidth(); ++x) n += PX_GetPixel(pBitmap, x, y) != 0;
  }
  return n;
}

class Holder {
 public:
  ~Holder() {
    if (!mReport || !mGui) return;
    mReport->lateLoadIsNull = !mGui->LoadIBitmap(7, "knob_base.png").mData;
    mReport->lateTextDrawn = mGui->DrawIText(&mStyle, "late", mText->GetRECT());
    PX_Clear(mGui->GetDrawBitmap(), 0);
    mGui->SetAllControlsDirty();
    IRECT all(0, 0, mGui->Width(), mGui->Height());
    mGui->Draw(&all);
    mReport->lateInk = CountInk(mGui->GetDrawBitmap());
    mReport->destroyed = true;
    delete mPlug;
  }

  int Build(UnloadReport* pReport) {
    mReport = pReport;
    mPlug = new TestPlug(1);
    mGui = new GraphicsHeadless(mPlug, 60, 40);
    IBitmap knob = mGui->LoadIBitmap(7, "knob_base.png");
    mGui->AttachControl(new IBitmapControl(mPlug, 0, 0, &knob));
    mStyle = IText(14, &COLOR_WHITE, "Liberation Sans");
    mText = new ITextControl(mPlug, IRECT(0, 20, 60, 40), &mStyle, "text");
    mGui->AttachControl(mText);
    mPlug->AttachGraphics(mGui);
    IRECT all(0, 0, 60, 40);
    mGui->Draw(&all);
    return CountInk(mGui->GetDrawBitmap());
  }

 private:
  UnloadReport* mReport = nullptr;
  TestPlug* mPlug = nullptr;
  GraphicsHeadless* mGui = nullptr;
  ITextControl* mText = nullptr;
  IText mStyle;
};

Holder s_holder;

}  // namespace

extern "C" __attribute__((visibility("default"))) int unload_module_build(UnloadReport* pReport) {
  return s_holder.Build(pReport);
}
