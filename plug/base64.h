#pragma once
// Standard base64 (A-Z, a-z, 0-9, '+', '/') for preset blobs.

#include <cstdint>

// Decodes text into at most maxBytes bytes; stops at the first character outside
// the alphabet (padding, end of text). Returns the number of bytes stored.
int Base64Decode(const char* text, uint8_t* pDst, int maxBytes);
// Encodes n bytes with padding into pDst, which holds Base64EncodedSize(n) bytes
// (terminator included). Returns the text length.
int Base64Encode(const uint8_t* pSrc, int n, char* pDst);
// Buffer size Base64Encode needs for n bytes, terminator included.
int Base64EncodedSize(int n);
