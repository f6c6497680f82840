// The affine source walk shared by the rotated, delta and transform blits.
#pragma once

#include "raster/pixels/util_p.h"

typedef void (*PxPixFn)(PX_pixel_chan* d, int r, int g, int b, int a, int alpha);

// A destination rectangle and its walk through the source, in floating point
// before clipping: source position (s, t) of the first pixel, its change per
// column and per row, the change of the column steps per row, and optionally
// a weight (in units of opaque) stepped the same way.
struct PxDeltaArgs {
  int64_t dstx, dsty, w, h;
  double s0, t0, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy;
  double a0, dadx, dady, dadxdy;
  bool cliptosourcerect;
  float srcx, srcy, srcw, srch;
};

// Clips and runs the walk; with stepAlpha the weight comes from a0 and its
// steps and the class from the clamped table, else weight ia and the blit table.
void px_delta_run(PX_IBitmap* dest, PX_IBitmap* src, PxDeltaArgs a, int ia, int mode,
                  bool stepAlpha);
