// WDL_Mutex: a recursive POSIX mutex; WDL_MutexLock: a scoped lock on one.
#pragma once

#include <pthread.h>

class WDL_Mutex {
 public:
  WDL_Mutex();
  ~WDL_Mutex();
  WDL_Mutex(const WDL_Mutex&) = delete;
  WDL_Mutex& operator=(const WDL_Mutex&) = delete;

  void Enter();
  void Leave();
  // How many times the owning thread has entered; meaningful to that thread only.
  int GetEnterCount() const { return m_enterCount; }

 private:
  pthread_mutex_t m_mutex;
  int m_enterCount = 0;
};

// Enters the mutex on construction and leaves it on destruction; a null mutex is ignored.
class WDL_MutexLock {
 public:
  explicit WDL_MutexLock(WDL_Mutex* mutex) : m_mutex(mutex) {
    if (m_mutex) m_mutex->Enter();
  }
  ~WDL_MutexLock() {
    if (m_mutex) m_mutex->Leave();
  }
  WDL_MutexLock(const WDL_MutexLock&) = delete;
  WDL_MutexLock& operator=(const WDL_MutexLock&) = delete;

 private:
  WDL_Mutex* m_mutex;
};
