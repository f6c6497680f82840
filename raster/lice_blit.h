// Raster library: transfers between bitmaps and rectangle operations that
// rewrite pixels. Positions are integers; source coordinates, weights and
// steps are floating point and become 16.16 fixed point inside.
#pragma once

#include "raster/lice_bitmap.h"

// Copies or blends src (or srcrect of it) to (dstx, dsty).
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode);
void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode);
// Scales the source rectangle onto the destination rectangle; negative sizes mirror.
void LICE_ScaledBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                     float srcx, float srcy, float srcw, float srch, float alpha, int mode);
// Draws the source rectangle turned by angle (radians) about its centre shifted
// by (rotxcent, rotycent).
void LICE_RotatedBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                      float srcx, float srcy, float srcw, float srch, float angle,
                      bool cliptosourcerect, float alpha, int mode, float rotxcent, float rotycent);
// Affine walk through the source with per-row changes of the column steps.
void LICE_DeltaBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                    float srcx, float srcy, float srcw, float srch, double dsdx, double dtdx,
                    double dsdy, double dtdy, double dsdxdy, double dtdxdy, bool cliptosourcerect,
                    float alpha, int mode);
// As LICE_DeltaBlit with the weight stepped per pixel (dadx), per row (dady).
void LICE_DeltaBlitAlpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                         int dsth, float srcx, float srcy, float srcw, float srch, double dsdx,
                         double dtdx, double dsdy, double dtdy, double dsdxdy, double dtdxdy,
                         bool cliptosourcerect, float alpha, int mode, double dadx, double dady,
                         double dadxdy);
// Mesh warp: srcpoints holds div_w x div_h source (x, y) positions, row-major.
void LICE_TransformBlit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                        int dsth, const float* srcpoints, int div_w, int div_h, float alpha,
                        int mode);
void LICE_TransformBlit2(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                         int dsth, const double* srcpoints, int div_w, int div_h, float alpha,
                         int mode);
// Points are (x, y, alpha) triples.
void LICE_TransformBlit2Alpha(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int dstw,
                              int dsth, const double* srcpoints, int div_w, int div_h, int mode);
// Linear colour ramp; colours are fractions (1.0 = full), alpha doubles as weight.
void LICE_GradRect(LICE_IBitmap* dest, int dstx, int dsty, int dstw, int dsth, float ir, float ig,
                   float ib, float ia, float drdx, float dgdx, float dbdx, float dadx, float drdy,
                   float dgdy, float dbdy, float dady, int mode);
// Each channel X becomes clamp(X x sc + add), adds in channel units.
void LICE_MultiplyAddRect(LICE_IBitmap* dest, int x, int y, int w, int h, float rsc, float gsc,
                          float bsc, float asc, float radd, float gadd, float badd, float aadd);
// Light blur of a source rectangle into dest (dest may be src).
void LICE_Blur(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch);
// 2:1 reduction averaging each 2 x 2 block.
void LICE_HalveBlitAA(LICE_IBitmap* dest, LICE_IBitmap* src);
