// The input watch: data on the descriptor is reported, a report is taken
// once, and a stopped watch answers as if the connection were unwatched.
#include "gui/x11/x11_input_watch.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace {

bool TakenWithin(X11InputWatch* pWatch, std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!pWatch->TakeReadable()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

TEST(X11InputWatch, ReportsDataOnceUntilMoreArrives) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  X11InputWatch watch(fds[0]);
  EXPECT_TRUE(watch.TakeReadable());  // the first call always reads
  EXPECT_FALSE(watch.TakeReadable());
  EXPECT_FALSE(watch.TakeReadable());
  ASSERT_EQ(write(fds[1], "x", 1), 1);
  EXPECT_TRUE(TakenWithin(&watch, std::chrono::seconds(10)));
  char c;
  ASSERT_EQ(read(fds[0], &c, 1), 1);
  ASSERT_EQ(write(fds[1], "y", 1), 1);
  EXPECT_TRUE(TakenWithin(&watch, std::chrono::seconds(10)));
  watch.Stop();
  EXPECT_TRUE(watch.TakeReadable());
  EXPECT_TRUE(watch.TakeReadable());
  close(fds[0]);
  close(fds[1]);
}

}  // namespace
