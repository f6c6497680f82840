// What each control does with a click, a drag or the wheel, and the frame it draws.
#include <limits>

#include "gui/controls/files_links.h"
#include "gui/controls/knobs.h"
#include "gui/controls/switches.h"
#include "gui/controls/text.h"
#include "plug/iparam.h"
#include "tests/gui/editor_fixture.h"

using ::testing::ElementsAre;

namespace {

using ControlsTest = EditorTest;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST_F(ControlsTest, SwitchesStepPickOrHoldTheirValue) {
  IBitmap two = Strip(10, 10, {kOff, kOn}), three = Strip(10, 10, {kOff, kOn, kThird});
  IBitmap wide = Strip(30, 10, {kOff, kOn, kThird});
  auto* toggle = new ISwitchControl(mPlug.get(), 0, 0, 3, &two);
  auto* cycle = new ISwitchControl(mPlug.get(), 20, 0, 2, &three);
  auto* contact = new IContactControl(mPlug.get(), 40, 0, 3, &two);
  auto* frames = new ISwitchFramesControl(mPlug.get(), 60, 0, 2, &wide, true);
  auto* invisible = new IInvisibleSwitchControl(mPlug.get(), IRECT(100, 0, 110, 10), 3);
  for (IControl* c : std::vector<IControl*>{toggle, cycle, contact, frames, invisible}) {
    mGUI->AttachControl(c);
  }
  Open();
  std::vector<double> seen;
  for (int x : {25, 25, 25, 5, 5, 85, 72, 105, 105, 105}) {
    Down(x, 5);
    Up(x, 5);
    seen.push_back(mGUI->GetControl(mGUI->GetMouseControlIdx(x, 5))->GetValue());
  }
  EXPECT_THAT(seen, ElementsAre(0.5, 1.0, 0.0, 1.0, 0.0, 1.0, 0.5, 1.0, 0.0, 1.0));
  IMouseMod mod(true);
  mGUI->OnMouseDblClick(5, 5, &mod);  // a double click is one more step
  Up(5, 5);
  EXPECT_EQ(DrawnAt(5, 5), kOn);
  mPlug->notices.clear();
  Down(45, 5);
  EXPECT_EQ(DrawnAt(45, 5), kOn);
  Up(45, 5);
  EXPECT_EQ(DrawnAt(45, 5), kOff);
  EXPECT_THAT(TakeNotices(), ElementsAre("B3", "A3", "A3", "E3"));
}

TEST_F(ControlsTest, RadioButtonsSpreadEvenlyAndShowTheActiveOne) {
  IBitmap radio = Strip(20, 20, {kOff, kOn});
  auto* column = new IRadioButtonsControl(mPlug.get(), IRECT(0, 0, 20, 100), 1, 4, &radio);
  auto* row =
      new IRadioButtonsControl(mPlug.get(), IRECT(30, 0, 130, 20), 2, 3, &radio, kHorizontal, true);
  mGUI->AttachControl(column);
  mGUI->AttachControl(row);
  Open();
  std::vector<int> tops, lefts;
  for (int i = 0; i < 4; ++i) tops.push_back(column->GetButtonRECT(i)->T);
  for (int i = 0; i < 3; ++i) lefts.push_back(row->GetButtonRECT(i)->L);
  EXPECT_THAT(tops, ElementsAre(0, 26, 52, 78));
  EXPECT_THAT(lefts, ElementsAre(110, 70, 30));
  Down(5, 60);
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 2);
  Down(5, 22);  // between buttons: the value stays
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 2);
  EXPECT_EQ(DrawnAt(5, 60), kOn);
  EXPECT_EQ(DrawnAt(5, 5), kOff);
  Down(35, 5);
  EXPECT_EQ(row->GetValue(), 1.0);
}

TEST_F(ControlsTest, PopUpSwitchOverlayAndFilmstripKnob) {
  IBitmap two = Strip(10, 10, {kOff, kOn}), three = Strip(10, 10, {kOff, kOn, kThird});
  mGUI->AttachPanelBackground(&COLOR_WHITE);
  mGUI->AttachControl(new ISwitchPopUpControl(mPlug.get(), 0, 0, 1, &two));
  mGUI->AttachControl(
      new IBitmapOverlayControl(mPlug.get(), 20, 0, 3, &two, IRECT(20, 20, 30, 30)));
  auto* knob = new IKnobMultiControl(mPlug.get(), 40, 0, 2, &three);
  mGUI->AttachControl(knob);
  Open();
  mGUI->ScriptMenuChoice(3);
  Down(5, 5);
  Up(5, 5);
  EXPECT_EQ(mPlug->GetParam(1)->Int(), 3);
  // The overlay, off, shows nothing and answers in its target area only.
  EXPECT_EQ(DrawnAt(25, 5), COLOR_WHITE);
  Down(25, 25);
  Up(25, 25);
  EXPECT_EQ(DrawnAt(25, 5), kOn);
  Down(25, 25);  // now outside it
  EXPECT_TRUE(mPlug->GetParam(3)->Bool());
  mGUI->SetParameterFromPlug(2, 0.5, true);
  EXPECT_EQ(DrawnAt(45, 5), kOn);
  Down(45, 5);
  Drag(45, 1);
  EXPECT_DOUBLE_EQ(knob->GetValue(), 0.6);  // 4 of 10 pixels at gearing 4
}

