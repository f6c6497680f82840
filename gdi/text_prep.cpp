// Prefix, line-break and UTF-8 rules applied before text is laid out.
#include "gdi/gdi_types.h"
#include "gdi/text_p.h"

namespace {

bool IsCont(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

}  // namespace

uint32_t GdiDecodeUtf8(const unsigned char* s, int n, int* used) {
  const unsigned c = s[0];
  *used = 1;
  if (c >= 0xC2 && c <= 0xDF && n >= 2 && IsCont(s[1])) {
    *used = 2;
    return ((c & 0x1F) << 6) | (s[1] & 0x3F);
  }
  if (c >= 0xE0 && c <= 0xEF && n >= 3 && IsCont(s[1]) && IsCont(s[2])) {
    const uint32_t cp = ((c & 0x0F) << 12) | ((s[1] & 0x3F) << 6) | (s[2] & 0x3F);
    if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
      *used = 3;
      return cp;
    }
  }
  if (c >= 0xF0 && c <= 0xF4 && n >= 4 && IsCont(s[1]) && IsCont(s[2]) && IsCont(s[3])) {
    const uint32_t cp =
        ((c & 0x07) << 18) | ((s[1] & 0x3F) << 12) | ((s[2] & 0x3F) << 6) | (s[3] & 0x3F);
    if (cp >= 0x10000 && cp <= 0x10FFFF) {
      *used = 4;
      return cp;
    }
  }
  return c;
}

void GdiPrepareText(const char* text, int len, int flags, GdiPreparedText* out) {
  unsigned char bytes[kGdiMaxTextBytes];
  int nb = 0;
  out->multiline = false;
  for (int i = 0; nb < kGdiMaxTextBytes && (len < 0 || i < len) && text[i]; ++i) {
    char c = text[i];
    if (c == '&' && !(flags & DT_NOPREFIX)) {
      ++i;
      if ((len >= 0 && i >= len) || !text[i]) break;
      c = text[i];
    }
    if (c == '\r') continue;
    if (c == '\n') {
      if (flags & DT_SINGLELINE) {
        c = ' ';
      } else {
        out->multiline = true;
      }
    }
    bytes[nb++] = static_cast<unsigned char>(c);
  }
  out->n = 0;
  for (int i = 0; i < nb;) {
    int used = 1;
    out->cps[out->n++] = GdiDecodeUtf8(bytes + i, nb - i, &used);
    i += used;
  }
}
