#include "plugin/status_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

void copyBounded(char* dest, int size, const char* text) {
  const size_t n = strnlen(text, static_cast<size_t>(size - 1));
  std::memcpy(dest, text, n);
  dest[n] = '\0';
}

}  // namespace

StatusText::StatusText(const char* initial) {
  copyBounded(mText, kCapacity, initial ? initial : "");
}

void StatusText::StoreLocked(const char* text) {
  copyBounded(mText, kCapacity, text);
  if (mSink) mSink(mContext, mText);
}

void StatusText::Set(const char* text) {
  std::lock_guard<std::mutex> lock(mMutex);
  StoreLocked(text ? text : "");
}

void StatusText::Format(const char* format, ...) {
  char text[kCapacity];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Set(text);
}

void StatusText::Copy(char* dest, int size) const {
  if (!dest || size <= 0) return;
  std::lock_guard<std::mutex> lock(mMutex);
  copyBounded(dest, size, mText);
}

void StatusText::Attach(Sink sink, void* context) {
  std::lock_guard<std::mutex> lock(mMutex);
  mSink = sink;
  mContext = context;
  if (mSink) mSink(mContext, mText);
}
