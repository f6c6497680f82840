// Rotated and delta blits: set up the affine walk, then clip and run it.
#include <cmath>

#include "raster/blit/blit.h"
#include "raster/blit/delta_p.h"

void PX_RotatedBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float angle,
                    bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  // A zero weight changes nothing, whatever the mode (HSV adjust would rewrite).
  const int ia = px_weight(alpha);
  if (ia == 0) return;
  const double cosa = std::cos((double)angle), sina = std::sin((double)angle);
  PxDeltaArgs a{};
  a.dstx = dstx;
  a.dsty = dsty;
  double sw = srcw, sh = srch;
  if (dstw < 0) {
    a.dstx += dstw;
    a.w = -(int64_t)dstw;
    sw = -sw;
  } else {
    a.w = dstw;
  }
  if (dsth < 0) {
    a.dsty += dsth;
    a.h = -(int64_t)dsth;
    sh = -sh;
  } else {
    a.h = dsth;
  }
  const double xsc = sw / (double)a.w, ysc = sh / (double)a.h;
  a.dsdx = xsc * cosa;
  a.dtdx = -ysc * sina;
  a.dsdy = xsc * sina;
  a.dtdy = ysc * cosa;
  const double w = (double)a.w, h = (double)a.h;
  a.s0 =
      (dstw >= 0 ? srcx : (double)srcx + srcw) - (0.5 * (w * a.dsdx + h * a.dsdy - sw) - rotxcent);
  a.t0 =
      (dsth >= 0 ? srcy : (double)srcy + srch) - (0.5 * (h * a.dtdy + w * a.dtdx - sh) - rotycent);
  a.cliptosourcerect = cliptosourcerect;
  a.srcx = srcx;
  a.srcy = srcy;
  a.srcw = srcw;
  a.srch = srch;
  px_delta_run(dest, src, a, ia, mode, false);
}

static PxDeltaArgs px_delta_args(int dstx, int dsty, int dstw, int dsth, float srcx, float srcy,
                                 float srcw, float srch, double dsdx, double dtdx, double dsdy,
                                 double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect) {
  PxDeltaArgs a{};
  a.dstx = dstx;
  a.dsty = dsty;
  a.w = dstw;
  a.h = dsth;
  a.s0 = srcx;
  a.t0 = srcy;
  if (dstw < 0) {
    a.dstx += dstw;
    a.w = -(int64_t)dstw;
    a.s0 = (double)srcx + srcw;
  }
  if (dsth < 0) {
    a.dsty += dsth;
    a.h = -(int64_t)dsth;
    a.t0 = (double)srcy + srch;
  }
  a.dsdx = dsdx;
  a.dtdx = dtdx;
  a.dsdy = dsdy;
  a.dtdy = dtdy;
  a.dsdxdy = dsdxdy;
  a.dtdxdy = dtdxdy;
  a.cliptosourcerect = cliptosourcerect;
  a.srcx = srcx;
  a.srcy = srcy;
  a.srcw = srcw;
  a.srch = srch;
  return a;
}

void PX_DeltaBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                  double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                  float alpha, int mode) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  const int ia = px_weight(alpha);
  if (ia == 0) return;
  px_delta_run(dest, src,
               px_delta_args(dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, dsdx, dtdx, dsdy, dtdy,
                             dsdxdy, dtdxdy, cliptosourcerect),
               ia, mode, false);
}

void PX_DeltaBlitAlpha(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                       double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                       bool cliptosourcerect, float alpha, int mode, double dadx, double dady,
                       double dadxdy) {
  if (!dest || !src || dstw == 0 || dsth == 0) return;
  if (std::fabs(dadx * dstw) < 0.0001 && std::fabs(dady * dsth) < 0.0001 &&
      std::fabs(dadxdy * dsth) < 0.0001) {
    PX_DeltaBlit(dest, src, dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, dsdx, dtdx, dsdy, dtdy,
                 dsdxdy, dtdxdy, cliptosourcerect, alpha, mode);
    return;
  }
  PxDeltaArgs a = px_delta_args(dstx, dsty, dstw, dsth, srcx, srcy, srcw, srch, dsdx, dtdx, dsdy,
                                dtdy, dsdxdy, dtdxdy, cliptosourcerect);
  a.a0 = alpha;
  a.dadx = dadx;
  a.dady = dady;
  a.dadxdy = dadxdy;
  px_delta_run(dest, src, a, 0, mode, true);
}
