#include "plug/base64.h"

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

int Base64Decode(const char* text, uint8_t* pDst, int maxBytes) {
  if (!text || !pDst) return 0;
  int n = 0;
  unsigned int acc = 0;
  int bits = 0;
  for (; n < maxBytes; ++text) {
    int sextet = SextetOf(*text);
    if (sextet < 0) break;
    acc = ((acc << 6) | (unsigned int)sextet) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      pDst[n++] = (uint8_t)(acc >> bits);
    }
  }
  return n;
}

int Base64EncodedSize(int n) { return n <= 0 ? 1 : (n + 2) / 3 * 4 + 1; }

int Base64Encode(const uint8_t* pSrc, int n, char* pDst) {
  int len = 0;
  for (int i = 0; i < n; i += 3) {
    int remain = n - i;
    unsigned int triple = (unsigned int)pSrc[i] << 16;
    if (remain > 1) triple |= (unsigned int)pSrc[i + 1] << 8;
    if (remain > 2) triple |= pSrc[i + 2];
    pDst[len++] = kAlphabet[(triple >> 18) & 63];
    pDst[len++] = kAlphabet[(triple >> 12) & 63];
    pDst[len++] = remain > 1 ? kAlphabet[(triple >> 6) & 63] : '=';
    pDst[len++] = remain > 2 ? kAlphabet[triple & 63] : '=';
  }
  pDst[len] = 0;
  return len;
}
