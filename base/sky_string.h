// SkyString: a growable NUL-terminated text. After every set or append the
// logical size is the text length plus one; a string that never held text has size 0.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "base/heapbuf.h"

class SkyString {
 public:
  // maxLen <= 0 takes the whole text; otherwise at most maxLen characters.
  explicit SkyString(const char* initial = nullptr, int maxLen = 0);
  SkyString(const SkyString& other);
  SkyString& operator=(const SkyString& other);

  void Set(const char* text, int maxLen = 0);
  void Append(const char* text, int maxLen = 0);
  // Inserts text before position (0 ... length); other positions change nothing.
  void Insert(const char* text, int position, int maxLen = 0);

  // Never null: a string that never held text gives an empty text.
  char* Get();
  const char* Get() const;
  int GetLength() const;

  void SetLen(int length, bool allowShrink = false);
  void DeleteSub(int position, int count);

  void SetFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void AppendFormatted(int maxLen, const char* format, ...) __attribute__((format(printf, 3, 4)));

 private:
  static int TextLength(const char* text, int maxLen);
  void Place(int offset, const char* text, int length, int keepTail);
  void FormatAt(int position, int maxLen, const char* format, va_list args);

  SkyHeapBuf m_hb{128};
};
