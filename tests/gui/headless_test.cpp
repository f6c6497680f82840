// A small editor rendered without a window, compared with the same picture
// made by the raster library's own operations; and the scripted platform.
#include "gdi/gdi.h"
#include "gui/controls/bitmaps.h"
#include "gui/controls/text.h"
#include "gui/ipopup_menu.h"
#include "gui/make_graphics.h"
#include "raster/blit/blit.h"
#include "raster/raster.h"
#include "raster/text/text.h"
#include "tests/gui/gui_test_support.h"

namespace {

constexpr int kW = 500, kH = 332;

struct SmallEditor {
  SmallEditor() : plug(4), gui(static_cast<GraphicsHeadless*>(MakeGraphics(&plug, kW, kH, 0))) {
    plug.GetParam(0)->InitBool("Loop", true);
    gui->AttachBackground(200, "resources/img/background.png");
    button = gui->LoadIBitmap(201, "button_x2.png", 2);
    gui->AttachControl(new IBitmapControl(&plug, 20, 30, 0, &button));
    gui->AttachControl(new IBitmapControl(&plug, 80, 30, 1, &button));
    style = IText(14, &COLOR_WHITE, "Liberation Sans", IText::kStyleNormal, IText::kAlignNear);
    text = new ITextControl(&plug, IRECT(20, 100, 300, 118), &style, "Disconnected");
    gui->AttachControl(text);
    plug.AttachGraphics(gui);
  }

  // The same editor straight from the raster library.
  void Reference(PX_MemBitmap* ref, const char* line) {
    IBitmap bg = gui->LoadIBitmap(200, "background.png");
    ref->resize(kW, kH);
    PX_Clear(ref, 0);
    PX_Blit(ref, bg.mData, 0, 0, 0, 0, kW, kH, 1.0f, 0);
    PX_Blit(ref, button.mData, 20, 30, 0, 20, 40, 20, 1.0f, 0x10000);  // Loop on: frame 2
    PX_Blit(ref, button.mData, 80, 30, 0, 0, 40, 20, 1.0f, 0x10000);
    PX_CachedFont* font = gui->CacheFont(&style);
    font->SetTextColor(PxColor(&COLOR_WHITE));
    RECT r{20, 100, 300, 118};
    font->DrawText(ref, line, -1, &r, DT_NOCLIP);
  }

