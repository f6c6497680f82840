#include "reference_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "reference.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Colour and weight of one shape draw. As in the library: with the source
// alpha flag the opacity is scaled by the colour's alpha, copy above opaque
// is opaque, and a weight of 0 or below draws nothing.
struct Solid {
  int r, g, b, a, ia, mode;
  float alpha;
  uint32_t colour;
};

bool MakeSolid(uint32_t colour, float alpha, int mode, Solid* s) {
  if (mode & 0x10000) alpha *= (float)(colour & 255) / 255.0f;
  s->ia = RefWeight(alpha);
  if ((mode & 0xff) == 0 && s->ia > 256) s->ia = 256;
  s->r = (int)((colour >> 8) & 255);
  s->g = (int)((colour >> 16) & 255);
  s->b = (int)((colour >> 24) & 255);
  s->a = (int)(colour & 255);
  s->mode = mode;
  s->alpha = alpha;
  s->colour = colour;
  return s->ia > 0;
}

// Presents the image in memory-row order while a shape is drawn.
struct MemoryRows {
  Img& im;
  bool flipped;
  MemoryRows(Img& i, bool f) : im(i), flipped(f) { Mirror(); }
  ~MemoryRows() { Mirror(); }
  void Mirror() {
    if (!flipped) return;
    for (int y = 0; y < im.h / 2; ++y)
      for (int x = 0; x < im.w; ++x) std::swap(im.at(x, y), im.at(x, im.h - 1 - y));
  }
};

// Copy at full weight clobbers, at weight 128 half-mixes; otherwise the solid table.
RefClass LineClass(const Solid& s) {
  if ((s.mode & 0xff) == 0 && s.ia == 256) return kRefClobber;
  if ((s.mode & 0xff) == 0 && s.ia == 128) return kRefHalfMix;
  return RefSolidClass(s.mode, s.ia);
}

void Blend(Img& m, long long x, long long y, const Solid& s, int weight, RefClass c) {
  if (!m.inside(x, y)) return;
  uint32_t& p = m.at((int)x, (int)y);
  p = RefCombine(p, s.r, s.g, s.b, s.a, weight, c, false);
}

// (int)v saturated to the int range; NaN gives 0.
int ToInt(double v) {
  if (v != v) return 0;
  return (int)std::max(-2147483648.0, std::min(2147483647.0, v));
}

uint32_t Half(uint32_t p) { return (p >> 1) & 0x7f7f7f7f; }
uint32_t Quarter(uint32_t p) { return (p >> 2) & 0x3f3f3f3f; }

// One pixel of a horizontal or vertical run: whole-word mixes for copy at
// opacity 1, 1/2, 1/4 and 3/4.
void RunPixel(uint32_t& p, const Solid& s) {
  const bool copy = (s.mode & 0xff) == 0;
  if (copy && s.alpha == 1.0f) p = s.colour;
  else if (copy && s.alpha == 0.5f) p = Half(s.colour) + Half(p);
  else if (copy && s.alpha == 0.25f) p = Half(p) + Quarter(p) + Quarter(s.colour);
  else if (copy && s.alpha == 0.75f) p = Half(s.colour) + Quarter(s.colour) + Quarter(p);
  else p = RefCombine(p, s.r, s.g, s.b, s.a, s.ia, LineClass(s), false);
}

// Cohen-Sutherland against [0, w) x [0, h): the outside end (the first one if
// both are) moves to the bottom, top, right or left edge, computed in double;
// integer lines truncate each move.
bool Clip(double& x1, double& y1, double& x2, double& y2, double w, double h, bool trunc) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2) ||
      w <= 0 || h <= 0)
    return false;
  auto code = [&](double x, double y) {
    return (x < 0 ? 1 : 0) | (x >= w ? 2 : 0) | (y < 0 ? 4 : 0) | (y >= h ? 8 : 0);
  };
  for (int moves = 0; moves < 100; ++moves) {
    const int c1 = code(x1, y1), c2 = code(x2, y2);
    if (!(c1 | c2)) return true;
    if (c1 & c2) return false;
    const int c = c1 ? c1 : c2;
    double& x = c1 ? x1 : x2;
    double& y = c1 ? y1 : y2;
    const double ox = c1 ? x2 : x1, oy = c1 ? y2 : y1;
    double nx, ny;
    if (c & 8) {
      ny = h - 1;
      nx = x + (ox - x) * (h - y) / (oy - y);
    } else if (c & 4) {
      ny = 0;
      nx = x + (ox - x) * (-y) / (oy - y);
    } else if (c & 2) {
      nx = w - 1;
      ny = y + (oy - y) * (w - x) / (ox - x);
    } else {
      nx = 0;
      ny = y + (oy - y) * (-x) / (ox - x);
    }
    x = trunc ? std::trunc(nx) : nx;
    y = trunc ? std::trunc(ny) : ny;
  }
  return false;
}

