#pragma once
// Helpers for the editor tests: a plug-in with an attached headless editor,
// a control that runs a test's drawing code, and pixel comparisons.

#include <gtest/gtest.h>

#include <functional>

#include "gui/graphics.h"
#include "gui/headless/graphics_headless.h"
#include "gui/icontrol.h"
#include "raster/pixels/bitmap.h"
#include "tests/plug/test_plug.h"

// A control that counts its paints and draws what the test asks.
class ProbeControl : public IControl {
 public:
  ProbeControl(PlugBase* pPlug, IRECT r, int paramIdx = -1) : IControl(pPlug, r, paramIdx) {}
  bool Draw(Graphics* pGraphics) override {
    ++paints;
    lastValue = GetValue();
    if (paint) paint(pGraphics);
    return true;
  }
  using IControl::mDisablePrompt;

  int paints = 0;
  double lastValue = -1.0;
  std::function<void(Graphics*)> paint;
};

// A plug-in owning a headless editor of w x h; controls are attached by the
// test, then Attach() hands the editor over as a plug-in does.
struct EditorFixture {
  explicit EditorFixture(int w = 64, int h = 48, int nParams = 4)
      : plug(nParams), gui(new GraphicsHeadless(&plug, w, h)) {}
  ~EditorFixture() {
    if (plug.GetGUI() != gui) delete gui;
  }
  EditorFixture(const EditorFixture&) = delete;
  EditorFixture& operator=(const EditorFixture&) = delete;
  void Attach() { plug.AttachGraphics(gui); }
  // Paints everything dirty the way the platform timer does.
  bool Tick() {
    IRECT r;
    if (!gui->IsDirty(&r)) return false;
    gui->Draw(&r);
    return true;
  }
  ProbeControl* Probe(IRECT r, int paramIdx = -1) {
    ProbeControl* p = new ProbeControl(&plug, r, paramIdx);
    gui->AttachControl(p);
    return p;
  }

  TestPlug plug;
  GraphicsHeadless* gui;  // owned by the plug-in once attached
};

// Number of pixels that differ between two bitmaps of equal size (-1: sizes differ).
inline int CountDifferences(PX_IBitmap* a, PX_IBitmap* b) {
  if (a->getWidth() != b->getWidth() || a->getHeight() != b->getHeight()) return -1;
  int n = 0;
  for (int y = 0; y < a->getHeight(); ++y) {
    for (int x = 0; x < a->getWidth(); ++x) {
      if (a->getBits()[y * a->getRowSpan() + x] != b->getBits()[y * b->getRowSpan() + x]) ++n;
    }
  }
  return n;
}
