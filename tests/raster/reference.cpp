#include "reference.h"

#include <algorithm>
#include <cmath>

namespace {

// The formulas run in 128-bit integers: for int inputs nothing can overflow,
// and wherever int arithmetic would not overflow the result is the same.
__extension__ typedef __int128 W;

int Chan(uint32_t p, int byte) { return (int)((p >> (8 * byte)) & 255); }

uint32_t Pack(const W* v, bool clamp) {  // v by byte index: A, R, G, B
  uint32_t p = 0;
  for (int k = 0; k < 4; ++k) {
    W x = v[k];
    if (clamp && (x & ~255)) x = x < 0 ? 0 : 255;
    p |= (uint32_t)(x & 255) << (8 * k);
  }
  return p;
}

long long Ftoi(double v) {  // (int)v with saturation
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647LL;
  if (v <= -2147483648.0) return -2147483648LL;
  return (long long)v;
}

int Clampi(long long v, int lo, int hi) {
  return (int)std::max<long long>(lo, std::min<long long>(hi, v));
}

int T(int i) { return i == 0 ? 0 : 65536 / i - 1; }

int Byte(W v) { return v < 0 ? 0 : v > 255 ? 255 : (int)v; }

uint32_t Hsv(uint32_t dest, W r, W g, W b, W a, W alpha) {
  int h0, s0, v0;
  RefRGB2HSV(Chan(dest, 1), Chan(dest, 2), Chan(dest, 3), &h0, &s0, &v0);
  W h = h0 + ((r + r / 2 - 192) * alpha) / 256;
  if (h < 0) h += 384;
  else if (h >= 384) h -= 384;
  const int s = Byte(s0 + ((g - 128) * alpha) / 128), v = Byte(v0 + ((b - 128) * alpha) / 128);
  return RefHSV2Pix((int)(h % 384), s, v, Byte(a));
}

// One pixel: source s by byte index (A, R, G, B), weight alpha.
uint32_t Combine(uint32_t dest, const W* s, W alpha, RefClass c, bool clamp) {
  W d[4], x[4];
  for (int k = 0; k < 4; ++k) d[k] = Chan(dest, k);
  const W a = s[0], sa = alpha * (a + 1) / 256;  // weight scaled by the source alpha
  switch (c) {
    case kRefNone: return dest;
    case kRefClobber: return Pack(s, clamp);
    case kRefCopy:
      for (int k = 0; k < 4; ++k) x[k] = s[k] + (d[k] - s[k]) * (256 - alpha) / 256;
      return Pack(x, clamp);
    case kRefHalfMix:
      for (int k = 0; k < 4; ++k) x[k] = (s[k] + d[k]) >> 1;
      return Pack(x, false);
    case kRefSaAdd:
      if (a == 0) return dest;
      return Combine(dest, s, sa, kRefAdd, clamp);
    case kRefAdd:
      for (int k = 0; k < 4; ++k) x[k] = d[k] + s[k] * alpha / 256;
      return Pack(x, true);
    case kRefSaDodge: return Combine(dest, s, sa, kRefDodge, clamp);
    case kRefDodge:
      for (int k = 0; k < 4; ++k) {
        const W t = 256 - s[k] * alpha / 256;
        x[k] = t > 1 ? (d[k] * 256) / t : d[k] * 256;
      }
      return Pack(x, true);
    case kRefSaMul:
      if (a == 0) return dest;
      return Combine(dest, s, sa, kRefMul, clamp);
    case kRefMul:
      for (int k = 0; k < 4; ++k) x[k] = (d[k] * ((256 - alpha) * 256 + s[k] * alpha)) >> 16;
      return Pack(x, clamp);
    case kRefSaOverlay: return Combine(dest, s, sa, kRefOverlay, clamp);
    case kRefOverlay:
      for (int k = 0; k < 4; ++k) {
        const W t = s[k] * alpha + (256 - alpha) * 128;
        x[k] = (d[k] * ((d[k] * (32768 - t)) / 256 + t)) >> 15;
      }
      return Pack(x, true);
    case kRefSaHsv: return Hsv(dest, s[1], s[2], s[3], a, sa);
    case kRefHsv: return Hsv(dest, s[1], s[2], s[3], a, alpha);
    case kRefSaCopyFull:
      if (a == 0) return dest;
      if (a == 255) return Pack(s, clamp);
      for (int k = 1; k < 4; ++k) x[k] = s[k] + (d[k] - s[k]) * (255 - a) / 256;
      x[0] = clamp ? a + d[0] : std::min<W>(a + d[0], 255);
      return Pack(x, clamp);
    case kRefSaCopy:
      if (a == 0) return dest;
      for (int k = 1; k < 4; ++k) x[k] = s[k] + (d[k] - s[k]) * (256 - sa) / 256;
      x[0] = clamp ? sa + d[0] : std::min<W>(sa + d[0], 255);
      return Pack(x, clamp);
  }
  return dest;
}

}  // namespace

