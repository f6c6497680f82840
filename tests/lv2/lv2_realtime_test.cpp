// run() never waits for the instance's lock: with the lock held by another
// thread, blocks with changing control values still complete, and the values
// reach the plug-in once the worker runs after the lock is free.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/lv2/direct_instance.h"
#include "tests/plugin/scripted_relay.h"

namespace {

TEST(RealTimeTest, RunCompletesWhileAnotherThreadHoldsTheLock) {
  ScriptedRelay relay;
  UseTestRelay(relay.Port(), 60000);
  DirectInstance instance(48000.0, 512);
  Skylane* plug = instance.Plug();
  ASSERT_NE(plug, nullptr);
  std::promise<void> held, release;
  std::thread holder([&, plug] {
    PlugBase::IMutexLock lock(plug);
    held.set_value();
    release.get_future().wait();
  });
  held.get_future().wait();
  auto blocks = std::async(std::launch::async, [&] {
    for (int i = 1; i <= 201; ++i) {
      instance.controls[0] = (float)(i % 4);
      instance.controls[1] = (float)(1 + i % 4);
      instance.Run(i % 2 ? 64 : 8192);
    }
  });
  const bool finished = blocks.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
  release.set_value();
  holder.join();
  blocks.wait();
  ASSERT_TRUE(finished) << "run() waited for the lock";
  EXPECT_GT(instance.Requests(), 0);
  EXPECT_EQ(plug->GetParam(kParamChannel)->Value(), 0.0);  // nothing applied yet
  EXPECT_GT(instance.RunWorker(), 0);
  // The last block's values: 201 % 4 and 1 + 201 % 4.
  EXPECT_EQ(plug->GetParam(kParamChannel)->Value(), 1.0);
  EXPECT_EQ(plug->GetParam(kParamLatency)->Value(), 2.0);
  instance.controls[0] = 3.0f;
  instance.Run(1);
  instance.RunWorker();
  EXPECT_EQ(plug->GetParam(kParamChannel)->Value(), 3.0);
  EXPECT_EQ(plug->Status().requestedChannel, 3);
}

}  // namespace