void Diagonal(Img& m, const Solid& s, int x1, int y1, int n, int sx, int sy, bool aa) {
  const bool words = (s.mode & 0xff) == 0 && s.alpha == 1.0f;
  const RefClass c = aa ? RefSolidClass(s.mode, s.ia) : LineClass(s);
  const uint32_t half = Half(s.colour), quarter = Quarter(s.colour);
  for (int i = 0; i <= n; ++i) {
    const int x = x1 + i * sx, y = y1 + i * sy;
    if (words) {
      uint32_t& p = m.at(x, y);
      p = aa ? half + quarter + Quarter(p) : s.colour;
    } else {
      Blend(m, x, y, s, aa ? s.ia * 3 / 4 : s.ia, c);
    }
    if (!aa || i == n) continue;
    // A quarter on the two pixels between this one and the next.
    const int nb[2][2] = {{x + sx, y}, {x, y + sy}};
    for (const auto& q : nb) {
      if (words) {
        uint32_t& p = m.at(q[0], q[1]);
        p = Half(p) + Quarter(p) + quarter;
      } else {
        Blend(m, q[0], q[1], s, s.ia / 4, c);
      }
    }
  }
}

// Both ends step towards the middle; the minor coordinate moves when the
// accumulated slope reaches one half.
void General(Img& m, const Solid& s, int x1, int y1, int x2, int y2) {
  const int dx = x2 - x1, dy = y2 - y1, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xmajor = std::abs(dx) > std::abs(dy);
  const int n = xmajor ? std::abs(dx) : std::abs(dy), minor = xmajor ? std::abs(dy) : std::abs(dx);
  const int mx = xmajor ? sx : 0, my = xmajor ? 0 : sy, nx = xmajor ? 0 : sx, ny = xmajor ? sy : 0;
  const long long slope = ((long long)minor << 16) / n;
  const RefClass c = LineClass(s);
  int ax = x1, ay = y1, bx = x2, by = y2;
  long long acc = 0;
  for (int i = 0; i < (n + 1) / 2; ++i) {
    Blend(m, ax, ay, s, s.ia, c);
    Blend(m, bx, by, s, s.ia, c);
    ax += mx;
    ay += my;
    bx -= mx;
    by -= my;
    if (acc + slope >= 0x8000) {
      acc += slope - 0x10000;
      ax += nx;
      ay += ny;
      bx -= nx;
      by -= ny;
    } else {
      acc += slope;
    }
  }
  if (n % 2 == 0) Blend(m, ax, ay, s, s.ia, c);
}

// From the first end: each inner step splits the weight between the pixel on
// the line and the one a minor step further.
void GeneralAA(Img& m, const Solid& s, int x1, int y1, int x2, int y2) {
  const int dx = x2 - x1, dy = y2 - y1, sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xmajor = std::abs(dx) > std::abs(dy);
  const int n = xmajor ? std::abs(dx) : std::abs(dy), minor = xmajor ? std::abs(dy) : std::abs(dx);
  const int mx = xmajor ? sx : 0, my = xmajor ? 0 : sy, nx = xmajor ? 0 : sx, ny = xmajor ? sy : 0;
  const long long slope = ((long long)minor << 16) / n;
  const RefClass c = RefSolidClass(s.mode, s.ia);
  Blend(m, x1, y1, s, s.ia, c);
  Blend(m, x2, y2, s, s.ia, c);
  int x = x1, y = y1;
  long long t = slope;
  for (int i = 1; i < n; ++i) {
    x += mx;
    y += my;
    const int f = (int)(t >> 8);
    const int w1 = s.ia == 256 ? 255 - f : (s.ia * (255 - f)) >> 8;
    const int w2 = s.ia == 256 ? f : (s.ia * f) >> 8;
    if (w1 > 0) Blend(m, x, y, s, w1, c);
    if (w2 > 0) Blend(m, x + nx, y + ny, s, w2, c);
    if (t + slope >= 0x10000) {
      x += nx;
      y += ny;
      t += slope - 0x10000;
    } else {
      t += slope;
    }
  }
}

