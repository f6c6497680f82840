// Deliberately plain per-pixel reference of the combine formulas and of every
// raster operation, written from the formulas without templates or fast paths.
#pragma once

#include <cstdint>

#include "test_bitmap.h"

enum RefClass {
  kRefNone,
  kRefClobber,
  kRefCopy,
  kRefHalfMix,
  kRefAdd,
  kRefDodge,
  kRefMul,
  kRefOverlay,
  kRefHsv,
  kRefSaCopyFull,
  kRefSaCopy,
  kRefSaAdd,
  kRefSaDodge,
  kRefSaMul,
  kRefSaOverlay,
  kRefSaHsv
};

// One pixel combined with source (r, g, b, a) at weight alpha.
uint32_t RefCombine(uint32_t dest, int r, int g, int b, int a, int alpha, RefClass c, bool clamp);
RefClass RefBlitClass(int mode, int ia);
RefClass RefSolidClass(int mode, int ia);
RefClass RefClampedClass(int mode);

void RefRGB2HSV(int r, int g, int b, int* h, int* s, int* v);
uint32_t RefHSV2Pix(int h, int s, int v, int a);

int RefWeight(float alpha);

void RefFillRect(Img& d, int x, int y, int w, int h, uint32_t colour, float alpha, int mode);
void RefPutPixel(Img& d, int x, int y, uint32_t colour, float alpha, int mode);
void RefBlit(Img& d, const Img& s, int dstx, int dsty, long long l, long long t, long long r,
             long long b, float alpha, int mode);
void RefScaledBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                   float srcy, float srcw, float srch, float alpha, int mode);
void RefRotatedBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float angle, bool clip, float alpha,
                    int mode, float rotxcent, float rotycent);
void RefDeltaBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                  float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy,
                  double dtdy, double dsdxdy, double dtdxdy, bool clip, float alpha, int mode,
                  double dadx, double dady, double dadxdy);
void RefGradRect(Img& d, int x, int y, int w, int h, const float* start, const float* ddx,
                 const float* ddy, int mode);
void RefMultiplyAdd(Img& d, int x, int y, int w, int h, const float* sc, const float* add);
void RefBlur(Img& d, const Img& s, int dstx, int dsty, int srcx, int srcy, int srcw, int srch);
void RefHalve(Img& d, const Img& s);
