// Skylane's editor drawn off screen: its start texts, the texts after a
// relay connection, and status lines written by the worker threads while the
// editor paints.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "gui/controls/switches.h"
#include "gui/controls/text.h"
#include "gui/graphics.h"
#include "raster/pixels/bitmap.h"
#include "tests/plugin/scripted_relay.h"
#include "tests/plugin/skylane_test_util.h"

namespace {

// Control indices: the background is 0, then the controls in layout order.
enum {
  kDebug1 = 1,
  kDebug2 = 2,
  kVersion = 3,
  kStatus = 4,
  kLoopSwitch = 5,
  kAudioState = 6,
  kDeviceButton0 = 7,
  kDeviceName0 = 11,
  kChannelName0 = 16,
  kBuffering = 20,
  kLatency = 21
};

std::string ControlText(Skylane& plug, int idx) {
  ITextControl* pText = dynamic_cast<ITextControl*>(plug.GetGUI()->GetControl(idx));
  if (!pText) return "(not a text)";
  SkyString text;
  pText->GetTextCopy(&text);
  return text.Get();
}

// Paints everything dirty and returns a copy of the editor's pixels.
std::vector<PX_pixel> Paint(Skylane& plug) {
  Graphics* pGUI = plug.GetGUI();
  IRECT r;
  if (pGUI->IsDirty(&r)) pGUI->Draw(&r);
  PX_IBitmap* pBitmap = pGUI->GetDrawBitmap();
  std::vector<PX_pixel> pixels;
  for (int y = 0; y < pBitmap->getHeight(); ++y) {
    const PX_pixel* pRow = pBitmap->getBits() + y * pBitmap->getRowSpan();
    pixels.insert(pixels.end(), pRow, pRow + pBitmap->getWidth());
  }
  return pixels;
}

// Pixels that differ inside r.
int Differences(const std::vector<PX_pixel>& a, const std::vector<PX_pixel>& b, IRECT r) {
  int n = 0;
  for (int y = r.T; y < r.B; ++y) {
    for (int x = r.L; x < r.R; ++x) n += a[y * 500 + x] != b[y * 500 + x];
  }
  return n;
}

// FNV-1a over the pixels: a picture's fingerprint.
uint64_t Fingerprint(const std::vector<PX_pixel>& pixels) {
  uint64_t h = 1469598103934665603ull;
  for (PX_pixel p : pixels) h = (h ^ p) * 1099511628211ull;
  return h;
}

void ShowText(Skylane& plug, int idx, const char* text) {
  dynamic_cast<ITextControl*>(plug.GetGUI()->GetControl(idx))->SetTextFromPlug(text);
}

// The picture at scale 1 stays the one the editor has always drawn: the
// start picture, and one with texts that fit, a channel and the effects loop.
TEST(SkylaneEditor, PictureAtScaleOneIsUnchanged) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  plug->GetGUI()->SetAllControlsDirty();
  const uint64_t start = Fingerprint(Paint(*plug));
  ShowText(*plug, kStatus, "Connected: Desk - Mono");
  ShowText(*plug, kAudioState, "Audio flowing");
  ShowText(*plug, kDeviceName0, "Desk");
  ShowText(*plug, kDeviceName0 + 1, "Guitar In");
  ShowText(*plug, kChannelName0, "Mono");
  SetParam(*plug, kParamChannel, 2);
  SetParam(*plug, kParamEffectsLoop, 1);
  plug->GetGUI()->SetAllControlsDirty();
  const uint64_t changed = Fingerprint(Paint(*plug));
  // Taken from the editor as drawn with the Debian 12 fonts (Arial resolves
  // to Liberation Sans).
  EXPECT_EQ(start, 0x1d58a17f477cb853ull);
  EXPECT_EQ(changed, 0xef131ed3a1717053ull);
}

// Pixels of the picture at scale 2 that differ from the 1x picture with each
// pixel doubled, inside r (editor units).
int DifferencesFromDoubled(const std::vector<PX_pixel>& one, const std::vector<PX_pixel>& two,
                           IRECT r) {
  int n = 0;
  for (int y = 2 * r.T; y < 2 * r.B; ++y) {
    for (int x = 2 * r.L; x < 2 * r.R; ++x) n += two[y * 1000 + x] != one[(y / 2) * 500 + x / 2];
  }
  return n;
}

