// Scanline polygon fill: four sub-scanlines per pixel row, exact horizontal
// coverage per sub-scanline, one blend per pixel.
#include <cmath>
#include <memory>
#include <new>

#include "gdi/path_fill_p.h"

namespace {

const int kSub = 4;

void AddSpan(float* cov, int x0, int width, double a, double b, float weight) {
  if (a < x0) a = x0;
  if (b > x0 + width) b = x0 + width;
  if (b <= a) return;
  const int ia = static_cast<int>(std::floor(a)), ib = static_cast<int>(std::floor(b));
  if (ia == ib) {
    cov[ia - x0] += static_cast<float>((b - a) * weight);
    return;
  }
  cov[ia - x0] += static_cast<float>((ia + 1 - a) * weight);
  for (int k = ia + 1; k < ib; ++k) cov[k - x0] += weight;
  if (ib < x0 + width) cov[ib - x0] += static_cast<float>((b - ib) * weight);
}

}  // namespace

bool GdiPathFill::AddPolygon(const GdiPoint* pts, int n) {
  for (int i = 0; i < n; ++i) {
    const GdiPoint& a = pts[i];
    const GdiPoint& b = pts[(i + 1) % n];
    if (a.y == b.y) continue;
    if (!m_edges.Add(Edge{a.x, a.y, b.x, b.y, b.y > a.y ? 1 : -1})) return false;
  }
  return true;
}

bool GdiPathFill::AddSegment(GdiPoint p0, GdiPoint p1, double width, bool squareEnds) {
  const double dx = p1.x - p0.x, dy = p1.y - p0.y, len = std::sqrt(dx * dx + dy * dy);
  if (!(len > 0.0)) return true;
  const double ux = dx / len * width * 0.5, uy = dy / len * width * 0.5;
  if (squareEnds) {
    p0 = GdiPoint{p0.x - ux, p0.y - uy};
    p1 = GdiPoint{p1.x + ux, p1.y + uy};
  }
  // Every quad winds the same way so that overlapping strokes unite.
  const GdiPoint quad[4] = {{p0.x - uy, p0.y + ux},
                            {p1.x - uy, p1.y + ux},
                            {p1.x + uy, p1.y - ux},
                            {p0.x + uy, p0.y - ux}};
  return AddPolygon(quad, 4);
}

void GdiPathFill::AccumulateRow(int y, int x0, int width, float* cov, Crossing* xs) const {
  const Edge* e = m_edges.Get();
  const int ne = m_edges.GetSize();
  for (int s = 0; s < kSub; ++s) {
    const double sy = y + (s + 0.5) / kSub;
    int n = 0;
    for (int i = 0; i < ne; ++i) {
      const double lo = e[i].y0 < e[i].y1 ? e[i].y0 : e[i].y1;
      const double hi = e[i].y0 < e[i].y1 ? e[i].y1 : e[i].y0;
      if (sy < lo || sy >= hi) continue;
      const double x = e[i].x0 + (sy - e[i].y0) * (e[i].x1 - e[i].x0) / (e[i].y1 - e[i].y0);
      int j = n++;
      for (; j > 0 && xs[j - 1].x > x; --j) xs[j] = xs[j - 1];
      xs[j] = Crossing{x, e[i].dir};
    }
    int winding = 0;
    for (int i = 0; i + 1 < n; ++i) {
      winding += xs[i].dir;
      if (winding) AddSpan(cov, x0, width, xs[i].x, xs[i + 1].x, 1.0f / kSub);
    }
  }
}

void GdiPathFill::Fill(GdiContext* c, RECT clip, const GdiColor& col) const {
  const Edge* e = m_edges.Get();
  const int ne = m_edges.GetSize();
  if (!ne || !(col.a > 0.0f)) return;
  double minx = e[0].x0, maxx = minx, miny = e[0].y0, maxy = miny;
  for (int i = 0; i < ne; ++i) {
    minx = std::fmin(minx, std::fmin(e[i].x0, e[i].x1));
    maxx = std::fmax(maxx, std::fmax(e[i].x0, e[i].x1));
    miny = std::fmin(miny, std::fmin(e[i].y0, e[i].y1));
    maxy = std::fmax(maxy, std::fmax(e[i].y0, e[i].y1));
  }
  if (minx > clip.left) clip.left = static_cast<int>(std::fmin(std::floor(minx), clip.right));
  if (maxx < clip.right) clip.right = static_cast<int>(std::fmax(std::ceil(maxx), clip.left));
  if (miny > clip.top) clip.top = static_cast<int>(std::fmin(std::floor(miny), clip.bottom));
  if (maxy < clip.bottom) clip.bottom = static_cast<int>(std::fmax(std::ceil(maxy), clip.top));
  const int width = clip.right - clip.left;
  if (width <= 0 || clip.bottom <= clip.top) return;
  std::unique_ptr<float[]> cov(new (std::nothrow) float[width]);
  std::unique_ptr<Crossing[]> xs(new (std::nothrow) Crossing[ne]);
  if (!cov || !xs) return;
  for (int y = clip.top; y < clip.bottom; ++y) {
    for (int i = 0; i < width; ++i) cov[i] = 0.0f;
    AccumulateRow(y, clip.left, width, cov.get(), xs.get());
    unsigned char* px = c->bits + (static_cast<size_t>(y) * c->rowspan + clip.left) * 4;
    for (int i = 0; i < width; ++i, px += 4) {
      const float f = cov[i] > 1.0f ? 1.0f : cov[i];
      const int a = static_cast<int>(f * col.a * 255.0f + 0.5f);
      if (!a) continue;
      px[1] = static_cast<unsigned char>((px[1] * (255 - a) + col.r * a + 127) / 255);
      px[2] = static_cast<unsigned char>((px[2] * (255 - a) + col.g * a + 127) / 255);
      px[3] = static_cast<unsigned char>((px[3] * (255 - a) + col.b * a + 127) / 255);
    }
  }
}