  TestPlug plug;
  GraphicsHeadless* gui;
  IBitmap button;
  IText style;
  ITextControl* text;
};

TEST(HeadlessTest, EditorRendersLikeTheRasterOperationsAndRepaintsOnlyWhatChanged) {
  SmallEditor e;
  IRECT r;
  ASSERT_TRUE(e.gui->IsDirty(&r));
  EXPECT_EQ(IRECT(0, 0, kW, kH), r);
  e.gui->Draw(&r);
  PX_MemBitmap ref(kW, kH, 4);
  e.Reference(&ref, "Disconnected");
  EXPECT_EQ(0, CountDifferences(e.gui->GetDrawBitmap(), &ref));

  e.text->SetTextFromPlug("Connected: Desk - Input 1");
  IRECT changed;
  ASSERT_TRUE(e.gui->IsDirty(&changed));
  EXPECT_EQ(IRECT(20, 100, 300, 118), changed);
  e.gui->Draw(&changed);
  EXPECT_EQ(changed, e.gui->LastScreenRECT());
  e.Reference(&ref, "Connected: Desk - Input 1");
  EXPECT_EQ(0, CountDifferences(e.gui->GetDrawBitmap(), &ref));
  e.text->SetTextFromPlug("Connected: Desk - Input 1");  // the same text changes nothing
  EXPECT_FALSE(e.gui->IsDirty(&changed));
}

TEST(HeadlessTest, WindowOpensWithoutAScreenAndClosesAgain) {
  SmallEditor e;
  EXPECT_STREQ("Headless", e.gui->GetGUIAPI());
  EXPECT_FALSE(e.gui->WindowIsOpen());
  void* w = e.gui->OpenWindow(nullptr);
  EXPECT_NE(nullptr, w);
  EXPECT_EQ(w, e.gui->OpenWindow(w));  // opening again leaves one window
  EXPECT_TRUE(e.gui->WindowIsOpen());
  e.gui->CloseWindow();
  EXPECT_EQ(nullptr, e.gui->GetWindow());
}

TEST(HeadlessTest, MenusAnswerFromTheScript) {
  EditorFixture f;
  IParam* latency = f.plug.GetParam(1);
  latency->InitEnum("Latency", 1, 4);
  const char* names[] = {"Low", "Mid", "High", "Max"};
  for (int i = 0; i < 4; ++i) latency->SetDisplayText(i, names[i]);
  ProbeControl* p = f.Probe(IRECT(10, 10, 30, 20), 1);
  p->mDisablePrompt = false;
  f.Attach();
  f.gui->ScriptMenuChoice(2);
  p->PromptUserInput();
  ASSERT_EQ(1u, f.gui->MenusShown().size());
  EXPECT_EQ((std::vector<std::string>{"Low", "Mid", "High", "Max"}), f.gui->MenusShown()[0]);
  EXPECT_EQ(IRECT(10, 10, 30, 20), f.gui->LastMenuRECT());
  EXPECT_DOUBLE_EQ(latency->GetNormalized(2), p->GetValue());
  EXPECT_EQ(2, latency->Int());
  f.gui->ScriptMenuChoice(-1);
  p->PromptUserInput();  // dismissed
  p->PromptUserInput();  // nothing scripted: dismissed too
  EXPECT_EQ(2, latency->Int());
  EXPECT_EQ(3u, f.gui->MenusShown().size());

  IPopupMenu menu;
  menu.AddItem("Title", -1, IPopupMenuItem::kTitle);
  menu.AddSeparator();
  menu.AddItem("Off", -1, IPopupMenuItem::kDisabled);
  menu.AddItem("On", 0);
  EXPECT_STREQ("On", menu.GetItemText(0));
  for (int choice : {1, 2, 3, 9}) {
    f.gui->ScriptMenuChoice(choice);
    EXPECT_EQ(nullptr, f.gui->CreateIPopupMenu(&menu, nullptr)) << choice;
  }
  f.gui->ScriptMenuChoice(0);
  EXPECT_EQ(&menu, f.gui->CreateIPopupMenu(&menu, nullptr));
  EXPECT_EQ(0, menu.GetChosenItemIdx());
}

// Records what a text field hands over when it has no parameter.
class EntryControl : public ProbeControl {
 public:
  using ProbeControl::ProbeControl;
  void TextFromTextEntry(const char* txt) override { received = txt; }
  std::string received;
};

TEST(HeadlessTest, TextFieldsCommitFromTheScriptOrLater) {
  EditorFixture f;
  IParam* gain = f.plug.GetParam(2);
  gain->InitDouble("Gain", 0.0, -10.0, 10.0, 0.1);
  ProbeControl* p = f.Probe(IRECT(0, 0, 40, 20), 2);
  p->mDisablePrompt = false;
  EntryControl* free = new EntryControl(&f.plug, IRECT(0, 20, 40, 40));
  f.gui->AttachControl(free);
  f.Attach();
  f.gui->ScriptTextEntry("-1.5");
  p->PromptUserInput();
  EXPECT_EQ(IRECT(0, 2, 40, 18), f.gui->LastTextEntryRECT());  // 40 x 16 about the centre
  EXPECT_EQ("0.0", f.gui->LastTextEntryText());
  EXPECT_DOUBLE_EQ(-1.5, gain->Value());
  EXPECT_EQ(nullptr, f.gui->TextEntryControl());

  p->PromptUserInput();  // nothing scripted: the field stays open
  EXPECT_EQ(p, f.gui->TextEntryControl());
  f.gui->CreateTextEntry(free, nullptr, nullptr, "x", nullptr);  // one field at a time
  EXPECT_EQ(p, f.gui->TextEntryControl());
  f.gui->CommitTextEntry("abc");  // not a number: 0
  EXPECT_DOUBLE_EQ(0.0, gain->Value());

  f.gui->CreateTextEntry(free, nullptr, nullptr, "before", nullptr);
  f.gui->ForceEndUserEdit();
  EXPECT_EQ("", free->received);
  f.gui->ScriptTextEntry("typed");
  f.gui->CreateTextEntry(free, nullptr, nullptr, "before", nullptr);
  EXPECT_EQ("typed", free->received);
}

TEST(HeadlessTest, FilePromptsAndLinksAnswerFromTheScript) {
  EditorFixture f;
  SkyString file("keep"), dir;
  f.gui->PromptForFile(&file);
  EXPECT_STREQ("", file.Get());  // nothing scripted: cancelled
  f.gui->ScriptFileChoice("/tmp/presets/a.fxp");
  f.gui->PromptForFile(&file, kFileSave, &dir, "fxp");
  EXPECT_STREQ("/tmp/presets/a.fxp", file.Get());
  EXPECT_STREQ("/tmp/presets/", dir.Get());
  EXPECT_FALSE(f.gui->OpenURL("http://example.com"));
  f.gui->SetOpenURLResult(true);
  EXPECT_TRUE(f.gui->OpenURL("http://example.org"));
  EXPECT_EQ((std::vector<std::string>{"http://example.com", "http://example.org"}),
            f.gui->URLsOpened());
}

}  // namespace
