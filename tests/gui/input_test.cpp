// Mouse, wheel and key routing through the editor, and what the host is told.
#include "gui/controls/knobs.h"
#include "gui/controls/switches.h"
#include "gui/controls/text.h"
#include "plug/iparam.h"
#include "tests/gui/editor_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Logs every event it gets as "name event x,y ...".
class ProbeControl : public IControl {
 public:
  ProbeControl(PlugBase* pPlug, IRECT r, int paramIdx, std::vector<std::string>* pLog,
               const char* name)
      : IControl(pPlug, r, paramIdx), mLog(pLog), mName(name) {}

  void OnMouseDown(int x, int y, IMouseMod*) override { Log("down", x, y); }
  void OnMouseUp(int x, int y, IMouseMod*) override { Log("up", x, y); }
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override {
    Log("drag", x, y, " " + std::to_string(dX) + "," + std::to_string(dY));
  }
  void OnMouseWheel(int x, int y, IMouseMod*, int d) override {
    Log("wheel", x, y, " " + std::to_string(d));
  }
  bool OnKeyDown(int x, int y, int key) override {
    Log("key", x, y, " " + std::to_string(key));
    return true;
  }
  void OnMouseOver(int x, int y, IMouseMod*) override { Log("over", x, y); }
  void OnMouseOut() override { mLog->push_back(mName + " out"); }
  bool Draw(Graphics*) override { return true; }

 private:
  void Log(const char* what, int x, int y, const std::string& more = "") {
    mLog->push_back(mName + " " + what + " " + std::to_string(x) + "," + std::to_string(y) + more);
  }
  std::vector<std::string>* mLog;
  std::string mName;
};

class InputTest : public EditorTest {
 protected:
  ProbeControl* Probe(IRECT r, int paramIdx, const char* name) {
    auto* p = new ProbeControl(mPlug.get(), r, paramIdx, &mLog, name);
    mGUI->AttachControl(p);
    return p;
  }
  std::vector<std::string> TakeLog() {
    std::vector<std::string> taken;
    taken.swap(mLog);
    return taken;
  }
  std::vector<std::string> mLog;
};

TEST_F(InputTest, DragFarOutsideTheEditorStaysWithTheCapturedControl) {
  Probe(IRECT(10, 10, 50, 50), 0, "p");
  Open();
  Down(20, 20);
  Drag(5000, -3000);
  Drag(5000, -3000);  // no movement: nothing to report
  Drag(-400, 900);
  Up(-400, 900);
  EXPECT_THAT(TakeLog(), ElementsAre("p down 20,20", "p drag 5000,-3000 4980,-3020",
                                     "p drag -400,900 -5400,3900", "p up -400,900"));
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "E0"));
  Drag(30, 30);  // nothing captured any more
  EXPECT_THAT(TakeLog(), IsEmpty());
}

TEST_F(InputTest, TheTopmostVisibleEnabledControlIsHit) {
  Probe(IRECT(0, 0, 100, 100), -1, "a");
  ProbeControl* b = Probe(IRECT(50, 50, 150, 110), 2, "b");
  Open();
  Down(60, 60);
  Up(60, 60);
  b->GrayOut(true);
  Down(61, 61);
  Up(61, 61);
  b->GrayOut(false);
  b->Hide(true);
  Down(62, 62);
  Up(62, 62);
  Down(160, 115);  // nothing there
  Up(160, 115);
  EXPECT_THAT(TakeLog(), ElementsAre("b down 60,60", "b up 60,60", "a down 61,61", "a up 61,61",
                                     "a down 62,62", "a up 62,62"));
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "E2"));
}

TEST_F(InputTest, KeysGoToTheControlUnderTheMouseElseToTheKeyCatcher) {
  mGUI->AttachPanelBackground(&COLOR_WHITE);
  Probe(IRECT(10, 10, 50, 50), -1, "p");
  Open();
  EXPECT_FALSE(mGUI->OnKeyDown(100, 100, 0));  // the background never takes keys
  mGUI->AttachKeyCatcher(new ProbeControl(mPlug.get(), IRECT(), -1, &mLog, "catcher"));
  EXPECT_TRUE(mGUI->OnKeyDown(20, 20, 15));
  EXPECT_TRUE(mGUI->OnKeyDown(100, 100, 1));
  EXPECT_THAT(TakeLog(), ElementsAre("p key 20,20 15", "catcher key 100,100 1"));
}

