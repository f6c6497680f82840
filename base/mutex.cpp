#include "base/mutex.h"

WDL_Mutex::WDL_Mutex() {
  pthread_mutexattr_t attr;
  pthread_mutexattr_init(&attr);
  pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&m_mutex, &attr);
  pthread_mutexattr_destroy(&attr);
}

WDL_Mutex::~WDL_Mutex() { pthread_mutex_destroy(&m_mutex); }

void WDL_Mutex::Enter() {
  pthread_mutex_lock(&m_mutex);
  ++m_enterCount;
}

void WDL_Mutex::Leave() {
  --m_enterCount;
  pthread_mutex_unlock(&m_mutex);
}
