#include "base/sky_string.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

SkyString::SkyString(const char* initial, int maxLen) {
  if (initial) Set(initial, maxLen);
}

SkyString::SkyString(const SkyString& other) {
  if (other.m_hb.GetSize()) Set(other.Get());
}

SkyString& SkyString::operator=(const SkyString& other) {
  if (this != &other) Set(other.Get());
  return *this;
}

int SkyString::TextLength(const char* text, int maxLen) {
  if (!text) return 0;
  if (maxLen <= 0) {
    const size_t n = strlen(text);
    return n > INT32_MAX / 2 ? INT32_MAX / 2 : static_cast<int>(n);
  }
  return static_cast<int>(strnlen(text, static_cast<size_t>(maxLen)));
}

// Writes length characters of text at offset, first moving keepTail bytes at
// offset up by length. A text that lies inside this string's own buffer is
// followed when the buffer moves.
void SkyString::Place(int offset, const char* text, int length, int keepTail) {
  if (length == 0 && keepTail == 0 && offset == 0) {
    if (char* p = static_cast<char*>(m_hb.ResizeOK(1, false))) p[0] = 0;
    return;
  }
  if (length <= 0 || offset < 0 || keepTail < 0) return;
  const int64_t wanted = int64_t{offset} + length + keepTail + 1;
  if (wanted > INT32_MAX) return;
  const int newSize = static_cast<int>(wanted);
  const int oldSize = m_hb.GetSize();

  if (newSize > oldSize) {
    const char* old = static_cast<const char*>(m_hb.Get());
    const bool inside = old && text >= old && text < old + oldSize;
    const std::ptrdiff_t textOffset = inside ? text - old : 0;
    if (!m_hb.ResizeOK(newSize, false)) return;
    if (inside) text = static_cast<const char*>(m_hb.Get()) + textOffset;
  }
  char* p = static_cast<char*>(m_hb.Get());
  std::memmove(p + offset + length, p + offset, static_cast<size_t>(keepTail));
  if (text) std::memmove(p + offset, text, static_cast<size_t>(length));
  p[newSize - 1] = 0;
  if (newSize < oldSize) m_hb.Resize(newSize, false);
}

void SkyString::Set(const char* text, int maxLen) { Place(0, text, TextLength(text, maxLen), 0); }

void SkyString::Append(const char* text, int maxLen) {
  Place(GetLength(), text, TextLength(text, maxLen), 0);
}

void SkyString::Insert(const char* text, int position, int maxLen) {
  const int length = GetLength();
  if (position < 0 || position > length) return;
  Place(position, text, TextLength(text, maxLen), length - position);
}

char* SkyString::Get() {
  if (m_hb.GetSize()) return static_cast<char*>(m_hb.Get());
  static char empty;
  empty = 0;
  return &empty;
}

const char* SkyString::Get() const {
  return m_hb.GetSize() ? static_cast<const char*>(m_hb.Get()) : "";
}

int SkyString::GetLength() const {
  return m_hb.GetSize() ? static_cast<int>(strlen(static_cast<const char*>(m_hb.Get()))) : 0;
}

void SkyString::SetLen(int length, bool allowShrink) {
  if (length < 0) length = 0;
  if (length == INT32_MAX) return;
  if (char* p = static_cast<char*>(m_hb.ResizeOK(length + 1, allowShrink))) p[length] = 0;
}

void SkyString::DeleteSub(int position, int count) {
  const int length = GetLength();
  if (length == 0 || position < 0 || position >= length) return;
  count = std::min(count, length - position);
  if (count <= 0) return;
  char* p = static_cast<char*>(m_hb.Get());
  std::memmove(p + position, p + position + count,
               static_cast<size_t>(length - position - count + 1));
  m_hb.Resize(m_hb.GetSize() - count, false);
}

void SkyString::FormatAt(int position, int maxLen, const char* format, va_list args) {
  if (maxLen < 0) maxLen = 0;
  const int64_t wanted = int64_t{position} + maxLen + 1;
  if (wanted > INT32_MAX) return;
  char* p = static_cast<char*>(m_hb.ResizeOK(static_cast<int>(wanted), false));
  if (!p) return;
  const int produced = vsnprintf(p + position, static_cast<size_t>(maxLen) + 1, format, args);
  m_hb.Resize(position + std::min(maxLen, std::max(produced, 0)) + 1, false);
}

void SkyString::SetFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAt(0, maxLen, format, args);
  va_end(args);
}

void SkyString::AppendFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatAt(GetLength(), maxLen, format, args);
  va_end(args);
}
