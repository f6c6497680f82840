// Raster library: lines, rectangles, circles, arcs, polygons and Bezier curves
// drawn with a solid colour at weight (int)(256 x alpha) through the combine
// class of mode (with LICE_USE_SOURCE_ALPHA the weight is scaled by the
// colour's alpha). Everything clips to the bitmap in image coordinates.
// Angles are radians, 0 pointing up, increasing clockwise on screen.
#pragma once

#include "raster/lice_bitmap.h"

// Cohen-Sutherland clip of a line to [xlo, xhi) x [ylo, yhi); false when nothing is left.
bool LICE_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);
bool LICE_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                    float yhi);

// Line including both end pixels; aa anti-aliases it.
void LICE_Line(LICE_IBitmap* bm, int x1, int y1, int x2, int y2, LICE_pixel colour, float alpha,
               int mode, bool aa);
// Line between real positions; without aa the positions are truncated.
void LICE_FLine(LICE_IBitmap* bm, float x1, float y1, float x2, float y2, LICE_pixel colour,
                float alpha, int mode, bool aa);
// Horizontal or vertical line of pxon drawn and pxoff skipped pixels, in memory rows.
void LICE_DashedLine(LICE_IBitmap* bm, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                     LICE_pixel colour, float alpha, int mode, bool aa);
// Outline covering w + 1 by h + 1 pixels.
void LICE_DrawRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel colour, float alpha,
                   int mode);
// Filled inside in bgcolour, outline in fgcolour.
void LICE_BorderedRect(LICE_IBitmap* bm, int x, int y, int w, int h, LICE_pixel bgcolour,
                       LICE_pixel fgcolour, float alpha, int mode);

// Radii above LICE_MAX_CIRCLE_RADIUS draw nothing.
constexpr float LICE_MAX_CIRCLE_RADIUS = 16777216.0f;
void LICE_Circle(LICE_IBitmap* bm, float cx, float cy, float r, LICE_pixel colour, float alpha,
                 int mode, bool aa);
void LICE_FillCircle(LICE_IBitmap* bm, float cx, float cy, float r, LICE_pixel colour,
                     float alpha, int mode, bool aa);
void LICE_Arc(LICE_IBitmap* bm, float cx, float cy, float r, float minAngle, float maxAngle,
              LICE_pixel colour, float alpha, int mode, bool aa);
void LICE_RoundRect(LICE_IBitmap* bm, float x, float y, float w, float h, int cornerradius,
                    LICE_pixel colour, float alpha, int mode, bool aa);

// Fills rows y1..y2 between the spans [x1a, x1b] and [x2a, x2b], ends included.
void LICE_FillTrapezoid(LICE_IBitmap* bm, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                        LICE_pixel colour, float alpha, int mode);
void LICE_FillTriangle(LICE_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3,
                       LICE_pixel colour, float alpha, int mode);
// Fills a convex polygon; every covered pixel is blended once.
void LICE_FillConvexPolygon(LICE_IBitmap* bm, const int* x, const int* y, int npoints,
                            LICE_pixel colour, float alpha, int mode);

// Bezier strokes drawn as line segments of about tol pixels (tol <= 0 counts as 1).
void LICE_DrawQBezier(LICE_IBitmap* bm, float xstart, float ystart, float xctl, float yctl,
                      float xend, float yend, LICE_pixel colour, float alpha, int mode, bool aa,
                      float tol = 0.0f);
void LICE_DrawCBezier(LICE_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                      float xctl2, float yctl2, float xend, float yend, LICE_pixel colour,
                      float alpha, int mode, bool aa, float tol = 0.0f);
// Fills between a cubic curve and row yfill (LICE_FillCBezierX: column xfill).
void LICE_FillCBezier(LICE_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                      float xctl2, float yctl2, float xend, float yend, int yfill,
                      LICE_pixel colour, float alpha, int mode, float tol = 0.0f);
void LICE_FillCBezierX(LICE_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                       float xctl2, float yctl2, float xend, float yend, int xfill,
                       LICE_pixel colour, float alpha, int mode, float tol = 0.0f);

// Point at parameter t of the cubic with control values a, b, c, d.
double LICE_Bezier(double a, double b, double c, double d, double t);
// Coefficients of x(t) = ax t^3 + bx t^2 + cx t + x0 (and the same for y).
void LICE_CBezier_GetCoeffs(double x0, double x1, double x2, double x3, double y0, double y1,
                            double y2, double y3, double* ax, double* bx, double* cx, double* ay,
                            double* by, double* cy);
// y of the cubic at the position where its x equals x (curve monotone in x).
double LICE_CBezier_GetY(double x0, double x1, double x2, double x3, double y0, double y1,
                         double y2, double y3, double x);
// y of the quadratic (xstart, ystart)-(xctl, yctl)-(xend, yend) at x.
double LICE_Bezier_GetY(double xstart, double xctl, double xend, double ystart, double yctl,
                        double yend, double x);