int RefWeight(float alpha) { return Clampi(Ftoi(alpha * 256.0f), -1024, 1024); }

void RefRGB2HSV(int r, int g, int b, int* h, int* s, int* v) {
  const int mx = std::max(r, std::max(g, b)), mn = std::min(r, std::min(g, b));
  int delta = mx - mn, base, num;
  if (g > r && g > b) {
    base = 128;
    num = b - r;
  } else if ((g > r && b >= g) || (g <= r && b >= r)) {
    base = 256;
    num = r - g;
  } else {
    if (g < b) {
      base = 383;
      delta = r - g;
    } else {
      base = 0;
      delta = r - b;
    }
    num = g - b;
  }
  *h = base + num * (T(delta) + 1) / 1024;
  *s = delta * T(mx) / 256;
  *v = mx;
}

uint32_t RefHSV2Pix(int h, int s, int v, int a) {
  h = ((h % 384) + 384) % 384;
  const int lo = v * (256 - s) / 256;
  auto F = [&](int k) { return v * (16384 + k) / 16384; };
  int r, g, b;
  switch (h / 64) {
    case 0:
      r = v;
      g = F(-(64 - h) * s);
      b = lo;
      break;
    case 1:
      r = F((64 - h) * s);
      g = v;
      b = lo;
      break;
    case 2:
      r = lo;
      g = v;
      b = F(-(192 - h) * s);
      break;
    case 3:
      r = lo;
      g = F((192 - h) * s);
      b = v;
      break;
    case 4:
      r = F(-(320 - h) * s);
      g = lo;
      b = v;
      break;
    default:
      r = v;
      g = lo;
      b = F((320 - h) * s);
      break;
  }
  return (uint32_t)a | (uint32_t)r << 8 | (uint32_t)g << 16 | (uint32_t)b << 24;
}

uint32_t RefCombine(uint32_t dest, int r, int g, int b, int a, int alpha, RefClass c, bool clamp) {
  const W s[4] = {a, r, g, b};
  return Combine(dest, s, alpha, c, clamp);
}

RefClass RefBlitClass(int mode, int ia) {
  const int m = mode & 0x100ff;
  switch (m) {
    case 0: return ia == 256 ? kRefClobber : ia >= 1 ? kRefCopy : kRefNone;
    case 1: return kRefAdd;
    case 2: return kRefDodge;
    case 3: return kRefMul;
    case 4: return kRefOverlay;
    case 5: return kRefHsv;
    case 0x10000: return ia == 256 ? kRefSaCopyFull : kRefSaCopy;
    case 0x10001: return kRefSaAdd;
    case 0x10002: return kRefSaDodge;
    case 0x10003: return kRefSaMul;
    case 0x10004: return kRefSaOverlay;
    case 0x10005: return kRefSaHsv;
    default: return kRefNone;
  }
}

RefClass RefSolidClass(int mode, int ia) {
  const RefClass table[6] = {kRefCopy, kRefAdd, kRefDodge, kRefMul, kRefOverlay, kRefHsv};
  const int m = mode & 0xff;
  if (m > 5 || (m == 0 && ia <= 0)) return kRefNone;
  return table[m];
}

RefClass RefClampedClass(int mode) { return RefSolidClass(mode, 1); }

static uint32_t Blend(uint32_t d, uint32_t s, int ia, RefClass c, bool clamp) {
  return RefCombine(d, Chan(s, 1), Chan(s, 2), Chan(s, 3), Chan(s, 0), ia, c, clamp);
}

