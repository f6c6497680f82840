#include "tests/gui/gui_test_support.h"

namespace {

TEST(DrawCycleTest, BackgroundIsPaintedOnceAfterAttach) {
  EditorFixture f;
  EXPECT_TRUE(f.gui->Draw(nullptr));  // no controls: nothing is handed to the screen
  EXPECT_EQ(0, f.gui->NScreenUpdates());
  ProbeControl* bg = f.Probe(IRECT(0, 0, 64, 48));
  f.Attach();
  IRECT r;
  ASSERT_TRUE(f.gui->IsDirty(&r));
  EXPECT_EQ(IRECT(0, 0, 64, 48), r);
  EXPECT_TRUE(f.gui->Draw(&r));
  EXPECT_EQ(1, bg->paints);
  EXPECT_EQ(r, f.gui->LastScreenRECT());
  IRECT again;
  EXPECT_FALSE(f.gui->IsDirty(&again));
  EXPECT_TRUE(again.Empty());
}

TEST(DrawCycleTest, DirtyRegionIsTheBoundingBoxOfDirtyDrawingRectangles) {
  EditorFixture f;
  ProbeControl* a = f.Probe(IRECT(2, 3, 10, 10), 0);
  ProbeControl* b = f.Probe(IRECT(20, 30, 25, 40), 1);
  f.Probe(IRECT(40, 0, 50, 5));
  *b->GetTargetRECT() = IRECT(0, 0, 64, 48);  // the hit area does not count
  f.Attach();
  f.Tick();
  f.Tick();
  a->SetValueFromPlug(0.5);
  b->SetDirty(false);
  IRECT r;
  EXPECT_TRUE(f.gui->IsDirty(&r));
  EXPECT_EQ(IRECT(2, 3, 25, 40), r);
}

TEST(DrawCycleTest, PlugChangesPaintTwiceAndEqualValuesNotAtAll) {
  EditorFixture f;
  ProbeControl* p = f.Probe(IRECT(0, 0, 8, 8), 0);
  f.Attach();  // the first value only sets the default
  EXPECT_TRUE(f.Tick());
  EXPECT_FALSE(f.Tick());
  p->SetValueFromPlug(0.0);
  EXPECT_FALSE(f.Tick());
  p->SetValueFromPlug(0.75);
  EXPECT_TRUE(f.Tick());
  EXPECT_TRUE(f.Tick());
  EXPECT_FALSE(f.Tick());
  EXPECT_EQ(3, p->paints);
  EXPECT_DOUBLE_EQ(0.75, p->lastValue);
}

TEST(DrawCycleTest, StrictDrawingPaintsWhatMeetsTheRegionAndCleansEverything) {
  EditorFixture f;
  ProbeControl* bg = f.Probe(IRECT(0, 0, 64, 48));
  ProbeControl* inside = f.Probe(IRECT(10, 10, 20, 20));
  ProbeControl* outside = f.Probe(IRECT(40, 40, 50, 48));
  ProbeControl* hidden = f.Probe(IRECT(12, 12, 14, 14));
  f.Attach();
  hidden->Hide(true);
  IRECT region(8, 8, 22, 22);
  f.gui->Draw(&region);
  EXPECT_EQ(1, bg->paints);
  EXPECT_EQ(1, inside->paints);
  EXPECT_EQ(0, outside->paints);
  EXPECT_EQ(0, hidden->paints);
  EXPECT_TRUE(outside->IsDirty());  // not painted, so kept for a later cycle
  EXPECT_TRUE(hidden->IsDirty());   // Hide asked for one more cycle
  EXPECT_EQ(region, f.gui->GetDrawRECT());
  EXPECT_EQ(region, f.gui->LastScreenRECT());
}

TEST(DrawCycleTest, LooseDrawingRepaintsEachDirtyControlWithWhatLiesUnderIt) {
  EditorFixture f;
  ProbeControl* bg = f.Probe(IRECT(0, 0, 64, 48));
  ProbeControl* lower = f.Probe(IRECT(10, 10, 30, 30));
  ProbeControl* upper = f.Probe(IRECT(20, 20, 40, 40));
  ProbeControl* apart = f.Probe(IRECT(50, 0, 60, 10));
  ProbeControl* hidden = f.Probe(IRECT(0, 0, 5, 5));
  f.Attach();
  f.gui->SetStrictDrawing(false);
  hidden->Hide(true);
  f.gui->Draw(nullptr);  // the background is dirty: everything visible, hidden stays dirty
  EXPECT_EQ(1, bg->paints);
  EXPECT_EQ(1, apart->paints);
  EXPECT_EQ(0, hidden->paints);
  EXPECT_TRUE(hidden->IsDirty());
  hidden->Hide(false);
  while (f.Tick()) {
  }
  const int bgPaints = bg->paints, lowerPaints = lower->paints, apartPaints = apart->paints;
  upper->SetDirty(false);
  f.Tick();
  EXPECT_EQ(bgPaints + 1, bg->paints);
  EXPECT_EQ(lowerPaints + 1, lower->paints);
  EXPECT_EQ(apartPaints, apart->paints);
  EXPECT_EQ(IRECT(20, 20, 40, 40), f.gui->GetDrawRECT());
}

TEST(DrawCycleTest, ControlDirtiedAfterTheRegionWasFoundIsNotLost) {
  EditorFixture f;
  ProbeControl* a = f.Probe(IRECT(0, 0, 8, 8), 0);
  ProbeControl* b = f.Probe(IRECT(20, 20, 28, 28), 1);
  f.Attach();
  f.Tick();
  a->SetValueFromPlug(0.25);
  IRECT r;
  ASSERT_TRUE(f.gui->IsDirty(&r));
  b->SetValueFromPlug(0.5);  // after the region was taken
  f.gui->Draw(&r);
  EXPECT_TRUE(b->IsDirty());
  while (f.Tick()) {
  }
  EXPECT_DOUBLE_EQ(0.5, b->lastValue);
}

TEST(DrawCycleTest, ChangeStoredWhileAControlPaintsIsPaintedNextCycle) {
  EditorFixture f;
  ProbeControl* p = f.Probe(IRECT(0, 0, 8, 8), 0);
  f.Attach();
  // The first paint meets a value stored meanwhile (as another thread would).
  p->paint = [p](Graphics*) {
    if (p->paints == 1) p->SetValueFromPlug(0.5);
  };
  EXPECT_TRUE(f.Tick());
  EXPECT_DOUBLE_EQ(0.0, p->lastValue);
  EXPECT_TRUE(f.Tick());
  EXPECT_DOUBLE_EQ(0.5, p->lastValue);
}

TEST(DrawCycleTest, PaintingStaysInsideTheRegionSoTouchingNeighboursAreNotPaintedTwice) {
  EditorFixture f;
  const IColor upperColor(255, 200, 0, 0), lowerColor(255, 0, 0, 200);
  ProbeControl* upper = f.Probe(IRECT(0, 0, 64, 10));  // its bottom edge touches lower's top
  ProbeControl* lower = f.Probe(IRECT(0, 10, 64, 20));
  int upperShade = 0;
  upper->paint = [&](Graphics* g) {
    const IColor c(255, 200 - 50 * upperShade, 0, 0);
    g->FillIRect(&c, upper->GetRECT());
  };
  lower->paint = [&](Graphics* g) { g->FillIRect(&lowerColor, lower->GetRECT()); };
  f.Attach();
  f.Tick();
  upperShade = 1;
  lower->SetDirty(false);
  f.Tick();
  EXPECT_EQ(2, upper->paints);                   // it met the region...
  EXPECT_EQ(upperColor, f.gui->GetPoint(5, 5));  // ...but painted nothing outside it
  EXPECT_EQ(upperColor, f.gui->GetPoint(5, 9));
  EXPECT_EQ(lowerColor, f.gui->GetPoint(5, 10));
}

}  // namespace
