// Graphics: text through the shared cached fonts.
#include <cstdint>

#include "gdi/gdi.h"
#include "gui/draw_clip_p.h"
#include "gui/graphics.h"
#include "gui/resource_caches.h"
#include "raster/text/text.h"

namespace {

// Font flags: the font owns its GDI font. Glyphs are rendered once into the
// font's cache and blended from there; native rendering would rasterise every
// glyph again on every paint.
constexpr int kFontFlags = PX_FONT_FLAG_OWNS_HFONT;

int Quality(IText::EQuality quality) {
  switch (quality) {
    case IText::kQualityNonAntiAliased: return 3;
    case IText::kQualityAntiAliased:
    case IText::kQualityClearType: return 4;
    default: return 0;
  }
}

// A font for the style whose line height comes as close as it can to the
// size; null when no font can be made.
PX_CachedFont* MakeFont(const IText* pTxt) {
  PX_CachedFont* pFont = new PX_CachedFont;
  const int escapement = pTxt->mOrientation * 10;
  const int weight = pTxt->mStyle == IText::kStyleBold ? 700 : 400;
  const char italic = pTxt->mStyle == IText::kStyleItalic ? 1 : 0;
  const char quality = static_cast<char>(Quality(pTxt->mQuality));
  int h = pTxt->mSize;
  for (int pass = 0; pass < 2; ++pass) {
    if (h < 2) h = 2;
    HFONT hFont = CreateFont(h, 0, escapement, escapement, weight, italic, 0, 0, 0, 0, 0, quality,
                             0, pTxt->mFont);
    if (!hFont) {
      delete pFont;
      return nullptr;
    }
    pFont->SetFromHFont(hFont, kFontFlags);
    const int lineHeight = pFont->GetLineHeight();
    if (pass == 1 || lineHeight == h || lineHeight <= 0) break;
    h = static_cast<int>(static_cast<double>(h) * h / lineHeight + 0.5);
  }
  return pFont;
}

int Saturate(int64_t v) {
  return static_cast<int>(v < INT32_MIN ? INT32_MIN : v > INT32_MAX ? INT32_MAX : v);
}

}  // namespace

PX_CachedFont* Graphics::CacheFont(IText* pTxt) {
  ResourceUse use;
  if (!use || !pTxt) return nullptr;
  // Made under the lock: fonts share state in the raster library, and a
  // second thread that also missed finds this one.
  TextLock lock;
  FontStorage* pFonts = use.FontsIfMade();
  PX_CachedFont* pFont = pFonts ? pFonts->Find(pTxt) : nullptr;
  if (!pFont) {
    pFont = MakeFont(pTxt);
    if (!pFont) return nullptr;
    use.Fonts()->Add(pFont, pTxt);
  }
  pTxt->mCached = pFont;
  return pFont;
}

// At scale 2 text is set in a font of twice the size, found in the shared
// cache under its own size.
PX_CachedFont* Graphics::ScaledFont(const IText* pTxt) {
  IText scaled = *pTxt;
  scaled.mSize = Saturate(static_cast<int64_t>(pTxt->mSize) * mDrawScale);
  scaled.mCached = nullptr;
  return CacheFont(&scaled);
}

bool Graphics::MeasureIText(IText* pTxt, const char* str, IRECT* pR) {
  return DrawIText(pTxt, str, pR, true);
}

bool Graphics::DrawIText(IText* pTxt, const char* str, IRECT* pR, bool measure) {
  if (!str || !str[0]) return true;
  ResourceUse use;
  if (!use || !pTxt || !pR) return false;
  TextLock lock;
  const int s = mDrawScale;
  PX_IFont* pFont = s > 1 ? ScaledFont(pTxt) : pTxt->mCached ? pTxt->mCached : CacheFont(pTxt);
  if (!pFont) return false;
  pFont->SetTextColor(PxColor(&pTxt->mColor));
  unsigned flags = DT_NOCLIP;
  if (pTxt->mColor.A < 255) flags |= PX_DT_USEFGALPHA;
  if (pTxt->mAlign == IText::kAlignCenter) flags |= DT_CENTER;
  if (pTxt->mAlign == IText::kAlignFar) flags |= DT_RIGHT;
  if (measure) {
    RECT r = {0, 0, 0, 0};
    pFont->DrawText(nullptr, str, -1, &r, flags | DT_CALCRECT);
    // The extent in editor units, rounded up.
    const int w = (r.right + s - 1) / s, h = (r.bottom + s - 1) / s;
    if (pTxt->mAlign == IText::kAlignCenter) {
      pR->L = static_cast<int>(pR->MW()) - w / 2;
    } else if (pTxt->mAlign == IText::kAlignFar) {
      pR->L = Saturate(static_cast<int64_t>(pR->R) - w);
    }
    pR->R = Saturate(static_cast<int64_t>(pR->L) + w);
    pR->B = Saturate(static_cast<int64_t>(pR->T) + h);
    return true;
  }
  // The text stays between its rectangle's left and right edges, so that it
  // never runs over a neighbour. Up and down it keeps to the region being
  // repainted: a rectangle lower than a line still shows the line whole.
  const IRECT box(pR->L, mDrawRECT.T, pR->R, mDrawRECT.B);
  const IRECT area = mDrawRECT.Intersect(box);
  DrawClip clip(mDrawBitmap, IRECT(Saturate(static_cast<int64_t>(area.L) * s),
                                   Saturate(static_cast<int64_t>(area.T) * s),
                                   Saturate(static_cast<int64_t>(area.R) * s),
                                   Saturate(static_cast<int64_t>(area.B) * s)));
  if (clip.Empty()) return true;
  RECT r = {Saturate(static_cast<int64_t>(pR->L) * s - clip.OX),
            Saturate(static_cast<int64_t>(pR->T) * s - clip.OY),
            Saturate(static_cast<int64_t>(pR->R) * s - clip.OX),
            Saturate(static_cast<int64_t>(pR->B) * s - clip.OY)};
  pFont->DrawText(&clip, str, -1, &r, flags);
  return true;
}