void RefFillRect(Img& d, int x, int y, int w, int h, uint32_t colour, float alpha, int mode) {
  if (mode & 0x10000) alpha *= (float)(colour & 255) / 255.0f;
  if (alpha == 0.0f) return;
  const int ia = RefWeight(alpha);
  const uint32_t half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
  for (long long py = std::max(y, 0); py < std::min((long long)y + h, (long long)d.h); ++py)
    for (long long px = std::max(x, 0); px < std::min((long long)x + w, (long long)d.w); ++px) {
      uint32_t& p = d.at((int)px, (int)py);
      if ((mode & 0xff) == 0 && ia == 256) p = colour;
      else if ((mode & 0xff) == 0 && ia == 128) p = half + ((p >> 1) & 0x7f7f7f7f);
      else if ((mode & 0xff) == 0 && ia == 64)
        p = ((p >> 1) & 0x7f7f7f7f) + ((p >> 2) & 0x3f3f3f3f) + quarter;
      else if ((mode & 0xff) == 0 && ia == 192) p = half + quarter + ((p >> 2) & 0x3f3f3f3f);
      else if (ia != 0) {
        // The copy class clamps: the weight stands in for the source alpha (up to 256).
        const RefClass c = RefSolidClass(mode, ia);
        p = RefCombine(p, Chan(colour, 1), Chan(colour, 2), Chan(colour, 3), ia, ia, c,
                       c == kRefCopy);
      }
    }
}

void RefPutPixel(Img& d, int x, int y, uint32_t colour, float alpha, int mode) {
  if (!d.inside(x, y)) return;
  const int ia = RefWeight(alpha);
  uint32_t& p = d.at(x, y);
  const uint32_t half = (colour >> 1) & 0x7f7f7f7f, quarter = (colour >> 2) & 0x3f3f3f3f;
  if ((mode & 0xff) == 0 && ia == 256) p = colour;
  else if ((mode & 0xff) == 0 && ia == 128) p = half + ((p >> 1) & 0x7f7f7f7f);
  else if ((mode & 0xff) == 0 && ia == 64)
    p = ((p >> 1) & 0x7f7f7f7f) + ((p >> 2) & 0x3f3f3f3f) + quarter;
  else if ((mode & 0xff) == 0 && ia == 192) p = half + quarter + ((p >> 2) & 0x3f3f3f3f);
  else if (ia != 0) p = Blend(p, colour, ia, RefSolidClass(mode, ia), false);
}

void RefBlit(Img& d, const Img& s, int dstx, int dsty, long long l, long long t, long long r,
             long long b, float alpha, int mode) {
  if (alpha == 0.0f) return;
  const int ia = RefWeight(alpha);
  for (long long sy = std::max(t, 0LL); sy < std::min(b, (long long)s.h); ++sy)
    for (long long sx = std::max(l, 0LL); sx < std::min(r, (long long)s.w); ++sx) {
      const long long dx = dstx + (sx - l), dy = dsty + (sy - t);
      if (!d.inside(dx, dy)) continue;
      uint32_t& p = d.at((int)dx, (int)dy);
      const uint32_t sp = s.get((int)sx, (int)sy);
      if ((mode & 0xff) >= 0xF0) {
        const int from = mode & 3, to = (mode >> 2) & 3;
        p = (p & ~(0xFFu << (8 * to))) | (uint32_t)Chan(sp, from) << (8 * to);
      } else if ((mode & 0x100ff) == 0 && alpha == 1.0f) {
        p = sp;
      } else if ((mode & 0x100ff) == 0 && alpha == 0.5f) {
        p = ((p >> 1) & 0x7f7f7f7f) + ((sp >> 1) & 0x7f7f7f7f);
      } else if (ia != 0) {
        p = Blend(p, sp, ia, RefBlitClass(mode, ia), false);
      }
    }
}

