#pragma once
// Small text and number routines shared by the plug-in framework's sources.

#include <cmath>
#include <cstring>

// Copies at most size - 1 characters of src (null reads as empty) and terminates.
inline void CopyText(char* dst, const char* src, int size) {
  if (size <= 0) return;
  int n = 0;
  if (src)
    while (n < size - 1 && src[n]) ++n;
  memcpy(dst, src ? src : "", n);
  dst[n] = 0;
}

// Truncation toward zero that saturates at the int range and maps NaN to 0.
inline int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return (int)v;
}
