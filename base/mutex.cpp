#include "base/mutex.h"

SkyMutex::SkyMutex() {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&m_mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

SkyMutex::~SkyMutex() { pthread_mutex_destroy(&m_mutex); }

void SkyMutex::Enter() {
  pthread_mutex_lock(&m_mutex);
  ++m_enterCount;
}

void SkyMutex::Leave() {
  --m_enterCount;
  pthread_mutex_unlock(&m_mutex);
}
