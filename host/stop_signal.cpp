#include "host/stop_signal.h"

#include <signal.h>

namespace {

std::atomic<int> gReceived{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "the handler may only touch lock-free atomics");

struct sigaction gPrevious[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

void OnSignal(int signal) {
  int none = 0;
  gReceived.compare_exchange_strong(none, signal, std::memory_order_relaxed);
}

}  // namespace

StopSignals::StopSignals() {
  gReceived.store(0, std::memory_order_relaxed);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  // Back to the default after one delivery: a second Ctrl-C still ends a run
  // whose plug-in no longer returns.
  action.sa_flags = SA_RESETHAND;
  for (int i = 0; i < 2; ++i) {
    sigaction(kSignals[i], nullptr, &gPrevious[i]);
    // A signal ignored from the start (a background job of a script) stays ignored.
    if (gPrevious[i].sa_handler != SIG_IGN) sigaction(kSignals[i], &action, nullptr);
  }
}

StopSignals::~StopSignals() {
  for (int i = 0; i < 2; ++i) sigaction(kSignals[i], &gPrevious[i], nullptr);
}

const std::atomic<int>& StopSignals::received() { return gReceived; }