void DrawLine(Img& m, const Solid& s, int x1, int y1, int x2, int y2, bool aa) {
  if (y1 == y2) {
    for (int x = std::min(x1, x2); x <= std::max(x1, x2); ++x) RunPixel(m.at(x, y1), s);
    return;
  }
  if (x1 == x2) {
    for (int y = std::min(y1, y2); y <= std::max(y1, y2); ++y) RunPixel(m.at(x1, y), s);
    return;
  }
  const int dx = x2 - x1, dy = y2 - y1;
  if (std::abs(dx) == std::abs(dy))
    Diagonal(m, s, x1, y1, std::abs(dx), dx < 0 ? -1 : 1, dy < 0 ? -1 : 1, aa);
  else if (aa) GeneralAA(m, s, x1, y1, x2, y2);
  else General(m, s, x1, y1, x2, y2);
}

// Inclusive box a circle drawer may touch.
struct Box {
  long long l, t, r, b;
};

struct Pen {
  Img& m;
  const Solid& s;
  Box box;
  long long cx, cy;
  RefClass c;
  void Plot(long long dx, long long dy, int w) const {
    const long long x = cx + dx, y = cy + dy;
    if (w > 0 && x >= box.l && x <= box.r && y >= box.t && y <= box.b) Blend(m, x, y, s, w, c);
  }
  void Plot4(long long dx, long long dy, int w) const {
    Plot(dx, dy, w);
    Plot(-dx, dy, w);
    Plot(dx, -dy, w);
    Plot(-dx, -dy, w);
  }
};

void MidpointOutline(const Pen& p, long long r) {
  const int ia = p.s.ia;
  if (r == 0) {
    p.Plot(0, 0, ia);  // the four axis points are one pixel: blended once
  } else {
    p.Plot(0, -r, ia);
    p.Plot(0, r, ia);
    p.Plot(-r, 0, ia);
    p.Plot(r, 0, ia);
  }
  long long err = -r;
  for (long long x = 1; x < r; ++x) {
    const long long y = r - (err >= 0 ? 1 : 0);
    p.Plot4(x, y, ia);
    if (x != y) p.Plot4(y, x, ia);
    err += 2 * (x - 1) + (err < 0 ? 3 : 5 - 2 * r);
    r = y;
  }
}

// The union of the columns between the midpoint outline's points, each pixel
// blended once.
void MidpointFill(const Pen& p, long long r) {
  const Box& b = p.box;
  std::vector<char> mark((size_t)((b.r - b.l + 1) * (b.b - b.t + 1)), 0);
  auto column = [&](long long dx, long long ext) {
    const long long x = p.cx + dx;
    if (x < b.l || x > b.r) return;
    for (long long y = std::max(p.cy - ext, b.t); y <= std::min(p.cy + ext, b.b); ++y)
      mark[(size_t)((y - b.t) * (b.r - b.l + 1) + (x - b.l))] = 1;
  };
  for (long long x = std::max(p.cx - r, b.l); x <= std::min(p.cx + r, b.r); ++x)
    column(x - p.cx, 0);
  column(0, r);
  long long err = -r;
  for (long long x = 1; x < r; ++x) {
    const long long y = r - (err >= 0 ? 1 : 0);
    column(x, y);
    column(-x, y);
    column(y, x);
    column(-y, x);
    err += 2 * (x - 1) + (err < 0 ? 3 : 5 - 2 * r);
    r = y;
  }
  for (long long y = b.t; y <= b.b; ++y)
    for (long long x = b.l; x <= b.r; ++x)
      if (mark[(size_t)((y - b.t) * (b.r - b.l + 1) + (x - b.l))])
        Blend(p.m, x, y, p.s, p.s.ia, p.c);
}