namespace {

struct Axis {           // one axis of a scaled blit after clipping
  long long d0, n;      // first destination position and count
  long long pos, step;  // 16.16
  int clip;
  float adv;
};

bool ScaleAxis(long long dpos, long long dlen, float spos, float slen, int dsize, int ssize,
               Axis* a) {
  if (dlen < 0) {
    dlen = -dlen;
    dpos -= dlen;
    spos += slen;
    slen = -slen;
  }
  a->adv = slen / (float)dlen;
  if (dpos < 0) {
    spos -= (float)dpos * a->adv;
    dlen += dpos;
    dpos = 0;
  }
  if (dlen < 1 || dpos >= dsize) return false;
  a->d0 = dpos;
  a->n = std::min<long long>(dlen, dsize - dpos);
  a->step = Ftoi(65536.0f * a->adv);
  a->pos = Ftoi(spos * 65536.0f);
  if (a->step < 0) a->pos -= 1;  // mirrored: start inside the exclusive end
  a->clip = (int)std::min<long long>(Ftoi((double)(spos + std::max(slen, 0.0f)) + 0.999999), ssize);
  return a->clip >= 1;
}

// Bilinear sample by the four cases; false where nothing is written.
bool Bilinear(const Img& s, long long x, long long y, int clip_r, int clip_b, int* out) {
  const long long sx = x >> 16, sy = y >> 16;
  if (sx < 0 || sy < 0 || sx >= clip_r || sy >= clip_b) return false;
  const long long fx = x & 0xFFFF, fy = y & 0xFFFF;
  for (int k = 0; k < 4; ++k) {
    const int p00 = Chan(s.get((int)sx, (int)sy), k);
    if (sx < clip_r - 1 && sy < clip_b - 1) {
      const int p01 = Chan(s.get((int)sx + 1, (int)sy), k),
                p10 = Chan(s.get((int)sx, (int)sy + 1), k),
                p11 = Chan(s.get((int)sx + 1, (int)sy + 1), k);
      const long long w11 = (fx * fy) >> 16, w00 = 65536 - fx - fy + w11, w01 = fx - w11,
                      w10 = fy - w11;
      out[k] = (int)((p00 * w00 + p01 * w01 + p10 * w10 + p11 * w11) >> 16);
    } else if (sy < clip_b - 1) {
      out[k] = (int)((p00 * (65536 - fy) + Chan(s.get((int)sx, (int)sy + 1), k) * fy) >> 16);
    } else if (sx < clip_r - 1) {
      out[k] = (int)((p00 * (65536 - fx) + Chan(s.get((int)sx + 1, (int)sy), k) * fx) >> 16);
    } else {
      out[k] = p00;
    }
  }
  return true;
}

}  // namespace

void RefScaledBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                   float srcy, float srcw, float srch, float alpha, int mode) {
  if (dstw == 0 || dsth == 0 || alpha == 0.0f) return;
  auto nearInt = [](float v) { return std::fabs(v - std::floor(v + 0.5f)) < 0.03f; };
  if (dstw > 0 && dsth > 0 && std::fabs(srcw - (float)dstw) < 0.001 &&
      std::fabs(srch - (float)dsth) < 0.001 &&
      (((mode >> 8) & 0xff) != 1 || (nearInt(srcx) && nearInt(srcy)))) {
    const long long sx = Ftoi(0.5 + srcx), sy = Ftoi(0.5 + srcy);
    RefBlit(d, s, dstx, dsty, sx, sy, std::min(sx + dstw, 2147483647LL),
            std::min(sy + dsth, 2147483647LL), alpha, mode);
    return;
  }
  Axis ax, ay;
  if (!ScaleAxis(dstx, dstw, srcx, srcw, d.w, s.w, &ax) ||
      !ScaleAxis(dsty, dsth, srcy, srch, d.h, s.h, &ay))
    return;
  const int ia = RefWeight(alpha);
  const int filter = mode & 0xff00;
  const bool words = (mode & 0x1FFFF) == 0 && (ia == 256 || ia == 128);
  const bool box = !words && ax.adv >= 1.7f && ay.adv >= 1.7f && filter == 0x100;
  const int size = std::max(ax.step, ay.step) <= 0x30000 ? 3 : 5;
  if (!words && ia == 0) return;
  const RefClass c = RefBlitClass(mode, ia);
  for (long long j = 0; j < ay.n; ++j)
    for (long long i = 0; i < ax.n; ++i) {
      const long long x = ax.pos + i * ax.step, y = ay.pos + j * ay.step;
      const long long sx = x >> 16, sy = y >> 16;
      uint32_t& p = d.at((int)(ax.d0 + i), (int)(ay.d0 + j));
      int v[4];
      if (box) {
        if (x < 0 || y < 0 || sx >= ax.clip || sy >= ay.clip) continue;
        long long sum[4] = {0, 0, 0, 0}, n = 0;
        for (long long yy = sy - size / 2; yy < sy - size / 2 + size; ++yy)
          for (long long xx = sx - size / 2; xx < sx - size / 2 + size; ++xx) {
            if (yy < 0 || xx < 0 || yy >= ay.clip || xx >= ax.clip) continue;
            ++n;
            for (int k = 0; k < 4; ++k) sum[k] += Chan(s.get((int)xx, (int)yy), k);
          }
        for (int k = 0; k < 4; ++k) v[k] = (int)(sum[k] / n);
      } else if (filter == 0x100 && !words) {
        if (!Bilinear(s, x, y, ax.clip, ay.clip, v)) continue;
      } else {
        if (sx < 0 || sy < 0 || sx >= ax.clip || sy >= ay.clip) continue;
        const uint32_t sp = s.get((int)sx, (int)sy);
        if (words) {
          p = ia == 256 ? sp : ((p >> 1) & 0x7f7f7f7f) + ((sp >> 1) & 0x7f7f7f7f);
          continue;
        }
        for (int k = 0; k < 4; ++k) v[k] = Chan(sp, k);
      }
      p = RefCombine(p, v[1], v[2], v[3], v[0], ia, c, false);
    }
}

