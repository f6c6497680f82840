// The reciprocal table of the integer HSV conversion.
#include "raster/lice_hsv_p.h"

static constexpr LiceHsvTable lice_make_hsv_table() {
  LiceHsvTable t{};
  for (int i = 1; i < 256; ++i) t.v[i] = (unsigned short)(65536 / i - 1);
  return t;
}

constexpr LiceHsvTable _LICE_RGB2HSV_Table = lice_make_hsv_table();
