// Brush fills and pen strokes: rectangles, ellipses, polygons, lines, curves.
#include <cmath>
#include <memory>
#include <new>

#include "gdi/path_fill_p.h"
#include "gdi/gdi_p.h"

namespace {

const double kPi = 3.14159265358979323846;
const int kMaxPoints = 1 << 20;

// The selected pen or brush if it draws anything.
const HGDIOBJ__* Drawing(const HGDIOBJ__* obj, int type) {
  return HGDIOBJ_VALID(obj, type) && obj->wid >= 0 ? obj : nullptr;
}

bool CanDraw(HDC ctx) { return HDC_VALID(ctx) && GdiHasSurface(ctx); }

// Integer rectangles cover whole pixels: blend them directly.
void FillBox(HDC__* ct, int l, int t, int r, int b, const GdiColor& col) {
  const RECT clip = GdiDeviceClip(&ct->ctx);
  if (l < clip.left) l = clip.left;
  if (t < clip.top) t = clip.top;
  if (r > clip.right) r = clip.right;
  if (b > clip.bottom) b = clip.bottom;
  const int a = static_cast<int>(col.a * 255.0f + 0.5f);
  if (!a) return;
  for (int y = t; y < b; ++y) {
    unsigned char* px = ct->ctx.bits + (static_cast<size_t>(y) * ct->ctx.rowspan + l) * 4;
    for (int x = l; x < r; ++x, px += 4) {
      if (a == 255) {
        px[1] = col.r;
        px[2] = col.g;
        px[3] = col.b;
        continue;
      }
      px[1] = static_cast<unsigned char>((px[1] * (255 - a) + col.r * a + 127) / 255);
      px[2] = static_cast<unsigned char>((px[2] * (255 - a) + col.g * a + 127) / 255);
      px[3] = static_cast<unsigned char>((px[3] * (255 - a) + col.b * a + 127) / 255);
    }
  }
}

void FillPolygon(HDC__* ct, const GdiPoint* pts, int n, const HGDIOBJ__* brush) {
  if (!brush || n < 3) return;
  GdiPathFill path;
  if (path.AddPolygon(pts, n)) path.Fill(&ct->ctx, GdiDeviceClip(&ct->ctx), brush->color);
}

void StrokePath(HDC__* ct, const GdiPoint* pts, int n, bool closed, double width) {
  const HGDIOBJ__* pen = Drawing(ct->curpen, TYPE_PEN);
  if (!pen || n < 2) return;
  GdiPathFill path;
  const int segs = closed ? n : n - 1;
  for (int i = 0; i < segs; ++i) {
    if (!path.AddSegment(pts[i], pts[(i + 1) % n], width, closed)) return;
  }
  path.Fill(&ct->ctx, GdiDeviceClip(&ct->ctx), pen->color);
}

double PenWidth(const HDC__* ct, double minimum) {
  const HGDIOBJ__* pen = Drawing(ct->curpen, TYPE_PEN);
  const double w = pen ? pen->wid : 0;
  return w < minimum ? minimum : w;
}

void EllipsePoints(double l, double t, double r, double b, GdiPoint* pts, int n) {
  const double cx = (l + r) * 0.5, cy = (t + b) * 0.5, rx = (r - l) * 0.5, ry = (b - t) * 0.5;
  for (int i = 0; i < n; ++i) {
    const double a = 2.0 * kPi * i / n;
    pts[i] = GdiPoint{cx + rx * std::cos(a), cy + ry * std::sin(a)};
  }
}

// Strokes a polyline with the pen offset by half its width, as lines are.
void StrokeLine(HDC__* ct, const POINT* pts, int n) {
  if (n < 2 || n > kMaxPoints) return;
  const double w = PenWidth(ct, 1.0), off = w * 0.5;
  std::unique_ptr<GdiPoint[]> p(new (std::nothrow) GdiPoint[n]);
  if (!p) return;
  for (int i = 0; i < n; ++i) p[i] = GdiPoint{pts[i].x + off, pts[i].y + off};
  StrokePath(ct, p.get(), n, false, w);
}

}  // namespace

void GDI_FillRect(HDC ctx, const RECT* r, HBRUSH br) {
  if (!CanDraw(ctx) || !r) return;
  const HGDIOBJ__* brush = Drawing(br, TYPE_BRUSH);
  if (brush) FillBox(ctx, r->left, r->top, r->right, r->bottom, brush->color);
}

void GDI_FillDialogBackground(HDC ctx, const RECT* r, int) {
  HBRUSH br = CreateSolidBrush(GetSysColor(2));
  GDI_FillRect(ctx, r, br);
  DeleteObject(br);
}

void Rectangle(HDC ctx, int l, int t, int r, int b) {
  if (!CanDraw(ctx) || r <= l || b <= t) return;
  const HGDIOBJ__* brush = Drawing(ctx->curbrush, TYPE_BRUSH);
  if (brush) FillBox(ctx, l, t, r, b, brush->color);
  const double w = PenWidth(ctx, 1.0), h = w * 0.5;
  const GdiPoint edge[4] = {{l + h, t + h}, {r - h, t + h}, {r - h, b - h}, {l + h, b - h}};
  StrokePath(ctx, edge, 4, true, w);
}

