#include "gui/controls/panel.h"
#include "gui/controls/text.h"
#include "tests/gui/gui_test_support.h"

namespace {

// Counts destructions, to see who deletes controls.
class CountedControl : public ProbeControl {
 public:
  CountedControl(PlugBase* pPlug, int* pDeleted)
      : ProbeControl(pPlug, IRECT(0, 0, 4, 4)), mDeleted(pDeleted) {}
  ~CountedControl() override { ++*mDeleted; }

 private:
  int* mDeleted;
};

TEST(LinkageTest, AttachingSetsEveryBoundControlFromItsParameter) {
  EditorFixture f;
  f.plug.GetParam(1)->InitInt("n", 3, 0, 4);
  ProbeControl* a = f.Probe(IRECT(0, 0, 4, 4), 1);
  ProbeControl* b = f.Probe(IRECT(4, 0, 8, 4), 1);
  ProbeControl* aux = f.Probe(IRECT(8, 0, 12, 4), 0);
  aux->AddAuxParam(1);
  EXPECT_EQ(nullptr, f.gui->GetDrawBitmap());
  f.Attach();
  EXPECT_EQ(f.gui, f.plug.GetGUI());
  EXPECT_DOUBLE_EQ(0.75, a->GetValue());
  EXPECT_DOUBLE_EQ(0.75, b->GetValue());
  EXPECT_DOUBLE_EQ(0.75, a->GetDefaultValue());
  EXPECT_DOUBLE_EQ(0.75, aux->GetAuxParam(0)->mValue.load());
  ASSERT_NE(nullptr, f.gui->GetDrawBitmap());
  EXPECT_EQ(64, f.gui->GetDrawBitmap()->getWidth());
  EXPECT_EQ(48, f.gui->GetDrawBitmap()->getHeight());
  // Plain values go through the parameter first.
  f.gui->SetParameterFromPlug(1, 2.0, false);
  EXPECT_DOUBLE_EQ(0.5, a->GetValue());
  EXPECT_DOUBLE_EQ(0.5, aux->GetAuxParam(0)->mValue.load());
  f.plug.GetParam(1)->Set(4.0);
  f.plug.RedrawParamControls();
  EXPECT_DOUBLE_EQ(1.0, b->GetValue());
}

TEST(LinkageTest, ControlIndicesOutsideTheListAreIgnored) {
  EditorFixture f;
  ProbeControl* p = f.Probe(IRECT(0, 0, 4, 4));
  f.Attach();
  f.gui->SetControlFromPlug(-1, 0.3);
  f.gui->SetControlFromPlug(1, 0.3);
  f.gui->SetControlFromPlug(0x7fffffff, 0.3);
  EXPECT_DOUBLE_EQ(0.0, p->GetValue());
  EXPECT_EQ(nullptr, f.gui->GetControl(1));
  EXPECT_EQ(nullptr, f.gui->GetControl(-1));
  f.gui->SetControlFromPlug(0, 0.3);
  EXPECT_DOUBLE_EQ(0.3, p->GetValue());
  f.gui->SetParameterFromPlug(99, 2.0, false);  // no such parameter
  EXPECT_EQ(-1, f.gui->AttachControl(nullptr));
  EXPECT_EQ(1, f.gui->NControls());
}

TEST(LinkageTest, UserChangesAreClampedPushedAndShown) {
  EditorFixture f;
  f.plug.GetParam(2)->InitDouble("Gain", 0.0, 0.0, 10.0, 0.1, "dB");
  ProbeControl* p = f.Probe(IRECT(0, 0, 4, 4), 2);
  IText style;
  ITextControl* value = new ITextControl(&f.plug, IRECT(0, 10, 40, 20), &style);
  ITextControl* name = new ITextControl(&f.plug, IRECT(0, 20, 40, 30), &style);
  f.gui->AttachControl(value);
  f.gui->AttachControl(name);
  p->SetValDisplayControl(value);
  p->SetNameDisplayControl(name);
  f.Attach();
  f.gui->ClampControl(2, 2.0, 8.0, false);
  f.gui->SetParameterFromGUI(2, 0.9);
  EXPECT_DOUBLE_EQ(0.8, p->GetValue());
  ASSERT_FALSE(f.plug.informed.empty());
  EXPECT_EQ(2, f.plug.informed.back().first);
  EXPECT_DOUBLE_EQ(0.8, f.plug.informed.back().second);
  EXPECT_DOUBLE_EQ(8.0, f.plug.GetParam(2)->Value());
  SkyString text;
  value->GetTextCopy(&text);
  EXPECT_STREQ("8.0 dB", text.Get());
  name->GetTextCopy(&text);
  EXPECT_STREQ("Gain", text.Get());
}

TEST(LinkageTest, HideGrayAndTooltipsReachEveryControlOfTheParameter) {
  EditorFixture f;
  f.plug.GetParam(0)->InitBool("Loop", false);
  ProbeControl* a = f.Probe(IRECT(0, 0, 4, 4), 0);
  ProbeControl* b = f.Probe(IRECT(4, 0, 8, 4), 0);
  ProbeControl* other = f.Probe(IRECT(8, 0, 12, 4), 1);
  f.Attach();
  f.gui->HideControl(0, true);
  f.gui->GrayOutControl(0, true);
  EXPECT_TRUE(a->IsHidden() && b->IsHidden() && a->IsGrayed() && b->IsGrayed());
  EXPECT_FALSE(other->IsHidden() || other->IsGrayed());
  f.gui->AssignParamNameToolTips();
  EXPECT_STREQ("Loop", a->GetTooltip());
}

TEST(LinkageTest, AutomationLookupSkipsTheBackgroundAndRemembersOnce) {
  EditorFixture f;
  f.Probe(IRECT(0, 0, 64, 48), 3);  // the background, even with a parameter
  f.Probe(IRECT(10, 10, 20, 20), 2);
  f.Attach();
  EXPECT_EQ(-1, f.gui->GetParamIdxForPTAutomation(1, 1));
  EXPECT_EQ(-1, f.gui->GetLastClickedParamForPTAutomation());
  EXPECT_EQ(-1, f.gui->GetParamIdxForPTAutomation(100, 100));
  EXPECT_EQ(2, f.gui->GetParamIdxForPTAutomation(15, 15));
  EXPECT_EQ(2, f.gui->GetLastClickedParamForPTAutomation());
  EXPECT_EQ(-1, f.gui->GetLastClickedParamForPTAutomation());
}

TEST(LinkageTest, EditorLifetimeFrameRateAndResize) {
  EXPECT_EQ(25, GraphicsHeadless(nullptr, 10, 10, 0).FPS());
  EXPECT_EQ(25, GraphicsHeadless(nullptr, 10, 10, -5).FPS());
  EXPECT_EQ(30, GraphicsHeadless(nullptr, 10, 10, 30).FPS());
  int deleted = 0;
  {
    TestPlug plug;
    GraphicsHeadless* first = new GraphicsHeadless(&plug, 10, 10);
    first->AttachControl(new CountedControl(&plug, &deleted));
    plug.AttachGraphics(first);
    GraphicsHeadless* second = new GraphicsHeadless(&plug, 20, 20);
    second->AttachControl(new CountedControl(&plug, &deleted));
    second->AttachKeyCatcher(new CountedControl(&plug, &deleted));
    plug.AttachGraphics(second);  // replaces and deletes the first
    EXPECT_EQ(1, deleted);
    EXPECT_EQ(second, plug.GetGUI());
    second->Resize(30, 12);
    EXPECT_EQ(2, deleted);
    EXPECT_EQ(0, second->NControls());
    EXPECT_EQ(30, second->GetDrawBitmap()->getWidth());
    EXPECT_EQ(12, second->GetDrawBitmap()->getHeight());
  }
  EXPECT_EQ(3, deleted);  // the key catcher goes with the editor, the editor with the plug-in
}

TEST(LinkageTest, BackgroundsGoInFrontOfEverything) {
  EditorFixture f;
  ProbeControl* p = f.Probe(IRECT(0, 0, 4, 4));
  IControl* panel = f.gui->AttachPanelBackground(&COLOR_BLUE);
  EXPECT_EQ(panel, f.gui->GetControl(0));
  EXPECT_EQ(p, f.gui->GetControl(1));
  EXPECT_EQ(IRECT(0, 0, 64, 48), *panel->GetRECT());
  f.Attach();
  f.Tick();
  EXPECT_EQ(COLOR_BLUE, f.gui->GetPoint(40, 40));
}

}  // namespace
