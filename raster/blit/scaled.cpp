// Scaled blit: nearest, bilinear and box-filtered reduction walks.
#include <algorithm>
#include <cmath>

#include "raster/blit/blit.h"
#include "raster/pixels/dispatch_p.h"
#include "raster/blit/scaled_p.h"

namespace {

template <class C>
void walkWords(const PxScaleJob& j) {
  for (int row = 0; row < j.dh; ++row) {
    const uint64_t sy = (uint64_t)((j.isy + row * j.idy) >> 16);
    if (sy >= (uint64_t)j.clip_b) continue;
    const PX_pixel* srow = j.s.row((int)sy);
    PX_pixel* d = j.drow(row);
    int64_t x = j.isx;
    for (int i = 0; i < j.dw; ++i, x += j.idx) {
      const uint64_t sx = (uint64_t)(x >> 16);
      if (sx < (uint64_t)j.clip_r) C::doPix(d + i, srow[sx]);
    }
  }
}

template <class C>
void walkNearest(const PxScaleJob& j, int ia) {
  for (int row = 0; row < j.dh; ++row) {
    const uint64_t sy = (uint64_t)((j.isy + row * j.idy) >> 16);
    if (sy >= (uint64_t)j.clip_b) continue;
    const PX_pixel* srow = j.s.row((int)sy);
    PX_pixel_chan* d = (PX_pixel_chan*)j.drow(row);
    int64_t x = j.isx;
    for (int i = 0; i < j.dw; ++i, x += j.idx, d += 4) {
      const uint64_t sx = (uint64_t)(x >> 16);
      if (sx >= (uint64_t)j.clip_r) continue;
      const PX_pixel_chan* s = (const PX_pixel_chan*)(srow + sx);
      C::doPix(d, s[PX_PIXEL_R], s[PX_PIXEL_G], s[PX_PIXEL_B], s[PX_PIXEL_A], ia);
    }
  }
}

template <class C>
void walkBilinear(const PxScaleJob& j, int ia) {
  for (int row = 0; row < j.dh; ++row) {
    const int64_t y = j.isy + row * j.idy;
    PX_pixel_chan* d = (PX_pixel_chan*)j.drow(row);
    int64_t x = j.isx;
    int c[4];
    for (int i = 0; i < j.dw; ++i, x += j.idx, d += 4)
      if (px_sample_bilinear(j.s, x, y, j.clip_r, j.clip_b, c))
        C::doPix(d, c[0], c[1], c[2], c[3], ia);
  }
}

// Uniform size x size box centred on each sample, clipped to the source.
template <class C>
void walkBoxDown(const PxScaleJob& j, int ia, int size) {
  for (int row = 0; row < j.dh; ++row) {
    const int64_t y = j.isy + row * j.idy;
    if (y < 0 || (y >> 16) >= j.clip_b) continue;
    PX_pixel_chan* d = (PX_pixel_chan*)j.drow(row);
    int64_t x = j.isx;
    int c[4];
    for (int i = 0; i < j.dw; ++i, x += j.idx, d += 4) {
      if (x < 0 || (x >> 16) >= j.clip_r) continue;
      px_sample_box(j.s, (int)(x >> 16), (int)(y >> 16), size, j.clip_r, j.clip_b, c);
      C::doPix(d, c[0], c[1], c[2], c[3], ia);
    }
  }
}

// Drops destination columns (or rows) whose samples fall left of the source
// or past its end; they would draw nothing.
bool clipAxis(int64_t step, int64_t srcsize, int64_t& pos, int& dpos, int& dlen) {
  if (step <= 0) return dlen >= 1;
  if (pos < 0) {
    const int64_t k = std::min<int64_t>((step - pos - 1) / step, dlen);
    dlen -= (int)k;
    dpos += (int)k;
    pos += k * step;
  }
  const int64_t end = srcsize * 65536;
  const int64_t n = pos < end ? (end - 1 - pos) / step + 1 : 0;
  if (n < dlen) dlen = (int)n;
  return dlen >= 1;
}

bool nearInteger(float v) { return std::fabs(v - std::floor(v + 0.5f)) < 0.03f; }

// Clips one axis of the destination rectangle and places the source walk.
bool setupAxis(int64_t dpos, int64_t dlen, float spos, float slen, int dsize, int srcsize,
               int& outpos, int& outlen, int64_t& ipos, int64_t& istep, int& clip, float& adv) {
  if (dlen < 0) {
    dlen = -dlen;
    dpos -= dlen;
    spos += slen;
    slen = -slen;
  }
  adv = slen / (float)dlen;
  if (dpos < 0) {
    spos -= (float)dpos * adv;
    dlen += dpos;
    dpos = 0;
  }
  if (dlen < 1 || dpos >= dsize) return false;
  dlen = std::min<int64_t>(dlen, dsize - dpos);
  istep = px_ftoi(65536.0f * adv);
  ipos = px_ftoi(spos * 65536.0f);
  // Walking backwards, spos is the exclusive end: start just inside it so a
  // mirrored image keeps its first column.
  if (istep < 0) --ipos;
  outpos = (int)dpos;
  outlen = (int)dlen;
  if (!clipAxis(istep, srcsize, ipos, outpos, outlen)) return false;
  clip = std::min(px_ftoi((double)(spos + std::max(slen, 0.0f)) + 0.999999), srcsize);
  return clip >= 1;
}

void runScaled(const PxScaleJob& j, float xadv, float yadv, int ia, int mode) {
  if ((mode & 0x1FFFF) == 0 && (ia == 256 || ia == 128)) {
    if (ia == 256) walkWords<PX_CombinePixelsClobberFAST>(j);
    else walkWords<PX_CombinePixelsHalfMixFAST>(j);
    return;
  }
  if (ia == 0) return;
  const int filter = mode & PX_BLIT_FILTER_MASK;
  if (xadv >= 1.7f && yadv >= 1.7f && filter == PX_FILTER_BILINEAR) {
    const int size = std::max(j.idx, j.idy) <= 0x30000 ? 3 : 5;
    if ((mode & 0x100ff) == 0 && ia == 256 && px_scale_box_copy_fast(j, size)) return;
    px_dispatch_blit<false>(
        mode, ia, [&](auto tag) { walkBoxDown<typename decltype(tag)::type>(j, ia, size); });
    return;
  }
  if (filter == PX_FILTER_BILINEAR && (mode & 0x100ff) == 0 && ia == 256 &&
      px_scale_bilinear_copy_fast(j))
    return;
  px_dispatch_blit<false>(mode, ia, [&](auto tag) {
    if (filter == PX_FILTER_BILINEAR) walkBilinear<typename decltype(tag)::type>(j, ia);
    else walkNearest<typename decltype(tag)::type>(j, ia);
  });
}

}  // namespace

