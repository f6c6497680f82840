// The reciprocal table of the integer HSV conversion.
#include "raster/pixels/hsv_p.h"

static constexpr PxHsvTable px_make_hsv_table() {
  PxHsvTable t{};
  for (int i = 1; i < 256; ++i) t.v[i] = (unsigned short)(65536 / i - 1);
  return t;
}

constexpr PxHsvTable PX_RGB2HSV_Table = px_make_hsv_table();
