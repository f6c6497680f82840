// Parameter values and texts stored by other threads while the GUI thread
// draws; shared caches used from several threads at once.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "gui/controls/panel.h"
#include "gui/controls/text.h"
#include "gui/resource_caches.h"
#include "tests/gui/gui_test_support.h"

namespace {

constexpr int kRounds = 2000;
constexpr int kRoundsPerMeeting = 100;

// Remembers the text of its last paint (GUI thread only).
class RecordingText : public ITextControl {
 public:
  using ITextControl::ITextControl;
  bool Draw(Graphics* pGraphics) override {
    mStr.Use([this](const char* text) { painted = text; });
    return ITextControl::Draw(pGraphics);
  }
  std::string painted;
};

TEST(GuiThreadsTest, ValuesAndTextsFromTwoThreadsWhileAThirdDraws) {
  EditorFixture f(200, 80);
  f.gui->AttachPanelBackground(&COLOR_GRAY);
  IText style(12, &COLOR_BLACK, "Liberation Sans");
  RecordingText* own[2] = {new RecordingText(&f.plug, IRECT(0, 0, 200, 16), &style),
                           new RecordingText(&f.plug, IRECT(0, 16, 200, 32), &style)};
  RecordingText* shared = new RecordingText(&f.plug, IRECT(0, 32, 200, 48), &style);
  f.gui->AttachControl(own[0]);
  f.gui->AttachControl(own[1]);
  f.gui->AttachControl(shared);
  ProbeControl* values[2] = {f.Probe(IRECT(0, 48, 100, 80), 0),
                             f.Probe(IRECT(100, 48, 200, 80), 1)};
  f.Attach();

  std::atomic<int> writing{2};
  std::atomic<int> cycles{0};
  auto writer = [&](int w) {
    char text[64];
    for (int i = 1; i <= kRounds; ++i) {
      snprintf(text, sizeof(text), "writer %d round %d", w, i);
      own[w]->SetTextFromPlug(text);
      shared->SetTextFromPlug(i % 2 ? text : "");
      f.gui->SetParameterFromPlug(w, static_cast<double>(i) / kRounds, true);
      if (i % kRoundsPerMeeting == 0) {
        // Let the GUI thread paint what is there, so that writes and paints overlap.
        const int seen = cycles.load(std::memory_order_acquire);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (cycles.load(std::memory_order_acquire) == seen &&
               std::chrono::steady_clock::now() < deadline) {
          std::this_thread::yield();
        }
      }
    }
    shared->SetTextFromPlug("done");
    writing.fetch_sub(1, std::memory_order_release);
  };
  std::thread a(writer, 0), b(writer, 1);
  while (writing.load(std::memory_order_acquire) > 0) {
    if (f.Tick()) cycles.fetch_add(1, std::memory_order_release);
  }
  a.join();
  b.join();
  while (f.Tick()) {
  }
  EXPECT_EQ("writer 0 round 2000", own[0]->painted);
  EXPECT_EQ("writer 1 round 2000", own[1]->painted);
  EXPECT_EQ("done", shared->painted);
  EXPECT_DOUBLE_EQ(1.0, values[0]->lastValue);
  EXPECT_DOUBLE_EQ(1.0, values[1]->lastValue);
  EXPECT_GE(cycles.load(), kRounds / kRoundsPerMeeting);
}

// Holds every decode until two threads are decoding at once.
class MeetingGraphics : public GraphicsHeadless {
 public:
  using GraphicsHeadless::GraphicsHeadless;
  PX_IBitmap* OSLoadBitmap(int ID, const char* name) override {
    {
      std::unique_lock<std::mutex> lock(mMutex);
      ++mInside;
      mMet.notify_all();
      mMet.wait_for(lock, std::chrono::seconds(20), [this] { return mInside >= 2; });
    }
    return GraphicsHeadless::OSLoadBitmap(ID, name);
  }
  int Decodes() {
    std::lock_guard<std::mutex> lock(mMutex);
    return mInside;
  }

 private:
  std::mutex mMutex;
  std::condition_variable mMet;
  int mInside = 0;
};

TEST(GuiThreadsTest, TwoThreadsMissingTheSameImageKeepOneCopy) {
  TestPlug plug;
  MeetingGraphics gui(&plug, 10, 10);
  ResourceUse use;
  ASSERT_TRUE(use);
  const int before = use.Bitmaps()->Count();
  IBitmap got[2];
  std::thread t0([&] { got[0] = gui.LoadIBitmap(300, "knob_top.png"); });
  std::thread t1([&] { got[1] = gui.LoadIBitmap(300, "knob_top.png"); });
  t0.join();
  t1.join();
  EXPECT_EQ(2, gui.Decodes());
  ASSERT_NE(nullptr, got[0].mData);
  EXPECT_EQ(got[0].mData, got[1].mData);
  EXPECT_EQ(before + 1, use.Bitmaps()->Count());
  EXPECT_EQ(got[0].mData, use.Bitmaps()->Find(300));
}

TEST(GuiThreadsTest, EditorsOnTwoThreadsShareFontsSafely) {
  // Plug-ins are made one at a time (as a host's entry call does); only the
  // painting runs on two threads.
  IText style(11, &COLOR_BLUE, "Liberation Mono");
  EditorFixture editors[2] = {EditorFixture(120, 20), EditorFixture(120, 20)};
  ITextControl* texts[2];
  for (int id = 0; id < 2; ++id) {
    texts[id] = new ITextControl(&editors[id].plug, IRECT(0, 0, 120, 20), &style);
    editors[id].gui->AttachControl(texts[id]);
    editors[id].Attach();
  }
  auto run = [&](int id) {
    char line[32];
    for (int i = 0; i < 300; ++i) {
      snprintf(line, sizeof(line), "editor %d line %d", id, i);
      texts[id]->SetTextFromPlug(line);
      editors[id].Tick();
    }
  };
  std::thread t0(run, 0), t1(run, 1);
  t0.join();
  t1.join();
  ResourceUse use;
  EXPECT_NE(nullptr, use.Fonts()->Find(&style));
}

}  // namespace