namespace {

struct Walk {  // the delta walk after clipping, in 16.16
  long long dstx, dsty, w, h;
  double s0, t0, dsdx, dtdx, dsdy, dtdy, dsdxdy, dtdxdy, a0, dadx, dady, dadxdy;
};

void RunWalk(Img& d, const Img& s, Walk k, bool clip, float srcx, float srcy, float srcw,
             float srch, int ia, int mode, bool stepAlpha) {
  // Clip left and top: the skipped columns and rows advance every term.
  const double cx = k.dstx < 0 ? -(double)k.dstx : 0, cy = k.dsty < 0 ? -(double)k.dsty : 0;
  // (Zero counts contribute nothing, even against infinite steps.)
  auto m = [](double n, double v) { return n == 0 ? 0 : n * v; };
  k.s0 += m(cy, k.dsdy) + m(cx, k.dsdx) + m(cx * cy, k.dsdxdy);
  k.t0 += m(cy, k.dtdy) + m(cx, k.dtdx) + m(cx * cy, k.dtdxdy);
  k.a0 += m(cy, k.dady) + m(cx, k.dadx) + m(cx * cy, k.dadxdy);
  k.dsdy += m(cx, k.dsdxdy);
  k.dtdy += m(cx, k.dtdxdy);
  k.dady += m(cx, k.dadxdy);
  k.dsdx += m(cy, k.dsdxdy);
  k.dtdx += m(cy, k.dtdxdy);
  k.dadx += m(cy, k.dadxdy);
  k.w -= (long long)cx;
  k.h -= (long long)cy;
  k.dstx = std::max(k.dstx, 0LL);
  k.dsty = std::max(k.dsty, 0LL);
  if (k.w <= 0 || k.h <= 0 || k.dstx >= d.w || k.dsty >= d.h) return;
  float left = 0, top = 0, right = (float)s.w, bottom = (float)s.h;
  if (clip) {
    right = std::min(right, srcx + srcw);
    bottom = std::min(bottom, srcy + srch);
    left = std::max(srcx, 0.0f);
    top = std::max(srcy, 0.0f);
  }
  const long long il = Ftoi(left), it = Ftoi(top);
  const long long sr = Ftoi(right) - il, sb = Ftoi(bottom) - it;
  if (sr <= 0 || sb <= 0) return;
  const RefClass c = stepAlpha ? RefClampedClass(mode) : RefBlitClass(mode, ia);
  if (c == kRefNone) return;
  auto fx = [](double v) { return Ftoi(v * 65536.0); };
  const long long s0 = fx(k.s0 - il), t0 = fx(k.t0 - it), a0 = fx(k.a0);
  const long long dsdx = fx(k.dsdx), dtdx = fx(k.dtdx), dsdy = fx(k.dsdy), dtdy = fx(k.dtdy);
  const long long dsdxdy = fx(k.dsdxdy), dtdxdy = fx(k.dtdxdy);
  const long long dadx = fx(k.dadx), dady = fx(k.dady), dadxdy = fx(k.dadxdy);
  // Sub-image of the source starting at the origin (left, top).
  Img sub;
  sub.w = (int)std::min<long long>(sr, s.w - il);
  sub.h = (int)std::min<long long>(sb, s.h - it);
  for (int y = 0; y < sub.h; ++y)
    for (int x = 0; x < sub.w; ++x) sub.px.push_back(s.get((int)il + x, (int)it + y));
  const bool bilinear = (mode & 0xff00) == 0x100;
  for (long long j = 0; j < std::min(k.h, d.h - k.dsty); ++j)
    for (long long i = 0; i < std::min(k.w, d.w - k.dstx); ++i) {
      const long long sx = s0 + j * dsdy + i * (dsdx + j * dsdxdy);
      const long long ty = t0 + j * dtdy + i * (dtdx + j * dtdxdy);
      const long long a = a0 + j * dady + i * (dadx + j * dadxdy);
      const int weight = stepAlpha ? Clampi(a >> 8, -1024, 1024) : ia;
      int v[4];
      if (bilinear) {
        if (!Bilinear(sub, sx, ty, (int)sr, (int)sb, v)) continue;
      } else {
        if (sx < 0 || ty < 0 || (sx >> 16) >= sr || (ty >> 16) >= sb) continue;
        for (int q = 0; q < 4; ++q) v[q] = Chan(sub.get((int)(sx >> 16), (int)(ty >> 16)), q);
      }
      uint32_t& p = d.at((int)(k.dstx + i), (int)(k.dsty + j));
      p = RefCombine(p, v[1], v[2], v[3], v[0], weight, c, stepAlpha);
    }
}

}  // namespace

void RefRotatedBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                    float srcy, float srcw, float srch, float angle, bool clip, float alpha,
                    int mode, float rotxcent, float rotycent) {
  if (dstw == 0 || dsth == 0 || RefWeight(alpha) == 0) return;
  const double cosa = std::cos((double)angle), sina = std::sin((double)angle);
  Walk k{};
  k.dstx = dstx;
  k.dsty = dsty;
  double sw = srcw, sh = srch;
  if (dstw < 0) {
    k.dstx += dstw;
    k.w = -(long long)dstw;
    sw = -sw;
  } else k.w = dstw;
  if (dsth < 0) {
    k.dsty += dsth;
    k.h = -(long long)dsth;
    sh = -sh;
  } else k.h = dsth;
  const double xsc = sw / (double)k.w, ysc = sh / (double)k.h;
  k.dsdx = xsc * cosa;
  k.dtdx = -ysc * sina;
  k.dsdy = xsc * sina;
  k.dtdy = ysc * cosa;
  k.s0 = (dstw >= 0 ? srcx : (double)srcx + srcw) -
         (0.5 * ((double)k.w * k.dsdx + (double)k.h * k.dsdy - sw) - rotxcent);
  k.t0 = (dsth >= 0 ? srcy : (double)srcy + srch) -
         (0.5 * ((double)k.h * k.dtdy + (double)k.w * k.dtdx - sh) - rotycent);
  RunWalk(d, s, k, clip, srcx, srcy, srcw, srch, RefWeight(alpha), mode, false);
}

void RefDeltaBlit(Img& d, const Img& s, int dstx, int dsty, int dstw, int dsth, float srcx,
                  float srcy, float srcw, float srch, double dsdx, double dtdx, double dsdy,
                  double dtdy, double dsdxdy, double dtdxdy, bool clip, float alpha, int mode,
                  double dadx, double dady, double dadxdy) {
  if (dstw == 0 || dsth == 0) return;
  const bool stepAlpha = !(std::fabs(dadx * dstw) < 0.0001 && std::fabs(dady * dsth) < 0.0001 &&
                           std::fabs(dadxdy * dsth) < 0.0001);
  const int ia = RefWeight(alpha);
  if (!stepAlpha && ia == 0) return;
  Walk k{};
  k.dstx = dstx;
  k.dsty = dsty;
  k.w = dstw;
  k.h = dsth;
  k.s0 = srcx;
  k.t0 = srcy;
  if (dstw < 0) {
    k.dstx += dstw;
    k.w = -(long long)dstw;
    k.s0 = (double)srcx + srcw;
  }
  if (dsth < 0) {
    k.dsty += dsth;
    k.h = -(long long)dsth;
    k.t0 = (double)srcy + srch;
  }
  k.dsdx = dsdx;
  k.dtdx = dtdx;
  k.dsdy = dsdy;
  k.dtdy = dtdy;
  k.dsdxdy = dsdxdy;
  k.dtdxdy = dtdxdy;
  if (stepAlpha) {
    k.a0 = alpha;
    k.dadx = dadx;
    k.dady = dady;
    k.dadxdy = dadxdy;
  }
  RunWalk(d, s, k, clip, srcx, srcy, srcw, srch, ia, mode, stepAlpha);
}

