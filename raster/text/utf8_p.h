// UTF-8 decoding and encoding for the 16-bit character codes of the font cache.
#pragma once

// Continuation bytes as the font cache reads them: 0x80 to 0xC0 inclusive.
static inline bool px_utf8_cont(unsigned char c) { return c >= 0x80 && c <= 0xC0; }

// Decodes one character from p (at most avail bytes, avail >= 1) into *code;
// returns the bytes consumed. Malformed bytes stand for themselves; 4-byte
// sequences become a space.
static inline int px_utf8char(const unsigned char* p, int avail, int* code) {
  const unsigned char c = p[0];
  if (c >= 0xC2 && c <= 0xDF && avail >= 2 && px_utf8_cont(p[1])) {
    *code = ((c & 0x1F) << 6) | (p[1] & 0x3F);
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF && avail >= 3 && px_utf8_cont(p[1]) && px_utf8_cont(p[2])) {
    *code = (((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F)) & 0xFFFF;
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4 && avail >= 4 && px_utf8_cont(p[1]) && px_utf8_cont(p[2]) &&
      px_utf8_cont(p[3])) {
    *code = ' ';
    return 4;
  }
  *code = c;
  return 1;
}

// Encodes a 16-bit code as 1, 2 or 3 bytes plus a NUL; returns the byte count.
static inline int px_utf8makechar(char* out, unsigned code) {
  int n;
  if (code < 0x80) {
    out[0] = (char)code;
    n = 1;
  } else if (code < 0x800) {
    out[0] = (char)(0xC0 | (code >> 6));
    out[1] = (char)(0x80 | (code & 0x3F));
    n = 2;
  } else {
    out[0] = (char)(0xE0 | ((code >> 12) & 0x0F));
    out[1] = (char)(0x80 | ((code >> 6) & 0x3F));
    out[2] = (char)(0x80 | (code & 0x3F));
    n = 3;
  }
  out[n] = 0;
  return n;
}
