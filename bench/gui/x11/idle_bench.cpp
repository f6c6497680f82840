// The cost of one effEditIdle of Skylane's editor on a private Xvfb, each
// timed beside one plain copy of a 500 x 332 bitmap in the same round. The
// counter "ratio" is the idle call's time over the copy's. Goals: nothing
// dirty < 0.01, one text line changed < 0.5. Times are the calling thread's
// processor time (the X server's own work runs in its process).
//
// - NothingDirtyBackToBack: calls as fast as possible (warm caches); most
//   find no frame due, and with no request sent since, only those 2 ms or
//   more after the last read of the connection read it again.
// - EventCheckAlone: one read of the connection (XPending), what every call
//   at a host's usual idle rate pays.
// - NothingDirtyFrameDue: a frame is due (1/FPS() passed), nothing changed:
//   pending events are read and the editor is asked whether anything is dirty.
// - OneTextChanged: the status line changed and a frame is due: the line is
//   repainted, converted and handed to the server.
// - OneTextRepaintOnly: the same repaint without the idle call around it and
//   without the copy to the window: the share of the drawing itself.
// The editor's idle keeper is off: it would run the turns itself during the
// pauses, which are longer than the silence after which it takes over.
// A frame is due only after a pause of 1/FPS(), which leaves the caches
// cold; the copy of those rounds is timed after a pause of its own, so both
// sides start equally cold.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "gui/controls/text.h"
#include "gui/x11/graphics_x11.h"
#include "plugin/skylane.h"
#include "bench/gui/copy_baseline.h"
#include "tests/gui/x11/xvfb_server.h"

#include <X11/Xlib.h>

namespace {

constexpr int kW = kEditorW, kH = kEditorH;
constexpr int kStatusControl = 4;

// Skylane with its editor open in a host window; its watch thread does not
// tick during the run, so only the benchmark changes the editor.
struct OpenEditor {
  Display* host = XOpenDisplay(nullptr);
  Window parent = XCreateSimpleWindow(host, DefaultRootWindow(host), 0, 0, kW, kH, 0, 0, 0);
  std::unique_ptr<Skylane> plug;
  GraphicsX11* gui = nullptr;

  OpenEditor() {
    XMapWindow(host, parent);
    XSync(host, False);
    setenv("SKYLANE_TICK_MS", "60000", 1);
    setenv("SKYLANE_RELAY_PORT", "1", 1);
    plug.reset(new Skylane(PlugInstanceInfo{nullptr}));
    gui = dynamic_cast<GraphicsX11*>(plug->GetGUI());
    if (gui) gui->UseIdleKeeper(false);
    if (!gui || !Dispatch(effEditOpen, (void*)(uintptr_t)parent)) {
      fprintf(stderr, "the editor did not open\n");
      exit(1);
    }
    Settle();
  }
  ~OpenEditor() {
    Dispatch(effEditClose);
    plug.reset();
    XCloseDisplay(host);
  }
  VstIntPtr Dispatch(VstInt32 op, void* ptr = nullptr) {
    AEffect* pEffect = plug->GetAEffect();
    return pEffect->dispatcher(pEffect, op, 0, 0, ptr, 0.0f);
  }
  // Idles until everything is painted and the server has read the last copy.
  void Settle() {
    IRECT r;
    for (int i = 0; i < 10000 && (gui->IsDirty(&r) || gui->ScreenCopyPending()); ++i) {
      Dispatch(effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  void WaitForFrame() {
    std::this_thread::sleep_for(std::chrono::microseconds(1000000 / gui->FPS() + 1000));
  }
};

OpenEditor* s_editor = nullptr;

// Times ours() after prepare() and a frame's pause, and the copy after a
// pause of its own.
template <class P, class A>
void ColdPair(benchmark::State& state, P prepare, A ours) {
  BaselineCopy copy;
  double tOurs = 0, tCopy = 0;
  for (auto _ : state) {
    prepare();
    s_editor->WaitForFrame();
    const double t0 = ThreadSeconds();
    ours();
    tOurs += ThreadSeconds() - t0;
    s_editor->WaitForFrame();
    const double t1 = ThreadSeconds();
    copy();
    tCopy += ThreadSeconds() - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_us"] = tOurs / n * 1e6;
  state.counters["copy_us"] = tCopy / n * 1e6;
  state.counters["ratio"] = tOurs / tCopy;
}

void BM_IdleNothingDirtyFrameDueVsCopy(benchmark::State& state) {
  OpenEditor& e = *s_editor;
  e.Settle();
  ColdPair(
      state, [] {}, [&] { e.Dispatch(effEditIdle); });
}

void BM_IdleNothingDirtyBackToBackVsCopy(benchmark::State& state) {
  constexpr int kCalls = 1000;
  OpenEditor& e = *s_editor;
  e.Settle();
  Pair(
      state, [] {},
      [&] {
        for (int i = 0; i < kCalls; ++i) e.Dispatch(effEditIdle);
      },
      kCalls);
}

void BM_EventCheckAloneVsCopy(benchmark::State& state) {
  constexpr int kCalls = 1000;
  Display* pDisplay = (Display*)s_editor->gui->GetDisplay();
  Pair(
      state, [] {},
      [&] {
        for (int i = 0; i < kCalls; ++i) benchmark::DoNotOptimize(XPending(pDisplay));
      },
      kCalls);
}

// Settles the editor, then changes its status line to the other of two texts.
class StatusChange {
 public:
  explicit StatusChange(OpenEditor& e)
      : mEditor(e), mStatus(dynamic_cast<ITextControl*>(e.gui->GetControl(kStatusControl))) {}
  void operator()() {
    mEditor.Settle();
    mStatus->SetTextFromPlug(kTexts[mFlip ^= 1]);
  }

 private:
  static constexpr const char* kTexts[2] = {"Connected: Desk - Input 1",
                                            "Connected: Studio - Input 2"};
  OpenEditor& mEditor;
  ITextControl* mStatus;
  int mFlip = 0;
};

void BM_IdleOneTextChangedVsCopy(benchmark::State& state) {
  OpenEditor& e = *s_editor;
  ColdPair(state, StatusChange(e), [&] { e.Dispatch(effEditIdle); });
}

void BM_OneTextRepaintOnlyVsCopy(benchmark::State& state) {
  OpenEditor& e = *s_editor;
  ColdPair(state, StatusChange(e), [&] {
    IRECT r;
    if (e.gui->IsDirty(&r)) e.gui->Draw(&r);
  });
}

BENCHMARK(BM_IdleNothingDirtyBackToBackVsCopy);
BENCHMARK(BM_EventCheckAloneVsCopy);
BENCHMARK(BM_IdleNothingDirtyFrameDueVsCopy)->Iterations(100);
BENCHMARK(BM_IdleOneTextChangedVsCopy)->Iterations(100);
BENCHMARK(BM_OneTextRepaintOnlyVsCopy)->Iterations(100);

}  // namespace

int main(int argc, char** argv) {
  XvfbServer server;
  if (!server.Start()) {
    fprintf(stderr, "%s\n", server.Error().c_str());
    return 1;
  }
  setenv("DISPLAY", server.DisplayName().c_str(), 1);
  benchmark::Initialize(&argc, argv);
  s_editor = new OpenEditor;
  benchmark::RunSpecifiedBenchmarks();
  delete s_editor;
  benchmark::Shutdown();
  return 0;
}
