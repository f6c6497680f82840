#pragma once
// Bounded text copies into and out of host buffers.

#include <cstring>

// Copies at most size - 1 characters of src (null reads as empty) and terminates dst.
inline void CopyToHost(char* dst, const char* src, int size) {
  if (!dst || size <= 0) return;
  int n = 0;
  if (src)
    while (n < size - 1 && src[n]) ++n;
  if (n) memcpy(dst, src, n);
  dst[n] = 0;
}

// Sizes of the host buffers, terminator included.
enum {
  kVstParamTextSize = 32,  // parameter names, labels and displays
  kVstEffectNameTextSize = 32,
  kVstVendorTextSize = 64,    // vendor and product strings
  kVstProgNameTextSize = 24,  // program names
  kVstPinLabelTextSize = 64,  // pin labels and MIDI key names
};
