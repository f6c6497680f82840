// SkyMutex: a recursive POSIX mutex; SkyMutexLock: a scoped lock on one.
#pragma once

#include <pthread.h>

class SkyMutex {
 public:
  SkyMutex();
  ~SkyMutex();
  SkyMutex(const SkyMutex&) = delete;
  SkyMutex& operator=(const SkyMutex&) = delete;

  void Enter();
  void Leave();
  // How many times the owning thread has entered; meaningful to that thread only.
  int GetEnterCount() const { return m_enterCount; }

 private:
  pthread_mutex_t m_mutex;
  int m_enterCount = 0;
};

// Enters the mutex on construction and leaves it on destruction; a null mutex is ignored.
class SkyMutexLock {
 public:
  explicit SkyMutexLock(SkyMutex* mutex) : m_mutex(mutex) {
    if (m_mutex) m_mutex->Enter();
  }
  ~SkyMutexLock() {
    if (m_mutex) m_mutex->Leave();
  }
  SkyMutexLock(const SkyMutexLock&) = delete;
  SkyMutexLock& operator=(const SkyMutexLock&) = delete;

 private:
  SkyMutex* m_mutex;
};
