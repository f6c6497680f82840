// StatusText: one line of text that worker threads write and the editor shows.
// Texts are bounded and copied under a small lock, so a reader never sees a
// torn line; an attached sink (the editor's text control) gets every change.
#pragma once

#include <mutex>

class StatusText {
 public:
  static constexpr int kCapacity = 260;  // longest text 259 characters
  using Sink = void (*)(void* context, const char* text);

  explicit StatusText(const char* initial = "");

  // Stores text, cut at kCapacity - 1 characters; a null text stores "".
  void Set(const char* text);
  // Formats into the line, cut like Set.
  void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Copies the text into dest (size > 0), always terminated.
  void Copy(char* dest, int size) const;
  // Forwards the current text and every later change to sink (null detaches).
  void Attach(Sink sink, void* context);

 private:
  void StoreLocked(const char* text);

  mutable std::mutex mMutex;
  char mText[kCapacity];
  Sink mSink = nullptr;
  void* mContext = nullptr;
};