void AntiAliased(const Pen& p, double r, bool fill) {
  const int ia = p.s.ia;
  const long long ri = (long long)r;
  const int outer = (int)(ia * (r - std::floor(r)));
  p.Plot(0, -(ri + 1), outer);
  p.Plot(0, ri + 1, outer);
  p.Plot(-(ri + 1), 0, outer);
  p.Plot(ri + 1, 0, outer);
  if (fill) {
    const long long c0 = std::max(-ri, p.box.l - p.cx), c1 = std::min(ri, p.box.r - p.cx);
    for (long long c = c0; c <= c1; ++c) {
      const double yf = std::sqrt(std::max(0.0, r * r - (double)c * c));
      const long long e = (long long)yf;
      for (long long y = -e; y <= e; ++y) p.Plot(c, y, ia);
      const int w = (int)(ia * (yf - std::floor(yf)));
      if (c != 0 || e + 1 <= ri) {
        p.Plot(c, -(e + 1), w);
        p.Plot(c, e + 1, w);
      }
    }
    return;
  }
  p.Plot(0, -ri, ia - outer);
  p.Plot(0, ri, ia - outer);
  p.Plot(-ri, 0, ia - outer);
  p.Plot(ri, 0, ia - outer);
  for (long long i = 1; r * r - (double)i * i >= 0; ++i) {
    const double yf = std::sqrt(r * r - (double)i * i);
    if ((long long)(0.5 + yf) < i) break;
    const long long e = (long long)yf;
    const int w = (int)(ia * (yf - std::floor(yf)));
    p.Plot4(i, e + 1, w);
    p.Plot4(e + 1, i, w);
    p.Plot4(i, e, ia - w);
    if (e != i) p.Plot4(e, i, ia - w);
  }
}

void DrawCircle(Img& m, const Solid& s, double cx, double cy, double r, bool aa, bool fill,
                const Box& box) {
  const RefClass c = aa ? RefSolidClass(s.mode, s.ia) : LineClass(s);
  const Pen p{m, s, box, (long long)std::trunc(cx + 0.5), (long long)std::trunc(cy + 0.5), c};
  if (aa) AntiAliased(p, r, fill);
  else if (fill) MidpointFill(p, (long long)(r + 0.5));
  else MidpointOutline(p, (long long)(r + 0.5));
}

// Coverage maps of the smallest outlines, plain then anti-aliased, for radii
// 1.5 to 4 in steps of 0.5.
const char* const kSmallCircles[6][2] = {
    {"00 ff ff 00 / ff 00 00 ff / ff 00 00 ff / 00 ff ff 00",
     "4f ff ff 4f / ff 0f 0f ff / ff 0f 0f ff / 4f ff ff 4f"},
    {"00 00 ff 00 00 / 00 ff 00 ff 00 / ff 00 00 00 ff / 00 ff 00 ff 00 / 00 00 ff 00 00",
     "0f bf ff bf 0f / bf d1 4f d1 bf / ff 4f 00 4f ff / bf d1 4f d1 bf / 0f bf ff bf 0f"},
    {"00 00 ff ff 00 00 / 00 ff 00 00 ff 00 / ff 00 00 00 00 ff / ff 00 00 00 00 ff / 00 ff 00 "
     "00 ff 00 / 00 00 ff ff 00 00",
     "0f bf ff ff bf 0f / bf d1 4f 4f d1 bf / ff 4f 00 00 4f ff / ff 4f 00 00 4f ff / bf d1 4f "
     "4f d1 bf / 0f bf ff ff bf 0f"},
    {"00 00 ff ff ff 00 00 / 00 ff 00 00 00 ff 00 / ff 00 00 00 00 00 ff / ff 00 00 00 00 00 ff "
     "/ ff 00 00 00 00 00 ff / 00 ff 00 00 00 ff 00 / 00 00 ff ff ff 00 00",
     "00 8f ff ff ff 8f 00 / 8f ff 61 40 61 ff 8f / ff 70 00 00 00 70 ff / ff 30 00 00 00 30 ff "
     "/ ff 70 00 00 00 70 ff / 8f ff 61 40 61 ff 8f / 00 8f ff ff ff 8f 00"},
    {"00 00 ff ff ff ff 00 00 / 00 ff ff 00 00 ff ff 00 / ff ff 00 00 00 00 ff ff / ff 00 00 00 "
     "00 00 00 ff / ff 00 00 00 00 00 00 ff / ff ff 00 00 00 00 ff ff / 00 ff ff 00 00 ff ff 00 "
     "/ 00 00 ff ff ff ff 00 00",
     "00 4f de ff ff de 4f 00 / 4f ff b0 40 40 b0 ff 4f / de b0 00 00 00 00 b0 de / ff 40 00 00 "
     "00 00 40 ff / ff 40 00 00 00 00 40 ff / de b0 00 00 00 00 b0 de / 4f ff b0 40 40 b0 ff 4f "
     "/ 00 4f de ff ff de 4f 00"},
    {"00 00 ff ff ff ff ff 00 00 / 00 ff ff 00 00 00 ff ff 00 / ff ff 00 00 00 00 00 ff ff / ff "
     "00 00 00 00 00 00 00 ff / ff 00 00 00 00 00 00 00 ff / ff 00 00 00 00 00 00 00 ff / ff ff "
     "00 00 00 00 00 ff ff / 00 ff ff 00 00 00 ff ff 00 / 00 00 ff ff ff ff ff 00 00",
     "00 1f b0 ff ff ff b0 1f 00 / 1f f0 d1 4f 40 4f d1 f0 1f / b0 d1 0f 00 00 00 0f d1 b0 / ff "
     "4f 00 00 00 00 00 4f ff / ff 30 00 00 00 00 00 30 ff / ff 4f 00 00 00 00 00 4f ff / b0 d1 "
     "0f 00 00 00 0f d1 b0 / 1f f0 d1 4f 40 4f d1 f0 1f / 00 1f b0 ff ff ff b0 1f 00"}};

