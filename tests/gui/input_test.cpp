// Mouse, wheel and key routing through the editor, and what the host is told.
#include "gui/controls/knobs.h"
#include "gui/controls/switches.h"
#include "gui/text_entry_edit.h"
#include "plug/iparam.h"
#include "tests/gui/editor_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// Logs the events it gets as "name event x,y [dx,dy | key]".
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
  IKnobLineControl* Knob(int paramIdx) {
    auto* knob = new IKnobLineControl(mPlug.get(), IRECT(0, 0, 50, 50), paramIdx, &COLOR_BLACK);
    mGUI->AttachControl(knob);
    return knob;
  }

  std::vector<std::string> mLog;
  IMouseMod mLeft{true}, mShift{false, false, true};
};

TEST_F(InputTest, DragFarOutsideTheEditorStaysWithTheCapturedControl) {
  Probe(IRECT(10, 10, 50, 50), 0, "p");
  Open();
  Down(20, 20);
  Drag(5000, -3000);
  Drag(5000, -3000);  // no movement: nothing to report
  Drag(-400, 900);
  Up(-400, 900);
  Drag(30, 30);  // nothing captured any more
  EXPECT_THAT(TakeLog(), ElementsAre("p down 20,20", "p drag 5000,-3000 4980,-3020",
                                     "p drag -400,900 -5400,3900", "p up -400,900"));
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "E0"));
}

TEST_F(InputTest, TheTopmostVisibleEnabledControlIsHit) {
  Probe(IRECT(0, 0, 100, 100), -1, "a");
  ProbeControl* b = Probe(IRECT(50, 50, 150, 110), 2, "b");
  Open();
  Down(60, 60);
  b->GrayOut(true);
  Down(61, 61);
  b->GrayOut(false);
  b->Hide(true);
  Down(62, 62);
  Down(160, 115);  // nothing there
  b->Hide(false);
  b->SetMouseDblAsSingleClick(true);
  EXPECT_TRUE(mGUI->OnMouseDblClick(63, 63, &mLeft));
  Up(63, 63);
  EXPECT_THAT(TakeLog(), ElementsAre("b down 60,60", "a down 61,61", "a down 62,62", "b down 63,63",
                                     "b up 63,63"));
  // The next press ends b's gesture; a double click sends no begin notice.
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "E2", "E2"));
}

TEST_F(InputTest, KeysAndMouseOverFindTheControlUnderTheMouse) {
  mGUI->AttachPanelBackground(&COLOR_WHITE);
  Probe(IRECT(10, 10, 50, 50), -1, "a");
  Probe(IRECT(60, 10, 90, 50), -1, "b");
  Open();
  EXPECT_FALSE(mGUI->OnKeyDown(100, 100, 0));  // the background never takes keys
  mGUI->AttachKeyCatcher(new ProbeControl(mPlug.get(), IRECT(), -1, &mLog, "catcher"));
  EXPECT_TRUE(mGUI->OnKeyDown(20, 20, 15));
  EXPECT_TRUE(mGUI->OnKeyDown(100, 100, 1));
  EXPECT_FALSE(mGUI->OnMouseOver(20, 20, &mLeft));  // not handled yet
  mGUI->HandleMouseOver(true);
  mGUI->OnMouseOver(20, 20, &mLeft);
  mGUI->OnMouseOver(70, 20, &mLeft);
  mGUI->OnMouseOut();
  EXPECT_THAT(TakeLog(), ElementsAre("a key 20,20 15", "catcher key 100,100 1", "a over 20,20",
                                     "b over 70,20", "a out", "a out", "b out"));
}

TEST_F(InputTest, DoubleClickRestoresTheDefaultWithoutASecondBegin) {
  IKnobLineControl* knob = Knob(0);
  Open();
  Down(25, 25);
  Drag(25, 15);  // 10 of 50 pixels at gearing 4
  Drag(25, 5, true);
  Up(25, 5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.555);
  EXPECT_FALSE(mGUI->OnMouseDblClick(25, 5, &mLeft));
  Up(25, 5);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.5);
  EXPECT_NEAR(mPlug->GetParam(0)->Value(), 0.0, 1e-9);
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "A0", "A0", "E0", "A0", "E0"));
}

TEST_F(InputTest, WheelStepsAKnobAsAGestureOfItsOwn) {
  IKnobLineControl* knob = Knob(2);
  Open();
  mGUI->OnMouseWheel(25, 25, &mLeft, 3);
  mGUI->OnMouseWheel(25, 25, &mShift, -1);
  mGUI->OnMouseWheel(100, 100, &mLeft, 1);  // over nothing
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.029);
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "A2", "E2", "B2", "A2", "E2"));
  Down(25, 25);  // inside a held gesture the wheel adds no notices
  mGUI->OnMouseWheel(25, 25, &mLeft, 1);
  Up(25, 25);
  EXPECT_THAT(TakeNotices(), ElementsAre("B2", "A2", "E2"));
}

TEST_F(InputTest, AClosingOrResizedEditorEndsTheGestureItInterrupts) {
  Knob(0);
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
}

TEST_F(InputTest, ARightClickMenuChoiceSetsTheValueInsideTheGesture) {
  IBitmap radio = Strip(10, 10, {kOff, kOn});
  mGUI->AttachControl(new IRadioButtonsControl(mPlug.get(), IRECT(0, 0, 10, 70), 1, 4, &radio));
  Open();
  mGUI->ScriptMenuChoice(2);
  Down(5, 5, true);
  // A menu takes the button's release; the gesture ends when it closes.
  EXPECT_THAT(TakeNotices(), ElementsAre("B1", "A1", "E1"));
  Up(5, 5);
  EXPECT_THAT(mGUI->MenusShown().at(0), ElementsAre("Left", "Right", "Mid", "Side"));
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 2);
  Down(5, 5, true);  // dismissed: nothing changes
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
  void RightClick() {
    Down(5, 50, true);
    Up(5, 50);
  }
  double Value(int paramIdx) { return mPlug->GetParam(paramIdx)->Value(); }
};

