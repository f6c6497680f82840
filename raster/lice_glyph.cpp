// Coverage-map blending: one loop per combine class and glyph kind.
#include "raster/lice_dispatch_p.h"
#include "raster/lice_glyph_p.h"
#include "raster/lice_text.h"

namespace {

template <class C, LiceGlyphKind KIND>
void blendRows(const LiceGlyphDraw& g) {
  const int fr = LICE_GETR(g.fg), fgg = LICE_GETG(g.fg), fb = LICE_GETB(g.fg);
  const int xr = LICE_GETR(g.fx), xg = LICE_GETG(g.fx), xb = LICE_GETB(g.fx);
  const int fa = KIND == kLiceGlyphScaled ? (int)LICE_GETA(g.fg) : 255;
  for (int row = 0; row < g.h; ++row) {
    LICE_pixel_chan* d = (LICE_pixel_chan*)(g.rows.row(g.y + row) + g.x);
    const unsigned char* c = g.cov + (ptrdiff_t)row * g.span;
    for (int i = 0; i < g.w; ++i, d += 4) {
      const int v = c[i];
      if (!v) continue;
      switch (KIND) {
        case kLiceGlyphScaled: C::doPix(d, fr, fgg, fb, fa, g.ia * v / 256); break;
        case kLiceGlyphNormal: {
          const int w = g.ia == 256 ? v + 1 : g.ia * v / 256;
          C::doPix(d, fr, fgg, fb, fa, w > 256 ? 256 : w);
          break;
        }
        case kLiceGlyphMono: C::doPix(d, fr, fgg, fb, fa, g.ia); break;
        case kLiceGlyphEffect:
          if (v == 255) C::doPix(d, fr, fgg, fb, fa, g.ia);
          else C::doPix(d, xr, xg, xb, fa, g.ia);
          break;
      }
    }
  }
}

template <LiceGlyphKind KIND>
bool dispatchKind(const LiceGlyphDraw& g, int mode) {
  return lice_dispatch_solid(mode, g.ia, [&](auto tag) {
    blendRows<typename decltype(tag)::type, KIND>(g);
  });
}

}  // namespace

bool lice_draw_coverage(const LiceGlyphDraw& g, int mode, LiceGlyphKind kind) {
  if ((mode & 0xff) == LICE_COMBINE_COPY && (kind == kLiceGlyphNormal || kind == kLiceGlyphScaled)) {
    const bool normal = kind == kLiceGlyphNormal;
    const LICE_pixel src =
        normal ? LICE_PackRGBA(LICE_GETR(g.fg), LICE_GETG(g.fg), LICE_GETB(g.fg), 255) : g.fg;
    if (lice_glyph_copy_rows_simd(g, src, normal && g.ia == 256)) return true;
  }
  switch (kind) {
    case kLiceGlyphScaled: return dispatchKind<kLiceGlyphScaled>(g, mode);
    case kLiceGlyphNormal: return dispatchKind<kLiceGlyphNormal>(g, mode);
    case kLiceGlyphMono: return dispatchKind<kLiceGlyphMono>(g, mode);
    case kLiceGlyphEffect: return dispatchKind<kLiceGlyphEffect>(g, mode);
  }
  return false;
}

void lice_store_coverage(const LiceGlyphDraw& g, LiceGlyphKind kind) {
  for (int row = 0; row < g.h; ++row) {
    LICE_pixel* d = g.rows.row(g.y + row) + g.x;
    const unsigned char* c = g.cov + (ptrdiff_t)row * g.span;
    for (int i = 0; i < g.w; ++i) {
      if (!c[i]) continue;
      d[i] = (kind == kLiceGlyphEffect && c[i] != 255) ? g.fx : g.fg;
    }
  }
}

void LICE_DrawGlyphEx(LICE_IBitmap* bm, int x, int y, LICE_pixel colour,
                      const unsigned char* coverage, int width, int span, int height,
                      float alpha, int mode) {
  int ia = lice_weight(alpha);
  if (ia <= 0 || !coverage || !bm) return;
  if (ia > 256) ia = 256;  // a weight above opaque would wrap the copy formula
  int cx = x, cy = y, w = width, h = height;
  if (!lice_clip_rect(bm, cx, cy, w, h)) return;
  LiceGlyphDraw g{lice_rows(bm), cx, cy,
                  coverage + (ptrdiff_t)(cy - y) * span + (cx - x), span, w, h, colour, colour, ia};
  lice_draw_coverage(g, mode, kLiceGlyphScaled);
}

void LICE_DrawGlyph(LICE_IBitmap* bm, int x, int y, LICE_pixel colour,
                    const unsigned char* coverage, int width, int height, float alpha, int mode) {
  LICE_DrawGlyphEx(bm, x, y, colour, coverage, width, width, height, alpha, mode);
}
