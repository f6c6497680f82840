// Integer HSV conversions used by the HSV-adjust combine class. Hue runs
// 0..383 (red 0, green 128, blue 256); saturation and value 0..255.
#pragma once

#include "raster/pixels/bitmap.h"

// T[0] = 0, T[i] = 65536 / i - 1.
struct PxHsvTable {
  unsigned short v[256];
};
extern const PxHsvTable PX_RGB2HSV_Table;

template <class N>
static inline int px_hsv_clamp(N v) {
  return v < 0 ? 0 : v > 255 ? 255 : (int)v;
}

static inline void PX_RGB2HSV(int r, int g, int b, int* h, int* s, int* v) {
  const int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  int delta = mx - mn, base, num;
  if (g > r && g > b) {
    base = 128;
    num = b - r;
  } else if (b >= g && b >= r) {
    base = 256;
    num = r - g;
  } else if (g < b) {
    base = 383;
    delta = r - g;
    num = g - b;
  } else {
    base = 0;
    delta = r - b;
    num = g - b;
  }
  *h = base + num * (PX_RGB2HSV_Table.v[delta] + 1) / 1024;
  *s = delta * PX_RGB2HSV_Table.v[mx] / 256;
  *v = mx;
}

static inline int px_hsv_f(int v, int k) { return v * (16384 + k) / 16384; }

// Pixel with alpha byte a from a hue (taken modulo 384) and s, v in 0..255.
static inline PX_pixel PX_HSV2Pix(int h, int s, int v, int a) {
  h %= 384;
  if (h < 0) h += 384;
  const int lo = v * (256 - s) / 256;
  int r, g, b;
  if (h < 64) {
    r = v;
    g = px_hsv_f(v, -(64 - h) * s);
    b = lo;
  } else if (h < 128) {
    r = px_hsv_f(v, (64 - h) * s);
    g = v;
    b = lo;
  } else if (h < 192) {
    r = lo;
    g = v;
    b = px_hsv_f(v, -(192 - h) * s);
  } else if (h < 256) {
    r = lo;
    g = px_hsv_f(v, (192 - h) * s);
    b = v;
  } else if (h < 320) {
    r = px_hsv_f(v, -(320 - h) * s);
    g = lo;
    b = v;
  } else {
    r = v;
    g = lo;
    b = px_hsv_f(v, (320 - h) * s);
  }
  return PX_PackRGBA(r, g, b, a);
}