// At scale 2 the editor is drawn anew, not enlarged: text and the panel's
// frames get their own edges while flat areas keep their colours; back at
// scale 1 the picture is the 1x one again.
TEST(SkylaneEditor, PictureAtScaleTwoIsDrawnAtTwiceTheResolution) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  Graphics* pGUI = plug->GetGUI();
  ShowText(*plug, kStatus, "Connected: Desk - Mono");
  ShowText(*plug, kDeviceName0, "Desk");
  SetParam(*plug, kParamEffectsLoop, 1);
  pGUI->SetAllControlsDirty();
  const std::vector<PX_pixel> one = Paint(*plug);
  pGUI->SetDrawScale(2);
  const std::vector<PX_pixel> two = Paint(*plug);
  ASSERT_EQ(two.size(), 1000u * 664u);
  EXPECT_EQ(pGUI->Width(), 500);
  EXPECT_GT(DifferencesFromDoubled(one, two, IRECT(16, 20, 300, 48)), 200);   // status line
  EXPECT_GT(DifferencesFromDoubled(one, two, IRECT(48, 100, 156, 120)), 50);  // device name
  EXPECT_GT(DifferencesFromDoubled(one, two, IRECT(8, 90, 20, 102)), 10);     // a frame corner
  EXPECT_GT(DifferencesFromDoubled(one, two, IRECT(16, 52, 216, 84)), 100);   // loop switch
  EXPECT_EQ(DifferencesFromDoubled(one, two, IRECT(320, 256, 490, 280)), 0);  // plain footer
  pGUI->SetDrawScale(1);
  EXPECT_EQ(Fingerprint(Paint(*plug)), Fingerprint(one));
}

TEST(SkylaneEditor, LayoutAndStartTexts) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);  // no tick during the test
  std::unique_ptr<Skylane> plug = OpenSkylane();
  Graphics* pGUI = plug->GetGUI();
  ASSERT_NE(pGUI, nullptr);
  EXPECT_EQ(pGUI->Width(), 500);
  EXPECT_EQ(pGUI->Height(), 332);
  EXPECT_EQ(pGUI->NControls(), 22);
  EXPECT_EQ(ControlText(*plug, kStatus), "Disconnected");
  EXPECT_EQ(ControlText(*plug, kAudioState), "");
  EXPECT_EQ(ControlText(*plug, kDebug1), "----");
  EXPECT_EQ(ControlText(*plug, kDebug2), "----");
  EXPECT_EQ(ControlText(*plug, kVersion), "Version 1.50 (20160130)");
  EXPECT_EQ(ControlText(*plug, kBuffering), "Buffering");
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(ControlText(*plug, kDeviceName0 + k), "--");
    EXPECT_EQ(ControlText(*plug, kChannelName0 + k), "--");
  }
  EXPECT_EQ(pGUI->GetControl(kLoopSwitch)->ParamIdx(), kParamEffectsLoop);
  EXPECT_EQ(pGUI->GetControl(kLatency)->ParamIdx(), kParamLatency);
  // The images are built in: the background and both two-frame strips.
  const IBitmap background = pGUI->LoadIBitmap(102, "resources/img/Skylaneplug.png");
  const IBitmap loop = pGUI->LoadIBitmap(103, "resources/img/fxloop2.png", 2);
  ASSERT_NE(background.mData, nullptr);
  EXPECT_EQ(background.W, 500);
  EXPECT_EQ(background.H, 332);
  EXPECT_EQ(loop.H / loop.N, 32);

  // The effects-loop switch shows its second frame once the parameter is on.
  const std::vector<PX_pixel> off = Paint(*plug);
  plug->GetAEffect()->setParameter(plug->GetAEffect(), kParamEffectsLoop, 1.0f);
  const std::vector<PX_pixel> on = Paint(*plug);
  EXPECT_GT(Differences(off, on, IRECT(16, 52, 216, 84)), 100);
  EXPECT_EQ(Differences(off, on, IRECT(0, 90, 500, 332)), 0);
}

TEST(SkylaneEditor, TextsFollowTheRelayConnection) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 10);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  const std::vector<PX_pixel> before = Paint(*plug);
  const int fd = relay.Accept();
  ASSERT_GE(fd, 0);
  ReadRequest(fd, nullptr);
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(SendControl(fd, 2, 5, 1, "Guitar"));
  ASSERT_TRUE(WaitFor([&] { return ControlText(*plug, kStatus) == "Connected: Phone - TR0"; }));
  ASSERT_TRUE(WaitFor([&] { return ControlText(*plug, kChannelName0 + 1) == "Guitar"; }));
  EXPECT_EQ(ControlText(*plug, kDeviceName0), "Phone");
  EXPECT_EQ(ControlText(*plug, kDeviceName0 + 1), "Desk");
  EXPECT_EQ(ControlText(*plug, kDeviceName0 + 2), "--");
  EXPECT_EQ(ControlText(*plug, kAudioState), "!! AUDIO MUTED");
  EXPECT_EQ(ControlText(*plug, kDebug1).compare(0, 2, "f:"), 0);
  const std::vector<PX_pixel> after = Paint(*plug);
  EXPECT_GT(Differences(before, after, IRECT(16, 20, 300, 48)), 50);    // status line
  EXPECT_GT(Differences(before, after, IRECT(48, 100, 156, 144)), 50);  // two device names
  EXPECT_EQ(Differences(before, after, IRECT(16, 252, 300, 268)), 0);   // the version stays
  plug.reset();
  close(fd);
}