TEST(ControlsDeathTest, RadioAndFramesControlsNeedTwoChoices) {
  PX_MemBitmap pixels(10, 10);
  IBitmap one(&pixels, 10, 10, 1);
  EXPECT_DEATH(IRadioButtonsControl(nullptr, IRECT(0, 0, 10, 10), -1, 1, &one),
               "at least two buttons");
  EXPECT_DEATH(ISwitchFramesControl(nullptr, 0, 0, -1, &one), "at least two frames");
}

TEST_F(ControlsTest, FaderHandleFollowsTheValueAndTheMouse) {
  IBitmap handle = Strip(10, 20, {kOn});
  auto* fader = new IFaderControl(mPlug.get(), 0, 0, 100, 0, &handle);
  auto* stuck = new IFaderControl(mPlug.get(), 20, 0, 20, 2, &handle);  // no travel
  mGUI->AttachControl(fader);
  mGUI->AttachControl(stuck);
  Open();
  EXPECT_EQ(fader->GetHandleRECT(1.0).T, 0);
  EXPECT_EQ(fader->GetHandleRECT(0.0).T, 80);
  Down(5, 10);  // the handle's centre to the top
  EXPECT_EQ(fader->GetValue(), 1.0);
  Drag(5, 2000);
  Up(5, 2000);
  EXPECT_EQ(fader->GetValue(), 0.0);
  EXPECT_EQ(DrawnAt(5, 90), kOn);
  EXPECT_NE(DrawnAt(5, 10), kOn);
  Down(25, 5);
  EXPECT_EQ(stuck->GetValue(), 0.0);
}

TEST_F(ControlsTest, NonFiniteValuesNeverReachAControlOrAParameter) {
  auto* knob = new IKnobLineControl(mPlug.get(), IRECT(0, 0, 50, 50), 0, &COLOR_BLACK);
  const int idx = mGUI->AttachControl(knob);
  Open();
  for (double bad : {kNaN, kInf, -kInf}) {
    mGUI->SetParameterFromPlug(0, bad, true);
    mGUI->SetControlFromPlug(idx, bad);
    knob->SetValueFromUserInput(bad);
  }
  EXPECT_EQ(knob->GetValue(), 0.5);
  EXPECT_EQ(mPlug->GetParam(0)->Value(), 0.0);
  EXPECT_THAT(TakeNotices(), ::testing::IsEmpty());
}

TEST_F(ControlsTest, CaptionShowsTheValueWithItsLabel) {
  IText style(12);
  auto* caption = new ICaptionControl(mPlug.get(), IRECT(0, 0, 100, 20), 0, &style);
  mGUI->AttachControl(caption);
  Open();
  mPlug->SetParameterFromGUI(0, 1.0);
  DrawnAt(0, 0);
  char display[MAX_PARAM_DISPLAY_LEN];
  mPlug->GetParam(0)->GetDisplayForHost(display);
  SkyString shown;
  caption->GetTextCopy(&shown);
  EXPECT_EQ(std::string(shown.Get()), std::string(display) + " dB");
}