TEST_F(InputTest, MouseOverMovesBetweenControlsOnlyWhenHandled) {
  Probe(IRECT(0, 0, 40, 40), -1, "a");
  Probe(IRECT(50, 0, 90, 40), -1, "b");
  Open();
  IMouseMod mod;
  EXPECT_FALSE(mGUI->OnMouseOver(10, 10, &mod));
  mGUI->HandleMouseOver(true);
  EXPECT_TRUE(mGUI->OnMouseOver(10, 10, &mod));
  mGUI->OnMouseOver(60, 10, &mod);
  mGUI->OnMouseOver(45, 100, &mod);  // a miss keeps b
  EXPECT_EQ(mGUI->GetMouseOver(), 1);
  mGUI->OnMouseOut();
  EXPECT_EQ(mGUI->GetMouseOver(), -1);
  EXPECT_THAT(TakeLog(), ElementsAre("a over 10,10", "b over 60,10", "a out", "a out", "b out"));
}

TEST_F(InputTest, DoubleClickRestoresTheDefaultWithoutASecondBegin) {
  IKnobLineControl* knob = new IKnobLineControl(mPlug.get(), IRECT(0, 0, 50, 50), 0, &COLOR_BLACK);
  mGUI->AttachControl(knob);
  Open();
  ASSERT_DOUBLE_EQ(knob->GetDefaultValue(), 0.5);
  Down(25, 25);
  Drag(25, 15);
  Up(25, 15);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.55);
  IMouseMod mod(true);
  EXPECT_FALSE(mGUI->OnMouseDblClick(25, 15, &mod));
  Up(25, 15);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_NEAR(mPlug->GetParam(0)->Value(), 0.0, 1e-9);
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "A0", "E0", "A0", "E0"));
}

TEST_F(InputTest, WheelStepsAKnobAsAGestureOfItsOwn) {
  IKnobLineControl* knob = new IKnobLineControl(mPlug.get(), IRECT(0, 0, 50, 50), 2, &COLOR_BLACK);
  mGUI->AttachControl(knob);
  Open();
  IMouseMod plain, fine(false, false, true);
  mGUI->OnMouseWheel(25, 25, &plain, 3);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.03);
  mGUI->OnMouseWheel(25, 25, &fine, -1);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.029);
  mGUI->OnMouseWheel(100, 100, &plain, 1);  // over nothing
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "A2", "E2", "B2", "A2", "E2"));
  // Inside a held gesture the wheel adds no notices of its own.
  Down(25, 25);
  mGUI->OnMouseWheel(25, 25, &plain, 1);
  Up(25, 25);
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "A2", "E2"));
}

TEST_F(InputTest, AClosingOrResizedEditorEndsTheGestureItInterrupts) {
  mGUI->AttachControl(new IKnobLineControl(mPlug.get(), IRECT(0, 0, 50, 50), 0, &COLOR_BLACK));
  Open();
  mGUI->OpenWindow(nullptr);
  Down(25, 25);
  Drag(25, 20);
  mGUI->CloseWindow();
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "A0", "E0"));
  Up(25, 20);  // the release arrives late: nothing is owed any more
  EXPECT_THAT(TakeNotices(), IsEmpty());
  Down(25, 25);
  mGUI->Resize(200, 120);
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "E0"));
  EXPECT_EQ(mGUI->NControls(), 0);
}

