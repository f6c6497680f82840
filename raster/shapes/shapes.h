// Raster library: lines, rectangles, circles, arcs, polygons and Bezier curves
// drawn with a solid colour at weight (int)(256 x alpha) through the combine
// class of mode (with PX_USE_SOURCE_ALPHA the weight is scaled by the
// colour's alpha). Everything clips to the bitmap. On a flipped bitmap, lines,
// circles and arcs mirror y (y' = height - 1 - y, a circle's centre before it
// is rounded), then clip and draw in memory rows; the other shapes work in
// image rows. Angles are radians, 0 pointing up, increasing clockwise on screen.
#pragma once

#include "raster/pixels/bitmap.h"

// Cohen-Sutherland clip of a line to [xlo, xhi) x [ylo, yhi); false when nothing is left.
bool PX_ClipLine(int* x1, int* y1, int* x2, int* y2, int xlo, int ylo, int xhi, int yhi);
bool PX_ClipFLine(float* x1, float* y1, float* x2, float* y2, float xlo, float ylo, float xhi,
                  float yhi);

// Line including both end pixels; aa anti-aliases it.
void PX_Line(PX_IBitmap* bm, int x1, int y1, int x2, int y2, PX_pixel colour, float alpha, int mode,
             bool aa);
// Line between real positions; without aa the positions are truncated.
void PX_FLine(PX_IBitmap* bm, float x1, float y1, float x2, float y2, PX_pixel colour, float alpha,
              int mode, bool aa);
// Horizontal or vertical line of pxon drawn and pxoff skipped pixels, in memory rows.
void PX_DashedLine(PX_IBitmap* bm, int x1, int y1, int x2, int y2, int pxon, int pxoff,
                   PX_pixel colour, float alpha, int mode, bool aa);
// Outline covering w + 1 by h + 1 pixels.
void PX_DrawRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel colour, float alpha,
                 int mode);
// Filled inside in bgcolour, outline in fgcolour.
void PX_BorderedRect(PX_IBitmap* bm, int x, int y, int w, int h, PX_pixel bgcolour,
                     PX_pixel fgcolour, float alpha, int mode);

// Radii above PX_MAX_CIRCLE_RADIUS draw nothing.
constexpr float PX_MAX_CIRCLE_RADIUS = 16777216.0f;
void PX_Circle(PX_IBitmap* bm, float cx, float cy, float r, PX_pixel colour, float alpha, int mode,
               bool aa);
void PX_FillCircle(PX_IBitmap* bm, float cx, float cy, float r, PX_pixel colour, float alpha,
                   int mode, bool aa);
void PX_Arc(PX_IBitmap* bm, float cx, float cy, float r, float minAngle, float maxAngle,
            PX_pixel colour, float alpha, int mode, bool aa);
void PX_RoundRect(PX_IBitmap* bm, float x, float y, float w, float h, int cornerradius,
                  PX_pixel colour, float alpha, int mode, bool aa);

// Fills rows y1..y2 between the spans [x1a, x1b] and [x2a, x2b], ends included.
void PX_FillTrapezoid(PX_IBitmap* bm, int x1a, int x1b, int y1, int x2a, int x2b, int y2,
                      PX_pixel colour, float alpha, int mode);
void PX_FillTriangle(PX_IBitmap* bm, int x1, int y1, int x2, int y2, int x3, int y3,
                     PX_pixel colour, float alpha, int mode);
// Fills a convex polygon; every covered pixel is blended once.
void PX_FillConvexPolygon(PX_IBitmap* bm, const int* x, const int* y, int npoints, PX_pixel colour,
                          float alpha, int mode);

// Bezier strokes drawn as line segments of about tol pixels (tol <= 0 counts as 1).
void PX_DrawQBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl, float yctl, float xend,
                    float yend, PX_pixel colour, float alpha, int mode, bool aa, float tol = 0.0f);
void PX_DrawCBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, PX_pixel colour, float alpha,
                    int mode, bool aa, float tol = 0.0f);
// Fills between a cubic curve and row yfill (PX_FillCBezierX: column xfill).
void PX_FillCBezier(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                    float xctl2, float yctl2, float xend, float yend, int yfill, PX_pixel colour,
                    float alpha, int mode, float tol = 0.0f);
void PX_FillCBezierX(PX_IBitmap* bm, float xstart, float ystart, float xctl1, float yctl1,
                     float xctl2, float yctl2, float xend, float yend, int xfill, PX_pixel colour,
                     float alpha, int mode, float tol = 0.0f);

// Point at parameter t of the cubic with control values a, b, c, d.
double PX_Bezier(double a, double b, double c, double d, double t);
// Coefficients of x(t) = ax t^3 + bx t^2 + cx t + x0 (and the same for y).
void PX_CBezier_GetCoeffs(double x0, double x1, double x2, double x3, double y0, double y1,
                          double y2, double y3, double* ax, double* bx, double* cx, double* ay,
                          double* by, double* cy);
// y of the cubic at the position where its x equals x (curve monotone in x).
double PX_CBezier_GetY(double x0, double x1, double x2, double x3, double y0, double y1, double y2,
                       double y3, double x);
// y of the quadratic (xstart, ystart)-(xctl, yctl)-(xend, yend) at x.
double PX_Bezier_GetY(double xstart, double xctl, double xend, double ystart, double yctl,
                      double yend, double x);