std::vector<int> ParseMap(const char* text) {
  std::vector<int> v;
  for (const char* p = text; *p;) {
    if (*p == ' ' || *p == '/') {
      ++p;
      continue;
    }
    char* end;
    v.push_back((int)std::strtol(p, &end, 16));
    p = end;
  }
  return v;
}

// The coverage map drawn like a caller's glyph: weight ia x c / 256 (ia at
// most opaque) through the solid class, source alpha from the colour.
void SmallCircle(Img& m, const Solid& s, int index, bool aa, int x0, int y0) {
  const std::vector<int> map = ParseMap(kSmallCircles[index][aa ? 1 : 0]);
  const int size = index + 4, ia = std::min(RefWeight(s.alpha), 256);
  if (ia <= 0) return;
  const RefClass c = RefSolidClass(s.mode, ia);
  for (int j = 0; j < size; ++j)
    for (int i = 0; i < size; ++i) {
      const int cov = map[(size_t)(j * size + i)];
      if (cov) Blend(m, (long long)x0 + i, (long long)y0 + j, s, ia * cov / 256, c);
    }
}

bool CircleArgsOk(float cx, float cy, float r) {
  return r >= 0 && r <= 16777216.0f && std::isfinite(cx) && std::isfinite(cy);
}

// One piece of an arc within a quarter turn: the whole circle clipped to the
// box of the piece's end points, widened towards the centre.
void ArcPiece(Img& m, const Solid& s, double cx, double cy, double r, double a0, double a1,
              bool aa) {
  const double x0 = std::trunc(cx + r * std::sin(a0) + 0.5),
               y0 = std::trunc(cy - r * std::cos(a0) + 0.5);
  const double x1 = std::trunc(cx + r * std::sin(a1) + 0.5),
               y1 = std::trunc(cy - r * std::cos(a1) + 0.5);
  double l = std::min(x0, x1), t = std::min(y0, y1), rt = std::max(x0, x1), b = std::max(y0, y1);
  if (cx < l) l -= 1;
  if (cx > rt) rt += 1;
  if (cy < t) t -= 1;
  if (cy > b) b += 1;
  l = std::max(l, 0.0);
  t = std::max(t, 0.0);
  rt = std::min(rt, (double)m.w - 1);
  b = std::min(b, (double)m.h - 1);
  if (l > rt || t > b) return;
  DrawCircle(m, s, cx, cy, r, aa, false,
             Box{(long long)l, (long long)t, (long long)rt, (long long)b});
}

}  // namespace

void RefLine(Img& im, bool flipped, int x1, int y1, int x2, int y2, uint32_t colour, float alpha,
             int mode, bool aa) {
  Solid s;
  if (!MakeSolid(colour, alpha, mode, &s)) return;
  double ax = x1, ay = flipped ? (double)im.h - 1 - y1 : y1;
  double bx = x2, by = flipped ? (double)im.h - 1 - y2 : y2;
  if (!Clip(ax, ay, bx, by, im.w, im.h, true)) return;
  MemoryRows rows(im, flipped);
  DrawLine(im, s, (int)ax, (int)ay, (int)bx, (int)by, aa);
}

