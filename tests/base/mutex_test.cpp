#include "base/mutex.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Mutex, RecursiveEntryAndExclusion) {
  SkyMutex m;
  {
    SkyMutexLock outer(&m);
    SkyMutexLock inner(&m);
    EXPECT_EQ(m.GetEnterCount(), 2);
  }
  SkyMutexLock none(nullptr);

  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      SkyMutexLock lock(&m);
      ++counter;
    }
  };
  std::thread a(work), b(work);
  a.join();
  b.join();
  EXPECT_EQ(counter, 40000);
}
