#include "tests/gui/editor_fixture.h"

#include "plug/iparam.h"

NoticePlug::NoticePlug()
    : PlugBase(4, "2-2", 1, "Notice", "Notice Product", "Notice Maker", 0x00010000, 0x4E6F7450,
               0x4E6F744D, 0, false, false, false, kAPIVST2) {
  GetParam(0)->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
  GetParam(1)->InitEnum("Channel", 0, 4);
  const char* names[] = {"Left", "Right", "Mid", "Side"};
  for (int i = 0; i < 4; ++i) GetParam(1)->SetDisplayText(i, names[i]);
  GetParam(2)->InitInt("Count", 0, 0, 100);
  GetParam(3)->InitBool("Loop", false);
}

EditorTest::EditorTest()
    : mPlug(std::make_unique<NoticePlug>()), mGUI(new GraphicsHeadless(mPlug.get(), 200, 120)) {}

void EditorTest::Open() {
  mPlug->AttachGraphics(mGUI);
  mPlug->notices.clear();
}

IBitmap EditorTest::Strip(int w, int frameH, const std::vector<IColor>& frames) {
  const int n = static_cast<int>(frames.size());
  mBitmaps.push_back(std::make_unique<PX_MemBitmap>(w, frameH * n));
  PX_IBitmap* pBitmap = mBitmaps.back().get();
  int row = 0;
  for (const IColor& c : frames) {
    for (int y = 0; y < frameH; ++y, ++row) {
      PX_pixel* line = pBitmap->getBits() + row * pBitmap->getRowSpan();
      for (int x = 0; x < w; ++x) line[x] = PxColor(&c);
    }
  }
  return IBitmap(pBitmap, w, frameH * n, n);
}

IColor EditorTest::DrawnAt(int x, int y) {
  mGUI->SetAllControlsDirty();
  IRECT all(0, 0, mGUI->Width(), mGUI->Height());
  mGUI->Draw(&all);
  return mGUI->GetPoint(x, y);
}

std::vector<std::string> EditorTest::TakeNotices() {
  std::vector<std::string> taken;
  taken.swap(mPlug->notices);
  return taken;
}

void EditorTest::Down(int x, int y, bool right) {
  IMouseMod mod(!right, right);
  mGUI->OnMouseDown(x, y, &mod);
}

void EditorTest::Up(int x, int y) {
  IMouseMod mod(true);
  mGUI->OnMouseUp(x, y, &mod);
}

void EditorTest::Drag(int x, int y, bool shift) {
  IMouseMod mod(true, false, shift);
  mGUI->OnMouseDrag(x, y, &mod);
}
