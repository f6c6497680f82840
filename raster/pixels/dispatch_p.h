// Chooses a combine class once per call from the mode word and weight, and
// runs a loop instantiated for that class.
#pragma once

#include "raster/pixels/combine_p.h"

template <class C>
struct PxTag {
  typedef C type;
};

// Blit table on mode & 0x100ff; CLAMP picks the clamping copy and multiply
// classes. Returns false when the mode draws nothing.
template <bool CLAMP, class F>
static inline bool px_dispatch_blit(int mode, int ia, F&& f) {
  switch (mode & 0x100ff) {
    case PX_COMBINE_COPY:
      if (ia == 256) f(PxTag<PxClobber<CLAMP>>());
      else if (ia >= 1) f(PxTag<PxCopy<CLAMP>>());
      else return false;
      return true;
    case PX_COMBINE_ADD: f(PxTag<PX_CombinePixelsAdd>()); return true;
    case PX_COMBINE_DODGE: f(PxTag<PX_CombinePixelsColorDodge>()); return true;
    case PX_COMBINE_MUL: f(PxTag<PxMul<CLAMP>>()); return true;
    case PX_COMBINE_OVERLAY: f(PxTag<PX_CombinePixelsOverlay>()); return true;
    case PX_COMBINE_HSVADJUST: f(PxTag<PX_CombinePixelsHSVAdjust>()); return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_COPY:
      if (ia == 256) f(PxTag<PxCopySrcAlphaFull<CLAMP>>());
      else f(PxTag<PxCopySrcAlpha<CLAMP>>());
      return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_ADD:
      f(PxTag<PX_CombinePixelsAddSourceAlpha>());
      return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_DODGE:
      f(PxTag<PX_CombinePixelsColorDodgeSourceAlpha>());
      return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_MUL:
      f(PxTag<PxSrcAlphaOf<PxMul<CLAMP>, true>>());
      return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_OVERLAY:
      f(PxTag<PX_CombinePixelsOverlaySourceAlpha>());
      return true;
    case PX_USE_SOURCE_ALPHA | PX_COMBINE_HSVADJUST:
      f(PxTag<PX_CombinePixelsHSVAdjustSourceAlpha>());
      return true;
    default: return false;
  }
}

// Solid-colour table on mode & 0xff (fills, lines, shapes, glyphs); COPYCLASS
// is the class used for mode 0 (only when ia > 0).
template <class COPYCLASS, class MULCLASS, class F>
static inline bool px_dispatch_solid_with(int mode, int ia, F&& f) {
  switch (mode & 0xff) {
    case PX_COMBINE_COPY:
      if (ia <= 0) return false;
      f(PxTag<COPYCLASS>());
      return true;
    case PX_COMBINE_ADD: f(PxTag<PX_CombinePixelsAdd>()); return true;
    case PX_COMBINE_DODGE: f(PxTag<PX_CombinePixelsColorDodge>()); return true;
    case PX_COMBINE_MUL: f(PxTag<MULCLASS>()); return true;
    case PX_COMBINE_OVERLAY: f(PxTag<PX_CombinePixelsOverlay>()); return true;
    case PX_COMBINE_HSVADJUST: f(PxTag<PX_CombinePixelsHSVAdjust>()); return true;
    default: return false;
  }
}

template <class F>
static inline bool px_dispatch_solid(int mode, int ia, F&& f) {
  return px_dispatch_solid_with<PX_CombinePixelsCopyNoClamp, PX_CombinePixelsMulNoClamp>(mode, ia,
                                                                                         f);
}

// Per-pixel-weight table (gradients, alpha-stepped walks): clamping copy and
// multiply, any weight.
template <class F>
static inline bool px_dispatch_clamped(int mode, F&& f) {
  return px_dispatch_solid_with<PX_CombinePixelsCopyClamp, PX_CombinePixelsMulClamp>(mode, 1, f);
}
