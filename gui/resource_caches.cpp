#include "gui/resource_caches.h"

#include <sched.h>

#include <atomic>
#include <chrono>

namespace {

enum { kNotMade, kAlive, kGone };

// Plain atomics: constant-initialised and never destroyed, so they can still
// be asked after the caches are gone.
std::atomic<int> s_state{kNotMade};
std::atomic<int> s_users{0};

// How long teardown waits for uses in progress before it abandons (leaks)
// the caches rather than free them under a user.
constexpr std::chrono::seconds kTeardownWait(2);

class ResourceCaches {
 public:
  ResourceCaches() : s_bitmapCache(new BitmapStorage), s_fontCache(new FontStorage) {
    s_state.store(kAlive, std::memory_order_seq_cst);
  }
  ~ResourceCaches() {
    s_state.store(kGone, std::memory_order_seq_cst);
    const auto deadline = std::chrono::steady_clock::now() + kTeardownWait;
    while (s_users.load(std::memory_order_seq_cst) > 0) {
      if (std::chrono::steady_clock::now() > deadline) return;
      sched_yield();
    }
    delete s_fontCache;
    delete s_bitmapCache;
  }
  ResourceCaches(const ResourceCaches&) = delete;
  ResourceCaches& operator=(const ResourceCaches&) = delete;

  BitmapStorage* const s_bitmapCache;
  FontStorage* const s_fontCache;
};

ResourceCaches& Caches() {
  static ResourceCaches caches;
  return caches;
}

}  // namespace

ResourceUse::ResourceUse() {
  // Paired with the teardown's store and load (all sequentially consistent):
  // either teardown sees this use, or this use sees the teardown.
  s_users.fetch_add(1, std::memory_order_seq_cst);
  if (s_state.load(std::memory_order_seq_cst) == kGone) {
    s_users.fetch_sub(1, std::memory_order_release);
    return;
  }
  ResourceCaches& caches = Caches();
  mBitmaps = caches.s_bitmapCache;
  mFonts = caches.s_fontCache;
}

ResourceUse::~ResourceUse() {
  if (mBitmaps) s_users.fetch_sub(1, std::memory_order_release);
}
