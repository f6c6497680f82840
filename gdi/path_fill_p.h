// Anti-aliased fill of the union of polygons (non-zero winding).
#pragma once

#include "base/heapbuf.h"
#include "gdi/gdi_p.h"

struct GdiPoint {
  double x, y;
};

class GdiPathFill {
 public:
  // Adds a closed polygon; false when memory runs out.
  bool AddPolygon(const GdiPoint* pts, int n);
  // Adds a stroke of the given width along p0 -> p1; square ends extend it by
  // half the width on both sides.
  bool AddSegment(GdiPoint p0, GdiPoint p1, double width, bool squareEnds);
  // Blends the colour into the surface wherever the union covers it, within clip.
  void Fill(GdiContext* c, RECT clip, const GdiColor& col) const;

 private:
  struct Edge {
    double x0, y0, x1, y1;
    int dir;
  };
  struct Crossing {
    double x;
    int dir;
  };
  void AccumulateRow(int y, int x0, int width, float* cov, Crossing* xs) const;

  SkyTypedBuf<Edge> m_edges;
};