TEST_F(InputTest, ARightClickMenuChoiceSetsTheValueInsideTheGesture) {
  IBitmap radio = Strip(10, 10, {kOff, kOn});
  auto* buttons = new IRadioButtonsControl(mPlug.get(), IRECT(0, 0, 10, 70), 1, 4, &radio);
  mGUI->AttachControl(buttons);
  Open();
  mGUI->ScriptMenuChoice(2);
  Down(5, 5, true);
  // A menu takes the button's release; the gesture ends when it closes.
  EXPECT_THAT(TakeNotices(), ElementsAre("B1", "A1", "E1"));
  Up(5, 5);
  ASSERT_EQ(mGUI->MenusShown().size(), 1u);
  EXPECT_THAT(mGUI->MenusShown()[0], ElementsAre("Left", "Right", "Mid", "Side"));
  EXPECT_DOUBLE_EQ(buttons->GetValue(), mPlug->GetParam(1)->GetNormalized(2));
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 2);
  // A dismissed menu changes nothing.
  Down(5, 5, true);
  Up(5, 5);
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 2);
  EXPECT_THAT(TakeNotices(), ElementsAre("B1", "E1"));
}

class TextEntryTest : public EditorTest {
 protected:
  // A fader that asks for its value on a right click.
  IFaderControl* Fader(int paramIdx) {
    IBitmap handle = Strip(10, 10, {kOn});
    auto* fader = new IFaderControl(mPlug.get(), 0, 0, 100, paramIdx, &handle);
    fader->DisablePrompt(false);
    mGUI->AttachControl(fader);
    return fader;
  }
  double Value(int paramIdx) { return mPlug->GetParam(paramIdx)->Value(); }
};

TEST_F(TextEntryTest, CommittedTextSetsTheValueAndCancelledTextDoesNot) {
  Fader(0);
  Open();
  Down(5, 50, true);
  Up(5, 50);
  ASSERT_NE(mGUI->TextEntryControl(), nullptr);
  EXPECT_EQ(mGUI->LastTextEntryRECT(), IRECT(-15, 42, 25, 58));
  EXPECT_TRUE(mGUI->TypeIntoTextEntry("-1.5"));
  mGUI->CommitTextEntry();
  EXPECT_NEAR(Value(0), -1.5, 1e-9);
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "E0", "B0", "A0", "E0"));

  Down(5, 50, true);
  mGUI->TypeIntoTextEntry("3");
  mGUI->ForceEndUserEdit();
  Up(5, 50);
  Down(5, 50, true);
  Up(5, 50);
  mGUI->TypeIntoTextEntry("4");
  IMouseMod mod;
  mGUI->OnMouseWheel(500, 500, &mod, 1);  // the wheel cancels the field
  EXPECT_EQ(mGUI->TextEntryControl(), nullptr);
  mGUI->CommitTextEntry("9");  // no field: ignored
  EXPECT_NEAR(Value(0), -1.5, 1e-9);
}

TEST_F(TextEntryTest, TheFieldKeepsToTheParametersCharactersAndLength) {
  Fader(2);
  Open();
  Down(5, 50, true);
  mGUI->TypeIntoTextEntry("1.2345678");
  EXPECT_EQ(mGUI->TextEntryText(), "1234567");  // no point, seven characters
  mGUI->CommitTextEntry();
  EXPECT_EQ(Value(2), 100.0);
}

TEST_F(TextEntryTest, BadTextGivesZeroLongTextIsCutAndNonNumbersAreIgnored) {
  IFaderControl* fader = Fader(0);
  Open();
  mGUI->SetFromStringAfterPrompt(fader, mPlug->GetParam(0), "5.0000009");
  EXPECT_NEAR(Value(0), 5.0, 1e-9);  // cut to the seven characters a field holds
  mGUI->SetFromStringAfterPrompt(fader, mPlug->GetParam(0), "abc");
  EXPECT_NEAR(Value(0), 0.0, 1e-9);
  mGUI->SetFromStringAfterPrompt(fader, mPlug->GetParam(0), "5");
  mPlug->notices.clear();
  for (const char* text : {"nan", "inf", "-1e999"}) {
    mGUI->SetFromStringAfterPrompt(fader, mPlug->GetParam(0), text);
  }
  EXPECT_NEAR(Value(0), 5.0, 1e-9);
  EXPECT_THAT(TakeNotices(), IsEmpty());
}

}  // namespace
