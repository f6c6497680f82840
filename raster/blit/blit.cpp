// The straight blit: block copies, channel copies and per-class blend loops.
#include "raster/blit/blit.h"

#include <cstring>

#include "raster/blit/blit_p.h"
#include "raster/pixels/dispatch_p.h"

bool px_blit_clip(PX_IBitmap* dest, PX_IBitmap* src, int64_t dstx, int64_t dsty, int64_t l,
                  int64_t t, int64_t r, int64_t b, PxBlitJob* job) {
  if (l < 0) {
    dstx -= l;
    l = 0;
  }
  if (t < 0) {
    dsty -= t;
    t = 0;
  }
  if (r > src->getWidth()) r = src->getWidth();
  if (b > src->getHeight()) b = src->getHeight();
  if (dstx < 0) {
    l -= dstx;
    dstx = 0;
  }
  if (dsty < 0) {
    t -= dsty;
    dsty = 0;
  }
  const int dw = dest->getWidth(), dh = dest->getHeight();
  if (l >= r || t >= b || dstx >= dw || dsty >= dh) return false;
  if (r > l + dw - dstx) r = l + dw - dstx;
  if (b > t + dh - dsty) b = t + dh - dsty;
  job->d = px_rows(dest);
  job->s = px_rows(src);
  if (!job->d.base || !job->s.base) return false;
  job->dx = (int)dstx;
  job->dy = (int)dsty;
  job->sx = (int)l;
  job->sy = (int)t;
  job->w = (int)(r - l);
  job->h = (int)(b - t);
  return true;
}

template <class C>
static void px_blit_class(const PxBlitJob& j, int ia) {
  for (int y = 0; y < j.h; ++y) {
    PX_pixel_chan* d = (PX_pixel_chan*)j.drow(y);
    const PX_pixel_chan* s = (const PX_pixel_chan*)j.srow(y);
    for (int i = 0; i < j.w; ++i, d += 4, s += 4)
      C::doPix(d, s[PX_PIXEL_R], s[PX_PIXEL_G], s[PX_PIXEL_B], s[PX_PIXEL_A], ia);
  }
}

static void px_blit_chancopy(const PxBlitJob& j, int mode) {
  const int from = mode & 3, to = (mode >> 2) & 3;
  for (int y = 0; y < j.h; ++y) {
    PX_pixel_chan* d = (PX_pixel_chan*)j.drow(y);
    const PX_pixel_chan* s = (const PX_pixel_chan*)j.srow(y);
    for (int i = 0; i < j.w; ++i) d[i * 4 + to] = s[i * 4 + from];
  }
}

static void px_blit_words(const PxBlitJob& j, bool half) {
  for (int y = 0; y < j.h; ++y) {
    PX_pixel* d = j.drow(y);
    const PX_pixel* s = j.srow(y);
    if (!half) {
      memmove(d, s, (size_t)j.w * 4);
      continue;
    }
    for (int i = 0; i < j.w; ++i) d[i] = ((d[i] >> 1) & 0x7f7f7f7f) + ((s[i] >> 1) & 0x7f7f7f7f);
  }
}

// Source-alpha copies go through row kernels that have vector versions.
static bool px_blit_srcalpha(const PxBlitJob& j, int mode, int ia) {
  if ((mode & 0x100ff) != PX_USE_SOURCE_ALPHA || ia < 1 || ia > 256) return false;
  for (int y = 0; y < j.h; ++y) {
    if (ia == 256) px_row_srcalpha_full(j.drow(y), j.srow(y), j.w);
    else px_row_srcalpha(j.drow(y), j.srow(y), j.w, ia);
  }
  return true;
}

static void px_blit_job(const PxBlitJob& j, float alpha, int mode) {
  if ((mode & 0xff) >= PX_COMBINE_CHANCOPY) {
    px_blit_chancopy(j, mode);
    return;
  }
  if ((mode & 0x100ff) == 0 && (alpha == 1.0f || alpha == 0.5f)) {
    px_blit_words(j, alpha == 0.5f);
    return;
  }
  const int ia = px_weight(alpha);
  if (ia == 0 || px_blit_srcalpha(j, mode, ia)) return;
  px_dispatch_blit<false>(mode, ia,
                          [&](auto tag) { px_blit_class<typename decltype(tag)::type>(j, ia); });
}

void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
             float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  PxBlitJob j;
  const bool any =
      srcrect ? px_blit_clip(dest, src, dstx, dsty, srcrect->left, srcrect->top, srcrect->right,
                             srcrect->bottom, &j)
              : px_blit_clip(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), &j);
  if (any) px_blit_job(j, alpha, mode);
}

void PX_Blit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int srcx, int srcy, int srcw,
             int srch, float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  PxBlitJob j;
  if (px_blit_clip(dest, src, dstx, dsty, srcx, srcy, (int64_t)srcx + srcw, (int64_t)srcy + srch,
                   &j))
    px_blit_job(j, alpha, mode);
}