void RefGradRect(Img& d, int x, int y, int w, int h, const float* start, const float* ddx,
                 const float* ddy, int mode) {
  const RefClass c = RefClampedClass(mode);
  if (c == kRefNone) return;
  W st[4], sx[4], sy[4];
  for (int k = 0; k < 4; ++k) {
    const float scale = k == 3 ? 256.0f : 255.0f;  // R, G, B, A
    st[k] = Ftoi(start[k] * scale * 65536.0f);
    sx[k] = Ftoi(ddx[k] * scale * 65536.0f);
    sy[k] = Ftoi(ddy[k] * scale * 65536.0f);
  }
  for (long long py = std::max(y, 0); py < std::min((long long)y + h, (long long)d.h); ++py)
    for (long long px = std::max(x, 0); px < std::min((long long)x + w, (long long)d.w); ++px) {
      int v[4];
      for (int k = 0; k < 4; ++k) {
        // Values beyond the int range are held at its ends.
        const W q = (st[k] + (px - x) * sx[k] + (py - y) * sy[k]) / 65536;
        v[k] = q < INT32_MIN ? INT32_MIN : q > INT32_MAX ? INT32_MAX : (int)q;
      }
      uint32_t& p = d.at((int)px, (int)py);
      p = RefCombine(p, v[0], v[1], v[2], v[3], v[3], c, true);
    }
}

void RefMultiplyAdd(Img& d, int x, int y, int w, int h, const float* sc, const float* add) {
  for (long long py = std::max(y, 0); py < std::min((long long)y + h, (long long)d.h); ++py)
    for (long long px = std::max(x, 0); px < std::min((long long)x + w, (long long)d.w); ++px) {
      uint32_t& p = d.at((int)px, (int)py);
      W v[4];
      for (int k = 0; k < 4; ++k) {  // sc and add are R, G, B, A; bytes are A, R, G, B
        const int q = (k + 3) % 4;
        const long long r = (Ftoi(add[q] * 256.0f) + Ftoi(sc[q] * 256.0f) * Chan(p, k)) >> 8;
        v[k] = (int)std::max(0LL, std::min(255LL, r));
      }
      p = Pack(v, false);
    }
}

void RefBlur(Img& d, const Img& s, int dstx, int dsty, int srcx, int srcy, int srcw, int srch) {
  long long sx = srcx, sy = srcy, w = srcw, h = srch, dx = dstx, dy = dsty;
  if (sx < 0) {
    w += sx;
    sx = 0;
  }
  if (sy < 0) {
    h += sy;
    sy = 0;
  }
  w = std::min(w, s.w - sx);
  h = std::min(h, s.h - sy);
  if (dx < 0) {
    sx -= dx;
    w += dx;
    dx = 0;
  }
  if (dy < 0) {
    sy -= dy;
    h += dy;
    dy = 0;
  }
  w = std::min(w, d.w - dx);
  h = std::min(h, d.h - dy);
  if (w < 2 || h < 2) return;
  const Img src = s;  // original pixels even when d and s are the same image
  auto P = [&](long long i, long long j) { return src.get((int)(sx + i), (int)(sy + j)); };
  auto h2 = [](uint32_t p) { return (p >> 1) & 0x7f7f7f7f; };
  auto h4 = [](uint32_t p) { return (p >> 2) & 0x3f3f3f3f; };
  auto h8 = [](uint32_t p) { return (p >> 3) & 0x1f1f1f1f; };
  for (long long j = 0; j < h; ++j)
    for (long long i = 0; i < w; ++i) {
      uint32_t v = h2(P(i, j));
      const bool l = i > 0, r = i<w - 1, u = j> 0, dn = j < h - 1;
      if (l && r) v += h8(P(i - 1, j)) + h8(P(i + 1, j));
      else v += h4(P(l ? i - 1 : i + 1, j));
      if (u && dn) v += h8(P(i, j - 1)) + h8(P(i, j + 1));
      else v += h4(P(i, u ? j - 1 : j + 1));
      d.at((int)(dx + i), (int)(dy + j)) = v;
    }
}

void RefHalve(Img& d, const Img& s) {
  auto q = [](uint32_t p) { return (p >> 2) & 0x3f3f3f3f; };
  for (int y = 0; y < std::min(d.h, s.h / 2); ++y)
    for (int x = 0; x < std::min(d.w, s.w / 2); ++x)
      d.at(x, y) = q(s.get(2 * x, 2 * y)) + q(s.get(2 * x + 1, 2 * y)) +
                   q(s.get(2 * x, 2 * y + 1)) + q(s.get(2 * x + 1, 2 * y + 1));
}
