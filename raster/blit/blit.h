// Raster library: transfers between bitmaps and rectangle operations that
// rewrite pixels. Positions are integers; source coordinates, weights and
// steps are floating point and become 16.16 fixed point inside.
#pragma once

#include "raster/pixels/bitmap.h"

// Copies or blends src (or srcrect of it) to (dstx, dsty).
void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
             float alpha, int mode);
void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch, float alpha, int mode);
// Scales the source rectangle onto the destination rectangle; negative sizes mirror.
void PX_ScaledBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, float alpha, int mode);
// Draws the source rectangle turned by angle (radians) about its centre shifted
// by (rotxcent, rotycent).
void PX_RotatedBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, float angle,
                    bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent);
// Affine walk through the source with per-row changes of the column steps.
void PX_DeltaBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                  float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                  double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                  float alpha, int mode);
// As PX_DeltaBlit with the weight stepped per pixel (dadx), per row (dady).
void PX_DeltaBlitAlpha(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                       double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                       bool cliptosourcerect, float alpha, int mode, double dadx, double dady,
                       double dadxdy);
// Mesh warp: srcpoints holds div_w x div_h source (x, y) positions, row-major.
void PX_TransformBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      const float* srcpoints, int div_w, int div_h, float alpha, int mode);
void PX_TransformBlit2(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                       const double* srcpoints, int div_w, int div_h, float alpha, int mode);
// Points are (x, y, alpha) triples.
void PX_TransformBlit2Alpha(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw,
                            int dsth, const double* srcpoints, int div_w, int div_h, int mode);
// Linear colour ramp; colours are fractions (1.0 = full), alpha doubles as weight.
void PX_GradRect(PX_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                 float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                 float dgdy, float dbdy, float dady, int mode);
// Each channel X becomes clamp(X x sc + add), adds in channel units.
void PX_MultiplyAddRect(PX_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                        float bsc, float asc, float radd, float gadd, float badd, float aadd);
// Light blur of a source rectangle into dest (dest may be src).
void PX_Blur(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch);
// 2:1 reduction averaging each 2 x 2 block.
void PX_HalveBlitAA(PX_IBitmap* dest, PX_IBitmap* src);
