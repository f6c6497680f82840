// skylane-host with Skylane.so: --render-editor writes the editor's picture
// without any display, --editor shows the editor on a (private Xvfb) display
// while the audio runs.
#include "tests/host/tool_runner.h"
#include "tests/plugin/scripted_relay.h"
#include "raster/png/png_loader.h"
#include "tests/gui/x11/x11_test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

namespace {

class HostEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SKYLANE_RELAY_PORT", std::to_string(mRelay.Port()).c_str(), 1);
    // In sanitizer builds: the host unloads the plug-in before the leak check,
    // so fontconfig's lifelong allocations can no longer be told from others
    // by their library; the editor's own code is leak-checked in process.
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
  }
  void TearDown() override {
    unsetenv("SKYLANE_RELAY_PORT");
    unsetenv("ASAN_OPTIONS");
  }

  ScriptedRelay mRelay;  // never answers: the editor shows its start state
  ScratchDir mScratch;
};

TEST_F(HostEditorTest, RenderEditorWritesThePictureWithoutADisplay) {
  const std::string display = TestDisplayName();
  unsetenv("DISPLAY");
  const std::string png = mScratch.File("editor.png");
  const ToolResult r = RunHost({"--plugin", SKYLANE_MODULE, "--render-editor", png});
  setenv("DISPLAY", display.c_str(), 1);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::unique_ptr<PX_IBitmap> picture(PX_LoadPNG(png.c_str()));
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(picture->getWidth(), 500);
  EXPECT_EQ(picture->getHeight(), 332);
  // Dark text pixels in the status line ("Disconnected") on the light panel.
  int dark = 0;
  for (int y = 20; y < 48; ++y) {
    for (int x = 16; x < 120; ++x) {
      dark += PX_GETR(picture->getBits()[y * picture->getRowSpan() + x]) < 64;
    }
  }
  EXPECT_GT(dark, 50);
}

// Dark pixels of the status line.
int StatusInk(PX_IBitmap& picture) {
  int dark = 0;
  for (int y = 20; y < 48; ++y) {
    for (int x = 16; x < 300; ++x)
      dark += PX_GETR(picture.getBits()[y * picture.getRowSpan() + x]) < 64;
  }
  return dark;
}

// After a run the picture shows the editor as the run left it: here linked
// to a relay that lists no device, not the state after the host turned it off.
TEST_F(HostEditorTest, RenderEditorAfterARunShowsTheLinkOfTheRun) {
  setenv("SKYLANE_TICK_MS", "10", 1);
  int client = -1;
  std::thread relay([&] { client = mRelay.Accept(10000); });
  const std::string linked = mScratch.File("linked.png"), start = mScratch.File("start.png");
  const ToolResult r =
      RunHost({"--plugin", SKYLANE_MODULE, "--seconds", "1", "--quiet", "--render-editor", linked});
  relay.join();
  const ToolResult s = RunHost({"--plugin", SKYLANE_MODULE, "--render-editor", start});
  unsetenv("SKYLANE_TICK_MS");
  if (client >= 0) close(client);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_EQ(s.exitCode, 0) << s.err;
  ASSERT_GE(client, 0);
  std::unique_ptr<PX_IBitmap> a(PX_LoadPNG(linked.c_str())), b(PX_LoadPNG(start.c_str()));
  ASSERT_TRUE(a && b);
  EXPECT_GT(StatusInk(*a), StatusInk(*b) + 100);  // "Prior device not found" is longer
}

TEST_F(HostEditorTest, RenderEditorOfAPlugInWithoutEditorFails) {
  const ToolResult r =
      RunHost({"--plugin", NO_EDITOR_PLUGIN, "--render-editor", mScratch.File("none.png")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no editor picture"), std::string::npos) << r.err;
  const ToolResult run = RunHost({"--plugin", NO_EDITOR_PLUGIN, "--seconds", "0.1", "--fast",
                                  "--quiet", "--render-editor", mScratch.File("none.png")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("no editor picture"), std::string::npos) << run.err;
}

TEST_F(HostEditorTest, EditorShowsWhileTheAudioRuns) {
  const ToolResult r =
      RunHost({"--plugin", SKYLANE_MODULE, "--editor", "--seconds", "0.5", "--quiet"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string display = TestDisplayName();
  unsetenv("DISPLAY");
  const ToolResult noDisplay =
      RunHost({"--plugin", SKYLANE_MODULE, "--editor", "--seconds", "0.1", "--quiet"});
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(noDisplay.exitCode, 1);
  EXPECT_NE(noDisplay.err.find("X display"), std::string::npos) << noDisplay.err;
}

}  // namespace