// After any sequence of text changes, each repainted alone, the picture is
// the full repaint's: no text leaves pixels outside its control.
TEST(SkylaneEditor, PartialRepaintsEqualAFullRepaint) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  const char* texts[] = {"",
                         "--",
                         "Mono",
                         "Built-in Audio Analog Stereo Monitor of the second sound card",
                         "Connected: Built-in Audio Analog Stereo Monitor - Front Left and Right",
                         "f:0 0 0 0 lc64 m0 b0 con0 lav0 X:0 R0 with a long tail that runs off"};
  const int lines[] = {kDebug1,          kDebug2,       kStatus,
                       kAudioState,      kDeviceName0,  kDeviceName0 + 1,
                       kDeviceName0 + 3, kChannelName0, kChannelName0 + 2};
  Paint(*plug);
  unsigned seed = 7;
  for (int step = 0; step < 60; ++step) {
    seed = seed * 1103515245u + 12345u;
    const int line = lines[(seed >> 8) % (sizeof lines / sizeof lines[0])];
    const char* text = texts[(seed >> 16) % (sizeof texts / sizeof texts[0])];
    ShowText(*plug, line, text);
    const std::vector<PX_pixel> partial = Paint(*plug);
    plug->GetGUI()->SetAllControlsDirty();
    const std::vector<PX_pixel> full = Paint(*plug);
    ASSERT_EQ(Differences(partial, full, IRECT(0, 0, 500, 332)), 0)
        << "step " << step << ": control " << line << " shows \"" << text << "\"";
  }
  // A long device name stops before the channel column; the status line too.
  ShowText(*plug, kDeviceName0, texts[3]);
  ShowText(*plug, kStatus, texts[4]);
  const std::vector<PX_pixel> longNames = Paint(*plug);
  ShowText(*plug, kDeviceName0, "");
  ShowText(*plug, kStatus, "");
  const std::vector<PX_pixel> empty = Paint(*plug);
  EXPECT_EQ(Differences(longNames, empty, IRECT(156, 96, 500, 124)), 0);
  EXPECT_EQ(Differences(longNames, empty, IRECT(300, 16, 500, 52)), 0);
  EXPECT_GT(Differences(longNames, empty, IRECT(140, 100, 156, 120)), 5);  // the "…"
}

// The streamed device's row shows its button on while the link is up.
TEST(SkylaneEditor, StreamedDeviceRowIsShownSelected) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 10);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  SetParam(*plug, kParamDeviceId, 171);
  const std::vector<PX_pixel> before = Paint(*plug);
  auto button = [&](int k) {
    return dynamic_cast<IContactControl*>(plug->GetGUI()->GetControl(kDeviceButton0 + k));
  };
  auto latched = [&](int row) {
    for (int k = 0; k < 4; ++k) {
      if (button(k)->IsLatched() != (k == row)) return false;
    }
    return true;
  };
  int fd = relay.Accept();
  ASSERT_GE(fd, 0);
  ReadRequest(fd, nullptr);
  ASSERT_TRUE(SendControl(fd, 1, 5, 0, "Phone"));
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(WaitFor([&] { return latched(1); }));
  const std::vector<PX_pixel> on = Paint(*plug);
  EXPECT_GT(Differences(before, on, IRECT(16, 120, 48, 144)), 20);  // row 1's button
  EXPECT_EQ(Differences(before, on, IRECT(16, 96, 48, 120)), 0);    // row 0's stays off
  // A click on the latched button leaves it shown on.
  button(1)->OnMouseUp(20, 125, nullptr);
  EXPECT_TRUE(button(1)->IsLatched());
  close(fd);
  ASSERT_TRUE(WaitFor([&] { return latched(-1); }));
  EXPECT_EQ(Differences(before, Paint(*plug), IRECT(16, 96, 48, 192)), 0);
  fd = relay.Accept();
  ASSERT_GE(fd, 0);
  ReadRequest(fd, nullptr);
  ASSERT_TRUE(SendControl(fd, 1, 171, 0, "Desk"));
  ASSERT_TRUE(WaitFor([&] { return latched(1); }));
  plug.reset();
  close(fd);
}

TEST(SkylaneEditor, WorkerThreadsWriteWhileTheEditorPaints) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 1);
  std::unique_ptr<Skylane> plug = OpenSkylane();
  // The watch thread rewrites its lines every millisecond meanwhile.
  const int ticks = plug->Status().watchTicks;
  for (int i = 0; i < 200; ++i) {
    plug->GetGUI()->SetAllControlsDirty();
    Paint(*plug);
  }
  EXPECT_TRUE(WaitFor([&] { return plug->Status().watchTicks > ticks + 5; }));
  const std::string status = ControlText(*plug, kStatus);
  EXPECT_TRUE(status == "Not connected" || status == "Prior device not found" ||
              status.compare(0, 10, "Connected:") == 0)
      << status;
}

}  // namespace
