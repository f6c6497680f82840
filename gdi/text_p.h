// Text preparation for drawing: prefix, line-break and UTF-8 rules.
#pragma once

#include <cstdint>

enum { kGdiMaxTextBytes = 4095 };

// The code points of a text ready for layout.
struct GdiPreparedText {
  uint32_t cps[kGdiMaxTextBytes];
  int n;
  bool multiline;  // cps holds LF (10) line separators
};

// Copies at most 4095 bytes (len >= 0 limits the input) applying the drawing
// flags: without DT_NOPREFIX each '&' is dropped and the next character kept,
// CR is dropped, LF becomes a space with DT_SINGLELINE. The bytes are then
// decoded as UTF-8; a byte that starts no valid sequence stands for itself.
void GdiPrepareText(const char* text, int len, int flags, GdiPreparedText* out);

// Decodes one character of s[0 .. n-1] (n >= 1); *used receives its byte count.
uint32_t GdiDecodeUtf8(const unsigned char* s, int n, int* used);
