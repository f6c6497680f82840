// Chooses a combine class once per call from the mode word and weight, and
// runs a loop instantiated for that class.
#pragma once

#include "raster/lice_combine_p.h"

template <class C>
struct LiceTag {
  typedef C type;
};

// Blit table on mode & 0x100ff; CLAMP picks the clamping copy and multiply
// classes. Returns false when the mode draws nothing.
template <bool CLAMP, class F>
static inline bool lice_dispatch_blit(int mode, int ia, F&& f) {
  switch (mode & 0x100ff) {
    case LICE_COMBINE_COPY:
      if (ia == 256)
        f(LiceTag<LiceClobber<CLAMP>>());
      else if (ia >= 1)
        f(LiceTag<LiceCopy<CLAMP>>());
      else
        return false;
      return true;
    case LICE_COMBINE_ADD:
      f(LiceTag<_LICE_CombinePixelsAdd>());
      return true;
    case LICE_COMBINE_DODGE:
      f(LiceTag<_LICE_CombinePixelsColorDodge>());
      return true;
    case LICE_COMBINE_MUL:
      f(LiceTag<LiceMul<CLAMP>>());
      return true;
    case LICE_COMBINE_OVERLAY:
      f(LiceTag<_LICE_CombinePixelsOverlay>());
      return true;
    case LICE_COMBINE_HSVADJUST:
      f(LiceTag<_LICE_CombinePixelsHSVAdjust>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_COPY:
      if (ia == 256)
        f(LiceTag<LiceCopySrcAlphaFull<CLAMP>>());
      else
        f(LiceTag<LiceCopySrcAlpha<CLAMP>>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_ADD:
      f(LiceTag<_LICE_CombinePixelsAddSourceAlpha>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_DODGE:
      f(LiceTag<_LICE_CombinePixelsColorDodgeSourceAlpha>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_MUL:
      f(LiceTag<LiceSrcAlphaOf<LiceMul<CLAMP>, true>>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_OVERLAY:
      f(LiceTag<_LICE_CombinePixelsOverlaySourceAlpha>());
      return true;
    case LICE_USE_SOURCE_ALPHA | LICE_COMBINE_HSVADJUST:
      f(LiceTag<_LICE_CombinePixelsHSVAdjustSourceAlpha>());
      return true;
    default:
      return false;
  }
}

// Solid-colour table on mode & 0xff (fills, lines, shapes, glyphs); COPYCLASS
// is the class used for mode 0 (only when ia > 0).
template <class COPYCLASS, class MULCLASS, class F>
static inline bool lice_dispatch_solid_with(int mode, int ia, F&& f) {
  switch (mode & 0xff) {
    case LICE_COMBINE_COPY:
      if (ia <= 0) return false;
      f(LiceTag<COPYCLASS>());
      return true;
    case LICE_COMBINE_ADD:
      f(LiceTag<_LICE_CombinePixelsAdd>());
      return true;
    case LICE_COMBINE_DODGE:
      f(LiceTag<_LICE_CombinePixelsColorDodge>());
      return true;
    case LICE_COMBINE_MUL:
      f(LiceTag<MULCLASS>());
      return true;
    case LICE_COMBINE_OVERLAY:
      f(LiceTag<_LICE_CombinePixelsOverlay>());
      return true;
    case LICE_COMBINE_HSVADJUST:
      f(LiceTag<_LICE_CombinePixelsHSVAdjust>());
      return true;
    default:
      return false;
  }
}

template <class F>
static inline bool lice_dispatch_solid(int mode, int ia, F&& f) {
  return lice_dispatch_solid_with<_LICE_CombinePixelsCopyNoClamp, _LICE_CombinePixelsMulNoClamp>(
      mode, ia, f);
}

// Per-pixel-weight table (gradients, alpha-stepped walks): clamping copy and
// multiply, any weight.
template <class F>
static inline bool lice_dispatch_clamped(int mode, F&& f) {
  return lice_dispatch_solid_with<_LICE_CombinePixelsCopyClamp, _LICE_CombinePixelsMulClamp>(mode,
                                                                                             1, f);
}
