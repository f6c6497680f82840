// ISharedText: a text that any thread may replace while the GUI thread draws
// it. Writers and the reader take a small lock for the copy or the draw, so
// the text is never read torn or after it was freed.
#pragma once

#include <mutex>

#include "base/sky_string.h"

class ISharedText {
 public:
  explicit ISharedText(const char* text = nullptr) : mText(text) {}
  ISharedText(const ISharedText&) = delete;
  ISharedText& operator=(const ISharedText&) = delete;

  // Stores text (null counts as empty); false when it equals the stored one.
  bool Set(const char* text);
  // Copies the current text into *pDest.
  void Get(SkyString* pDest) const;
  bool IsEmpty() const;
  // Calls fn(text) with the lock held; fn must not set this text again.
  template <class Fn>
  void Use(Fn&& fn) const {
    std::lock_guard<std::mutex> lock(mMutex);
    fn(mText.Get());
  }

 private:
  mutable std::mutex mMutex;
  SkyString mText;
};
