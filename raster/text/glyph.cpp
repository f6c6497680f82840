// Coverage-map blending: one loop per combine class and glyph kind.
#include "raster/pixels/dispatch_p.h"
#include "raster/text/glyph_p.h"
#include "raster/text/text.h"

namespace {

template <class C, PxGlyphKind KIND>
void blendRows(const PxGlyphDraw& g) {
  const int fr = PX_GETR(g.fg), fgg = PX_GETG(g.fg), fb = PX_GETB(g.fg);
  const int xr = PX_GETR(g.fx), xg = PX_GETG(g.fx), xb = PX_GETB(g.fx);
  const int fa = KIND == kPxGlyphScaled ? (int)PX_GETA(g.fg) : 255;
  for (int row = 0; row < g.h; ++row) {
    PX_pixel_chan* d = (PX_pixel_chan*)(g.rows.row(g.y + row) + g.x);
    const unsigned char* c = g.cov + (ptrdiff_t)row * g.span;
    for (int i = 0; i < g.w; ++i, d += 4) {
      const int v = c[i];
      if (!v) continue;
      switch (KIND) {
        case kPxGlyphScaled: C::doPix(d, fr, fgg, fb, fa, g.ia * v / 256); break;
        case kPxGlyphNormal: {
          const int w = g.ia == 256 ? v + 1 : g.ia * v / 256;
          C::doPix(d, fr, fgg, fb, fa, w > 256 ? 256 : w);
          break;
        }
        case kPxGlyphMono: C::doPix(d, fr, fgg, fb, fa, g.ia); break;
        case kPxGlyphEffect:
          if (v == 255) C::doPix(d, fr, fgg, fb, fa, g.ia);
          else C::doPix(d, xr, xg, xb, fa, g.ia);
          break;
      }
    }
  }
}

template <PxGlyphKind KIND>
bool dispatchKind(const PxGlyphDraw& g, int mode) {
  return px_dispatch_solid(mode, g.ia,
                           [&](auto tag) { blendRows<typename decltype(tag)::type, KIND>(g); });
}

}  // namespace

bool px_draw_coverage(const PxGlyphDraw& g, int mode, PxGlyphKind kind) {
  if ((mode & 0xff) == PX_COMBINE_COPY && (kind == kPxGlyphNormal || kind == kPxGlyphScaled)) {
    const bool normal = kind == kPxGlyphNormal;
    const PX_pixel src =
        normal ? PX_PackRGBA(PX_GETR(g.fg), PX_GETG(g.fg), PX_GETB(g.fg), 255) : g.fg;
    if (px_glyph_copy_rows_simd(g, src, normal && g.ia == 256)) return true;
  }
  switch (kind) {
    case kPxGlyphScaled: return dispatchKind<kPxGlyphScaled>(g, mode);
    case kPxGlyphNormal: return dispatchKind<kPxGlyphNormal>(g, mode);
    case kPxGlyphMono: return dispatchKind<kPxGlyphMono>(g, mode);
    case kPxGlyphEffect: return dispatchKind<kPxGlyphEffect>(g, mode);
  }
  return false;
}

void px_store_coverage(const PxGlyphDraw& g, PxGlyphKind kind) {
  for (int row = 0; row < g.h; ++row) {
    PX_pixel* d = g.rows.row(g.y + row) + g.x;
    const unsigned char* c = g.cov + (ptrdiff_t)row * g.span;
    for (int i = 0; i < g.w; ++i) {
      if (!c[i]) continue;
      d[i] = (kind == kPxGlyphEffect && c[i] != 255) ? g.fx : g.fg;
    }
  }
}

void px_draw_glyph_rows(const PxRows& rows, int bw, int bh, int x, int y, PX_pixel colour,
                        const unsigned char* coverage, int width, int span, int height, float alpha,
                        int mode) {
  int ia = px_weight(alpha);
  if (ia <= 0 || !coverage || !rows.base || rows.step == 0) return;
  if (ia > 256) ia = 256;  // a weight above opaque would wrap the copy formula
  int cx = x, cy = y, w = width, h = height;
  if (!px_clip_rect(bw, bh, cx, cy, w, h)) return;
  PxGlyphDraw g{rows,   cx,     cy, coverage + (ptrdiff_t)(cy - y) * span + (cx - x), span, w, h,
                colour, colour, ia};
  px_draw_coverage(g, mode, kPxGlyphScaled);
}

void PX_DrawGlyphEx(PX_IBitmap* bm, int x, int y, PX_pixel colour, const unsigned char* coverage,
                    int width, int span, int height, float alpha, int mode) {
  if (!bm) return;
  px_draw_glyph_rows(px_rows(bm), bm->getWidth(), bm->getHeight(), x, y, colour, coverage, width,
                     span, height, alpha, mode);
}

void PX_DrawGlyph(PX_IBitmap* bm, int x, int y, PX_pixel colour, const unsigned char* coverage,
                  int width, int height, float alpha, int mode) {
  PX_DrawGlyphEx(bm, x, y, colour, coverage, width, width, height, alpha, mode);
}
