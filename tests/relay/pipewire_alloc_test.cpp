// PipeWire's real-time thread runs the relay's process callback: while a
// device streams from a private PipeWire, that thread allocates nothing.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "relay/jack_feed.h"
#include "relay/pipewire_link.h"
#include "tests/relay/pipewire_server.h"
#include "tests/relay/thread_allocations.h"

namespace relay {
namespace {

constexpr auto kDeadline = std::chrono::seconds(20);

template <typename Pred>
bool WaitFor(Pred pred) {
  const auto end = std::chrono::steady_clock::now() + kDeadline;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

TEST(ThreadAllocations, CountsTheWatchedThreadOnly) {
  std::atomic<pid_t> tid{-1};
  std::atomic<bool> go{false}, done{false};
  std::thread other([&] {
    tid = gettid();
    while (!go) std::this_thread::yield();
    std::vector<std::unique_ptr<int>> grown;
    for (int i = 0; i < 10; ++i) grown.push_back(std::make_unique<int>(i));
    done = true;
  });
  ASSERT_TRUE(WaitFor([&] { return tid.load() > 0; }));
  const int counted = AllocationsOnThreadDuring(tid, [&] {
    auto mine = std::make_unique<std::vector<int>>(100);
    go = true;
    ASSERT_TRUE(WaitFor([&] { return done.load(); }));
  });
  other.join();
  EXPECT_GE(counted, 10);
  EXPECT_LT(counted, 30);
}

TEST(PipeWireProcess, AllocatesNothingWhileStreaming) {
  if (!relay_test::PipeWireInstalled()) GTEST_SKIP() << "PipeWire is not installed";
  relay_test::PrivatePipeWire pw;
  ASSERT_TRUE(pw.Start()) << pw.Log();
  ASSERT_TRUE(pw.AddSink("alloc-sink")) << pw.Log();
  ASSERT_TRUE(pw.Play("alloc-sink", 256)) << pw.Log();
  auto feed = std::make_shared<JackFeed>();
  std::string error;
  auto link =
      PipeWireLink::Open({{"Alloc", PwMode::kTarget, "alloc-sink"}}, {feed}, nullptr, &error);
  ASSERT_TRUE(link) << error;
  // Streaming: the ring fills. The real-time thread is PipeWire's data loop.
  ASSERT_TRUE(WaitFor([&] { return feed->live() && feed->ring().Available() > 4096; })) << pw.Log();
  // Beside this one, the connection has two threads: its event loop, named
  // after the connection, and PipeWire's data loop, which runs the callback.
  std::vector<pid_t> others;
  for (const auto& thread : ThreadsOfThisProcess())
    if (thread.first != gettid() && thread.second.rfind("skylane-pipewir", 0) != 0)
      others.push_back(thread.first);
  ASSERT_EQ(others.size(), 1u);
  const pid_t rt = others[0];
  size_t frames = 0;
  const int allocations = AllocationsOnThreadDuring(rt, [&] {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
      frames += feed->ring().Discard(feed->ring().Available());
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  EXPECT_GT(frames, 48000u) << "the callback ran";
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace relay
