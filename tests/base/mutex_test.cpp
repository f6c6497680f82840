#include "base/mutex.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Mutex, RecursiveEntryAndExclusion) {
  WDL_Mutex m;
  {
    WDL_MutexLock outer(&m);
    WDL_MutexLock inner(&m);
    EXPECT_EQ(m.GetEnterCount(), 2);
  }
  WDL_MutexLock none(nullptr);

  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      WDL_MutexLock lock(&m);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}