void RefFLine(Img& im, bool flipped, float x1, float y1, float x2, float y2, uint32_t colour,
              float alpha, int mode, bool aa) {
  if (!aa)
    return RefLine(im, flipped, ToInt(x1), ToInt(y1), ToInt(x2), ToInt(y2), colour, alpha, mode,
                   false);
  Solid s;
  if (!MakeSolid(colour, alpha, mode, &s)) return;
  if (flipped) {
    y1 = (float)(im.h - 1) - y1;
    y2 = (float)(im.h - 1) - y2;
  }
  double ax = x1, ay = y1, bx = x2, by = y2;
  if (!Clip(ax, ay, bx, by, im.w, im.h, false)) return;
  // The clipped ends are single-precision positions.
  x1 = (float)ax;
  y1 = (float)ay;
  x2 = (float)bx;
  y2 = (float)by;
  const double dx = (double)x2 - x1, dy = (double)y2 - y1;
  if (dx == 0 && dy == 0) return;
  const bool xmajor = std::fabs(dx) >= std::fabs(dy);
  double m0 = xmajor ? x1 : y1, m1 = xmajor ? x2 : y2, n0 = xmajor ? y1 : x1;
  const double slope = xmajor ? dy / dx : dx / dy;
  if (m1 < m0) {
    std::swap(m0, m1);
    n0 = xmajor ? y2 : x2;
  }
  const RefClass c = RefSolidClass(s.mode, s.ia);
  MemoryRows rows(im, flipped);
  for (double m = std::ceil(m0); m <= std::floor(m1); ++m) {
    const double minor = n0 + (m - m0) * slope, fl = std::floor(minor);
    const int f = (int)((minor - fl) * 65536.0) >> 8;
    const int w1 = s.ia == 256 ? 255 - f : (s.ia * (255 - f)) >> 8;
    const int w2 = s.ia == 256 ? f : (s.ia * f) >> 8;
    const long long a = (long long)m, n = (long long)fl;
    if (w1 > 0) Blend(im, xmajor ? a : n, xmajor ? n : a, s, w1, c);
    if (w2 > 0) Blend(im, xmajor ? a : n + 1, xmajor ? n + 1 : a, s, w2, c);
  }
}

void RefCircle(Img& im, bool flipped, float cx, float cy, float r, uint32_t colour, float alpha,
               int mode, bool aa, bool fill) {
  Solid s;
  if (!CircleArgsOk(cx, cy, r) || !MakeSolid(colour, alpha, mode, &s)) return;
  if (flipped) cy = (float)(im.h - 1) - cy;
  MemoryRows rows(im, flipped);
  for (int i = 0; i < 6 && !fill; ++i)
    if (r == 1.5f + 0.5f * (float)i) {
      const float x0 = cx - r, y0 = cy - r;  // single precision, then truncated
      SmallCircle(im, s, i, aa, ToInt(x0), ToInt(y0));
      return;
    }
  DrawCircle(im, s, cx, cy, r, aa, fill, Box{0, 0, im.w - 1, im.h - 1});
}

void RefArc(Img& im, bool flipped, float cx, float cy, float r, float minAngle, float maxAngle,
            uint32_t colour, float alpha, int mode, bool aa) {
  Solid s;
  if (!CircleArgsOk(cx, cy, r) || !std::isfinite(minAngle) || !std::isfinite(maxAngle) ||
      !MakeSolid(colour, alpha, mode, &s))
    return;
  double lo = std::min(minAngle, maxAngle), hi = std::max(minAngle, maxAngle);
  if (hi - lo >= 2 * kPi) return RefCircle(im, flipped, cx, cy, r, colour, alpha, mode, aa, false);
  if (flipped) {
    // Angles turn the other way in memory rows: a becomes pi - a.
    cy = (float)(im.h - 1) - cy;
    const double l = kPi - hi, h = kPi - lo;
    lo = l;
    hi = h;
  }
  if (hi >= 2 * kPi) {
    const double shift = hi - std::fmod(hi, 2 * kPi);
    hi -= shift;
    lo -= shift;
  }
  if (lo <= -2 * kPi) {
    const double shift = lo - std::fmod(lo, 2 * kPi);
    hi -= shift;
    lo -= shift;
  }
  lo += 2 * kPi;
  hi += 2 * kPi;
  MemoryRows rows(im, flipped);
  while (lo < hi) {
    const double cut = std::min(hi, (std::floor(lo / (kPi / 2)) + 1) * (kPi / 2));
    ArcPiece(im, s, cx, cy, r, lo, cut, aa);
    lo = cut;
  }
}
