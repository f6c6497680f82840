// Text drawing with arbitrary bytes, flags, lengths and rectangles.
#include <cstdint>
#include <cstring>

#include "gdi/gdi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static HDC dc = GDI_CreateMemContext(nullptr, 64, 32);
  static HFONT fonts[2] = {CreateFont(11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"),
                           CreateFont(30, 0, 0, 0, FW_BOLD, 1, 0, 0, 0, 0, 0, 3, 0, "Arial")};
  if (size < 12) return 0;
  int16_t v[4];
  memcpy(v, data, sizeof(v));
  const int flags = data[8] | (data[9] & 1) << 8;
  const int len = static_cast<int8_t>(data[10]);
  SelectObject(dc, fonts[data[11] & 1]);
  SetBkMode(dc, data[11] >> 7);
  char text[512];
  const size_t n = size - 12 < sizeof(text) - 1 ? size - 12 : sizeof(text) - 1;
  memcpy(text, data + 12, n);
  text[n] = 0;
  RECT r{v[0], v[1], v[2], v[3]};
  DrawText(dc, text, len, &r, flags);
  RECT m{v[0], v[1], v[2], v[3]};
  DrawText(dc, text, len, &m, flags | DT_CALCRECT);
  return 0;
}