void PX_ScaledBlit(PX_IBitmap* dest, PX_IBitmap* src, int dstx, int dsty, int dstw, int dsth,
                   float srcx, float srcy, float srcw, float srch, float alpha, int mode) {
  if (!dest || !src || dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  if (dstw > 0 && dsth > 0 && std::fabs(srcw - (float)dstw) < 0.001 &&
      std::fabs(srch - (float)dsth) < 0.001 &&
      (((mode >> 8) & 0xff) != 1 || (nearInteger(srcx) && nearInteger(srcy)))) {
    const int sx = px_ftoi(0.5 + srcx), sy = px_ftoi(0.5 + srcy);
    const RECT r = {sx, sy, (int)std::min<int64_t>((int64_t)sx + dstw, INT32_MAX),
                    (int)std::min<int64_t>((int64_t)sy + dsth, INT32_MAX)};
    PX_Blit(dest, src, dstx, dsty, &r, alpha, mode);
    return;
  }
  PxScaleJob j;
  float xadv, yadv;
  if (!setupAxis(dstx, dstw, srcx, srcw, dest->getWidth(), src->getWidth(), j.dx, j.dw, j.isx,
                 j.idx, j.clip_r, xadv) ||
      !setupAxis(dsty, dsth, srcy, srch, dest->getHeight(), src->getHeight(), j.dy, j.dh, j.isy,
                 j.idy, j.clip_b, yadv))
    return;
  j.d = px_rows(dest);
  j.s = px_rows(src);
  if (!j.d.base || !j.s.base) return;
  runScaled(j, xadv, yadv, px_weight(alpha), mode);
}
