// The straight blit: block copies, channel copies and per-class blend loops.
#include "raster/lice_blit.h"

#include <cstring>

#include "raster/lice_blit_p.h"
#include "raster/lice_dispatch_p.h"

bool lice_blit_clip(LICE_IBitmap* dest, LICE_IBitmap* src, int64_t dstx, int64_t dsty, int64_t l,
                    int64_t t, int64_t r, int64_t b, LiceBlitJob* job) {
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
  job->d = lice_rows(dest);
  job->s = lice_rows(src);
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
static void lice_blit_class(const LiceBlitJob& j, int ia) {
  for (int y = 0; y < j.h; ++y) {
    LICE_pixel_chan* d = (LICE_pixel_chan*)j.drow(y);
    const LICE_pixel_chan* s = (const LICE_pixel_chan*)j.srow(y);
    for (int i = 0; i < j.w; ++i, d += 4, s += 4)
      C::doPix(d, s[LICE_PIXEL_R], s[LICE_PIXEL_G], s[LICE_PIXEL_B], s[LICE_PIXEL_A], ia);
  }
}

static void lice_blit_chancopy(const LiceBlitJob& j, int mode) {
  const int from = mode & 3, to = (mode >> 2) & 3;
  for (int y = 0; y < j.h; ++y) {
    LICE_pixel_chan* d = (LICE_pixel_chan*)j.drow(y);
    const LICE_pixel_chan* s = (const LICE_pixel_chan*)j.srow(y);
    for (int i = 0; i < j.w; ++i) d[i * 4 + to] = s[i * 4 + from];
  }
}

static void lice_blit_words(const LiceBlitJob& j, bool half) {
  for (int y = 0; y < j.h; ++y) {
    LICE_pixel* d = j.drow(y);
    const LICE_pixel* s = j.srow(y);
    if (!half) {
      memmove(d, s, (size_t)j.w * 4);
      continue;
    }
    for (int i = 0; i < j.w; ++i) d[i] = ((d[i] >> 1) & 0x7f7f7f7f) + ((s[i] >> 1) & 0x7f7f7f7f);
  }
}

// Source-alpha copies go through row kernels that have vector versions.
static bool lice_blit_srcalpha(const LiceBlitJob& j, int mode, int ia) {
  if ((mode & 0x100ff) != LICE_USE_SOURCE_ALPHA || ia < 1 || ia > 256) return false;
  for (int y = 0; y < j.h; ++y) {
    if (ia == 256)
      lice_row_srcalpha_full(j.drow(y), j.srow(y), j.w);
    else
      lice_row_srcalpha(j.drow(y), j.srow(y), j.w, ia);
  }
  return true;
}

static void lice_blit_job(const LiceBlitJob& j, float alpha, int mode) {
  if ((mode & 0xff) >= LICE_COMBINE_CHANCOPY) {
    lice_blit_chancopy(j, mode);
    return;
  }
  if ((mode & 0x100ff) == 0 && (alpha == 1.0f || alpha == 0.5f)) {
    lice_blit_words(j, alpha == 0.5f);
    return;
  }
  const int ia = lice_weight(alpha);
  if (ia == 0 || lice_blit_srcalpha(j, mode, ia)) return;
  lice_dispatch_blit<false>(
      mode, ia, [&](auto tag) { lice_blit_class<typename decltype(tag)::type>(j, ia); });
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, const RECT* srcrect,
               float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  LiceBlitJob j;
  const bool any =
      srcrect ? lice_blit_clip(dest, src, dstx, dsty, srcrect->left, srcrect->top, srcrect->right,
                               srcrect->bottom, &j)
              : lice_blit_clip(dest, src, dstx, dsty, 0, 0, src->getWidth(), src->getHeight(), &j);
  if (any) lice_blit_job(j, alpha, mode);
}

void LICE_Blit(LICE_IBitmap* dest, LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int srcw, int srch, float alpha, int mode) {
  if (!dest || !src || alpha == 0.0f) return;
  LiceBlitJob j;
  if (lice_blit_clip(dest, src, dstx, dsty, srcx, srcy, (int64_t)srcx + srcw, (int64_t)srcy + srch,
                     &j))
    lice_blit_job(j, alpha, mode);
}