TEST_F(TextEntryTest, CommittedTextSetsTheValueAndCancelledTextDoesNot) {
  Fader(0);
  Open();
  RightClick();
  EXPECT_EQ(mGUI->LastTextEntryRECT(), IRECT(-15, 42, 25, 58));
  mGUI->TypeIntoTextEntry("-1.5");
  mGUI->CommitTextEntry();
  EXPECT_NEAR(Value(0), -1.5, 1e-9);
  EXPECT_THAT(TakeNotices(), ElementsAre("B0", "E0", "B0", "A0", "E0"));
  RightClick();
  mGUI->TypeIntoTextEntry("3");
  mGUI->ForceEndUserEdit();
  RightClick();
  mGUI->TypeIntoTextEntry("4");
  IMouseMod mod;
  mGUI->OnMouseWheel(500, 500, &mod, 1);  // the wheel cancels the field
  mGUI->CommitTextEntry("9");             // no field: ignored
  EXPECT_NEAR(Value(0), -1.5, 1e-9);
}

TEST_F(TextEntryTest, TheFieldKeepsToTheParametersCharactersAndLength) {
  Fader(2);
  Open();
  RightClick();
  mGUI->TypeIntoTextEntry("1.2345678");
  EXPECT_EQ(mGUI->TextEntryText(), "1234567");  // no point, seven characters
  mGUI->CommitTextEntry();
  EXPECT_EQ(Value(2), 100.0);
}

TEST_F(TextEntryTest, TheFieldOpensWithItsTextSelectedAndTakesEditingKeys) {
  Fader(2);
  Open();
  RightClick();
  const std::string shown = mGUI->TextEntryText();
  ASSERT_NE(mGUI->TextEntryEdit(), nullptr);
  EXPECT_EQ(mGUI->TextEntryEdit()->SelectionStart(), 0u);
  EXPECT_EQ(mGUI->TextEntryEdit()->SelectionEnd(), shown.size());
  mGUI->TextEntryEdit()->End(false);
  mGUI->TypeIntoTextEntry("5");
  EXPECT_EQ(mGUI->TextEntryText(), shown + "5");
  mGUI->ForceEndUserEdit();
  EXPECT_EQ(mGUI->TextEntryEdit(), nullptr);
}

TEST_F(TextEntryTest, BadTextGivesZeroLongTextIsCutAndNonNumbersAreIgnored) {
  IFaderControl* fader = Fader(0);
  Open();
  IParam* pParam = mPlug->GetParam(0);
  mGUI->SetFromStringAfterPrompt(fader, pParam, "5.0000009");
  EXPECT_NEAR(Value(0), 5.0, 1e-9);  // cut to the seven characters a field holds
  mGUI->SetFromStringAfterPrompt(fader, pParam, "abc");
  EXPECT_NEAR(Value(0), 0.0, 1e-9);
  mGUI->SetFromStringAfterPrompt(fader, pParam, "5");
  mPlug->notices.clear();
  for (const char* text : {"nan", "inf", "-1e999"})
    mGUI->SetFromStringAfterPrompt(fader, pParam, text);
  EXPECT_NEAR(Value(0), 5.0, 1e-9);
  EXPECT_THAT(TakeNotices(), IsEmpty());
}

// The field's editing, shared by the X11 field and the window-less platform.
TEST(TextEntryEditTest, OpensSelectedAndEditsLikeATextField) {
  ITextEntryFormat digits;
  digits.mAccepted = "0123456789";
  digits.mMaxLength = 4;
  ITextEntryEdit edit("45", digits);
  EXPECT_EQ(edit.SelectionStart(), 0u);
  EXPECT_EQ(edit.SelectionEnd(), 2u);
  EXPECT_TRUE(edit.Insert("7"));  // replaces the whole text
  EXPECT_EQ(edit.Text(), "7");
  edit.Home(false);
  edit.Insert("1");
  edit.End(false);
  edit.Insert("9");
  EXPECT_EQ(edit.Text(), "179");
  edit.Left(false);
  edit.Backspace();
  EXPECT_EQ(edit.Text(), "19");
  edit.Delete();
  EXPECT_EQ(edit.Text(), "1");
  EXPECT_FALSE(edit.Insert("x"));  // refused: nothing changes
  EXPECT_FALSE(edit.Insert("2345"));
  EXPECT_EQ(edit.Text(), "1");
  EXPECT_EQ(edit.Caret(), 1u);

  edit = ITextEntryEdit("1234", digits);
  edit.PlaceCaret(1);
  edit.Right(true);
  edit.Right(true);  // "23" selected, caret after it
  EXPECT_EQ(edit.SelectionStart(), 1u);
  EXPECT_EQ(edit.SelectionEnd(), 3u);
  edit.Delete();
  EXPECT_EQ(edit.Text(), "14");
  edit.SelectAll();
  edit.Left(false);  // collapses to the start
  EXPECT_FALSE(edit.HasSelection());
  EXPECT_EQ(edit.Caret(), 0u);
  edit.Backspace();  // nothing before the caret
  edit.PlaceCaret(99);
  EXPECT_EQ(edit.Caret(), 2u);
  edit.SelectAll();
  edit.Backspace();
  EXPECT_EQ(edit.Text(), "");
}

}  // namespace