// Every pixel of a text lies between its control's left and right edges (a
// rectangle lower than the line still shows it whole); with the ellipsis a
// text too wide ends with "…".
TEST_F(ControlsTest, TextStaysInsideItsRectangleAndEndsWithAnEllipsis) {
  IText style(14, &COLOR_BLACK);
  const std::string wide = "Wide text that runs on and on past the edge";
  mGUI->AttachPanelBackground(&COLOR_WHITE);
  auto* plain = new ITextControl(mPlug.get(), IRECT(10, 10, 60, 30), &style, wide.c_str());
  auto* cut = new ITextControl(mPlug.get(), IRECT(10, 40, 60, 60), &style, wide.c_str());
  auto* tall = new ITextControl(mPlug.get(), IRECT(10, 70, 60, 74), &style, "Jg");
  cut->SetEllipsis(true);
  mGUI->AttachControl(plain);
  mGUI->AttachControl(cut);
  mGUI->AttachControl(tall);
  Open();
  DrawnAt(0, 0);
  PX_IBitmap* pBitmap = mGUI->GetDrawBitmap();
  int inkInside = 0, inkOutside = 0;
  for (int y = 0; y < 120; ++y) {
    for (int x = 0; x < 200; ++x) {
      const bool ink = pBitmap->getBits()[y * pBitmap->getRowSpan() + x] != PxColor(&COLOR_WHITE);
      const bool inside = x >= 10 && x < 60 && ((y >= 10 && y < 60) || (y >= 70 && y < 88));
      (inside ? inkInside : inkOutside) += ink;
    }
  }
  EXPECT_GT(inkInside, 100);
  EXPECT_EQ(inkOutside, 0);

  std::string fitted;
  EXPECT_FALSE(FitTextWithEllipsis(mGUI, &style, "Wide", 50, &fitted));
  ASSERT_TRUE(FitTextWithEllipsis(mGUI, &style, wide.c_str(), 50, &fitted));
  EXPECT_EQ(fitted, "Wide\xE2\x80\xA6");  // the space before the cut goes
  IRECT r;
  mGUI->MeasureIText(&style, fitted.c_str(), &r);
  EXPECT_LE(r.W(), 50);
  // A character of several bytes is kept whole or left out whole.
  ASSERT_TRUE(
      FitTextWithEllipsis(mGUI, &style, "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 20, &fitted));
  EXPECT_EQ(fitted.size() % 2, 1u);
  ASSERT_TRUE(FitTextWithEllipsis(mGUI, &style, "Wide", 1, &fitted));
  EXPECT_EQ(fitted, "\xE2\x80\xA6");
  // The control keeps the whole text; only the drawing is cut.
  SkyString shown;
  cut->GetTextCopy(&shown);
  EXPECT_EQ(wide, shown.Get());
}

TEST_F(ControlsTest, BitmapTextDrawsOneFramePerCharacterWithinTheRectangle) {
  // Frame k of the font is coloured red = k, so a pixel names its character.
  std::vector<IColor> glyphs;
  for (int k = 1; k <= 96; ++k) glyphs.push_back(IColor(255, k, 0, 0));
  IBitmap font = Strip(2, 2, glyphs);
  IText left(10, nullptr, nullptr, IText::kStyleNormal, IText::kAlignNear);
  mGUI->AttachPanelBackground(&COLOR_WHITE);
  mGUI->AttachControl(new IBitmapTextControl(mPlug.get(), IRECT(0, 0, 8, 2), &font, "AB\x01!!!",
                                             &left, 2, 2, 0, false, false));
  mGUI->AttachControl(new IBitmapTextControl(mPlug.get(), IRECT(0, 10, 7, 20), &font, "ABCDEFGHIJ",
                                             &left, 2, 2, 0, true, false));
  Open();
  EXPECT_EQ(DrawnAt(0, 0).R, 34);  // 'A'
  EXPECT_EQ(DrawnAt(2, 0).R, 35);  // 'B'
  EXPECT_EQ(DrawnAt(4, 0).R, 1);   // a control character draws frame 1
  EXPECT_EQ(DrawnAt(6, 0).R, 2);   // '!'
  EXPECT_EQ(DrawnAt(8, 0), COLOR_WHITE);
  EXPECT_EQ(DrawnAt(4, 14).R, 34 + 8);     // third row, third character: 'I'
  EXPECT_EQ(DrawnAt(0, 16), COLOR_WHITE);  // three rows of three: 'J' has no place
}

TEST_F(ControlsTest, LinkFallsBackToTheBackupAddress) {
  std::string longURL(300, 'x');
  mGUI->AttachControl(
      new IURLControl(mPlug.get(), IRECT(0, 0, 10, 10), "https://a.example", "https://b.example"));
  mGUI->AttachControl(new IURLControl(mPlug.get(), IRECT(20, 0, 30, 10), "", "https://c.example"));
  mGUI->AttachControl(new IURLControl(mPlug.get(), IRECT(40, 0, 50, 10), longURL.c_str()));
  Open();
  Down(5, 5);
  Down(25, 5);
  Down(45, 5);
  mGUI->SetOpenURLResult(true);
  Down(5, 5);
  EXPECT_THAT(mGUI->URLsOpened(), ElementsAre("https://a.example", "https://b.example",
                                              "https://c.example", "https://a.example"));
}

TEST_F(ControlsTest, FileSelectorTogglesOnEveryChoice) {
  IBitmap busy = Strip(10, 10, {kOn});
  auto* selector = new IFileSelectorControl(mPlug.get(), IRECT(0, 0, 10, 10), 3, &busy, kFileOpen,
                                            "/no/such/folder");
  mGUI->AttachControl(selector);
  Open();
  mGUI->ScriptFileChoice("/no/such/folder/take.wav");
  Down(5, 5);
  Up(5, 5);
  SkyString file;
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "/no/such/folder/take.wav");
  EXPECT_EQ(selector->GetValue(), 1.0);
  IRECT dirty;
  DrawnAt(0, 0);
  EXPECT_TRUE(mGUI->IsDirty(&dirty));  // once more after the choice
  EXPECT_FALSE(mGUI->IsDirty(&dirty));
  Down(5, 5);  // cancelled
  Up(5, 5);
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_STREQ(file.Get(), "");
  EXPECT_EQ(selector->GetValue(), 0.0);
}

}  // namespace
