#include "gui/resource_caches.h"

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>

namespace {

// Plain atomics and a statically initialised mutex: never destroyed, so they
// can still be used after the caches are gone.
std::atomic<bool> s_gone{false};
std::atomic<int> s_users{0};
std::atomic<FontStorage*> s_fontsMade{nullptr};
pthread_mutex_t s_textMutex = PTHREAD_RECURSIVE_MUTEX_INITIALIZER_NP;

// How long teardown waits for uses in progress before it abandons (leaks)
// the caches rather than free them under a user.
constexpr std::chrono::seconds kTeardownWait(2);

// Refuses new uses and waits for those in progress; false when some remain.
bool EndUses() {
  s_gone.store(true, std::memory_order_seq_cst);
  const auto deadline = std::chrono::steady_clock::now() + kTeardownWait;
  while (s_users.load(std::memory_order_seq_cst) > 0) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    sched_yield();
  }
  return true;
}

// One cache, made on first use and freed when the module's static objects go.
template <class T>
class CacheHolder {
 public:
  CacheHolder() : mStorage(new T) {}
  ~CacheHolder() {
    if (EndUses()) delete mStorage;
  }
  CacheHolder(const CacheHolder&) = delete;
  CacheHolder& operator=(const CacheHolder&) = delete;

  T* const mStorage;
};

BitmapStorage* BitmapCache() {
  static CacheHolder<BitmapStorage> s_bitmapCache;
  return s_bitmapCache.mStorage;
}

FontStorage* FontCache() {
  static CacheHolder<FontStorage> s_fontCache;
  s_fontsMade.store(s_fontCache.mStorage, std::memory_order_release);
  return s_fontCache.mStorage;
}

}  // namespace

ResourceUse::ResourceUse() {
  // Paired with EndUses (all sequentially consistent): either teardown sees
  // this use, or this use sees the teardown.
  s_users.fetch_add(1, std::memory_order_seq_cst);
  mGranted = !s_gone.load(std::memory_order_seq_cst);
  if (!mGranted) s_users.fetch_sub(1, std::memory_order_release);
}

ResourceUse::~ResourceUse() {
  if (mGranted) s_users.fetch_sub(1, std::memory_order_release);
}

BitmapStorage* ResourceUse::Bitmaps() const { return mGranted ? BitmapCache() : nullptr; }

FontStorage* ResourceUse::Fonts() const { return mGranted ? FontCache() : nullptr; }

FontStorage* ResourceUse::FontsIfMade() const {
  return mGranted ? s_fontsMade.load(std::memory_order_acquire) : nullptr;
}

TextLock::TextLock() { pthread_mutex_lock(&s_textMutex); }

TextLock::~TextLock() { pthread_mutex_unlock(&s_textMutex); }