void Ellipse(HDC ctx, int l, int t, int r, int b) {
  if (!CanDraw(ctx) || r <= l || b <= t) return;
  const int n = 96;
  GdiPoint pts[n];
  EllipsePoints(l, t, r, b, pts, n);
  FillPolygon(ctx, pts, n, Drawing(ctx->curbrush, TYPE_BRUSH));
  const double h = PenWidth(ctx, 1.0) * 0.5;
  EllipsePoints(l + h, t + h, r - h, b - h, pts, n);
  StrokePath(ctx, pts, n, true, 2.0 * h);
}

void GDI_Polygon(HDC ctx, const POINT* pts, int npts) {
  if (!CanDraw(ctx) || !pts || npts < 2 || npts > kMaxPoints) return;
  std::unique_ptr<GdiPoint[]> p(new (std::nothrow) GdiPoint[npts]);
  if (!p) return;
  for (int i = 0; i < npts; ++i) p[i] = GdiPoint{double(pts[i].x), double(pts[i].y)};
  FillPolygon(ctx, p.get(), npts, Drawing(ctx->curbrush, TYPE_BRUSH));
  StrokePath(ctx, p.get(), npts, true, PenWidth(ctx, 1.0));
}

void RoundRect(HDC ctx, int l, int t, int r, int b, int xrnd, int yrnd) {
  const int xr = xrnd / 3, yr = yrnd / 3;
  const POINT pts[8] = {{l, t + yr}, {l + xr, t}, {r - xr, t}, {r, t + yr},
                        {r, b - yr}, {r - xr, b}, {l + xr, b}, {l, b - yr}};
  GDI_Polygon(ctx, pts, 8);
}

void MoveToEx(HDC ctx, int x, int y, POINT* op) {
  if (!HDC_VALID(ctx)) return;
  if (op) *op = POINT{static_cast<int>(ctx->lastpos_x), static_cast<int>(ctx->lastpos_y)};
  ctx->lastpos_x = static_cast<float>(x);
  ctx->lastpos_y = static_cast<float>(y);
}

void GDI_LineTo(HDC ctx, int x, int y) {
  if (!HDC_VALID(ctx)) return;
  const POINT pts[2] = {{static_cast<int>(ctx->lastpos_x), static_cast<int>(ctx->lastpos_y)},
                        {x, y}};
  if (GdiHasSurface(ctx)) StrokeLine(ctx, pts, 2);
  MoveToEx(ctx, x, y, nullptr);
}

void PolyBezierTo(HDC ctx, const POINT* pts, int np) {
  if (!HDC_VALID(ctx) || !pts || np < 3 || np > kMaxPoints) return;
  const int curves = np / 3, steps = 16;
  std::unique_ptr<POINT[]> flat(new (std::nothrow) POINT[curves * steps + 1]);
  if (!flat) return;
  POINT p0{static_cast<int>(ctx->lastpos_x), static_cast<int>(ctx->lastpos_y)};
  flat[0] = p0;
  int n = 1;
  for (int c = 0; c < curves; ++c) {
    const POINT& p1 = pts[3 * c];
    const POINT& p2 = pts[3 * c + 1];
    const POINT& p3 = pts[3 * c + 2];
    for (int s = 1; s <= steps; ++s) {
      const double t = double(s) / steps, u = 1.0 - t;
      const double a = u * u * u, bb = 3 * u * u * t, cc = 3 * u * t * t, d = t * t * t;
      flat[n++] = POINT{static_cast<int>(std::lround(a * p0.x + bb * p1.x + cc * p2.x + d * p3.x)),
                        static_cast<int>(std::lround(a * p0.y + bb * p1.y + cc * p2.y + d * p3.y))};
    }
    p0 = p3;
  }
  if (GdiHasSurface(ctx)) StrokeLine(ctx, flat.get(), n);
  MoveToEx(ctx, p0.x, p0.y, nullptr);
}

void PolyPolyline(HDC ctx, const POINT* pts, const int* cnts, int nseg) {
  if (!CanDraw(ctx) || !pts || !cnts) return;
  for (int i = 0; i < nseg; ++i) {
    if (cnts[i] <= 0) continue;
    StrokeLine(ctx, pts, cnts[i]);
    pts += cnts[i];
  }
}

void GDI_SetPixel(HDC ctx, int x, int y, int c) {
  if (!CanDraw(ctx)) return;
  const RECT clip = GdiDeviceClip(&ctx->ctx);
  if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) return;
  unsigned char* px = ctx->ctx.bits + (static_cast<size_t>(y) * ctx->ctx.rowspan + x) * 4;
  const GdiColor col = CreateColor(c, 1.0f);
  px[1] = col.r;
  px[2] = col.g;
  px[3] = col.b;
}
