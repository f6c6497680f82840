// Random arguments for the differential tests: sizes, positions (including
// far off-bitmap ones), weights and modes.
#pragma once

#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "test_bitmap.h"

// Arguments for one random case. One case in eight is "wild": its values may
// be extreme (INT_MIN/INT_MAX, huge, NaN or infinite); the others stay near
// the bitmaps so that most cases draw something.
struct CaseGen {
  std::mt19937& rng;
  bool wild;
  explicit CaseGen(std::mt19937& r) : rng(r), wild(r() % 8 == 0) {}

  int pos(int span) {
    if (wild) {
      switch (rng() % 6) {
        case 0: return INT_MIN;
        case 1: return INT_MAX;
        case 2: return -(int)(rng() % 100000);
        default: break;
      }
    }
    return (int)(rng() % (span + span / 2 + 4)) - span / 2 - 2;
  }
  int size(int span) {
    if (wild) {
      switch (rng() % 6) {
        case 0: return INT_MAX;
        case 1: return INT_MIN;
        case 2: return 0;
        default: break;
      }
    }
    if (rng() % 8 == 0) return -(int)(rng() % (span + 1)) - 1;
    return (int)(rng() % (span + span / 2 + 2)) + 1;
  }
  float real(float lo, float hi) {
    if (wild) {
      switch (rng() % 6) {
        case 0: return std::numeric_limits<float>::quiet_NaN();
        case 1: return std::numeric_limits<float>::infinity();
        case 2: return -std::numeric_limits<float>::infinity();
        case 3: return 3e9f;
        default: break;
      }
    }
    return lo + (hi - lo) * (float)(rng() % 100000) / 100000.0f;
  }
};

inline float RandomBlitAlpha(std::mt19937& rng) {
  const float fixed[] = {1.0f, 0.5f, 0.25f, 0.75f, 0.0f, 0.002f, 1.25f, -0.5f};
  return rng() % 2 ? fixed[rng() % 8] : (float)(rng() % 1000) / 999.0f;
}

inline int RandomBlitMode(std::mt19937& rng) {
  const int modes[] = {0,       0,       0x10000, 0x10000, 1, 2,    3,    4,    5,      0x10001,
                       0x10002, 0x10003, 0x10004, 0x10005, 7, 0xF0, 0xF7, 0xFE, 0x20000};
  int m = modes[rng() % 19];
  if (rng() % 2) m |= 0x100;  // bilinear filter
  return m;
}

// A source or destination bitmap of random size, padding and flip.
inline TestBitmap* RandomBitmap(std::mt19937& rng, int maxw, int maxh) {
  // Mostly at least 3 x 3, sometimes a single row or column.
  const int w = rng() % 8 ? 3 + rng() % (maxw - 2) : 1, h = rng() % 8 ? 3 + rng() % (maxh - 2) : 1;
  TestBitmap* b = new TestBitmap(w, h, rng() % 3, rng() % 2);
  FillRandom(*b, rng);
  return b;
}
