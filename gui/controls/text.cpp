#include "gui/controls/text.h"

#include <climits>
#include <cstring>
#include <vector>

#include "gui/graphics.h"
#include "plug/iparam.h"

ITextControl::ITextControl(PlugBase* pPlug, IRECT pR, IText* pText, const char* str)
    : IControl(pPlug, pR), mStr(str) {
  if (pText) mText = *pText;
}

void ITextControl::SetTextFromPlug(const char* str) {
  if (mStr.Set(str)) SetDirty(false);
}

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

int TextWidth(Graphics* pGraphics, IText* pText, const std::string& str) {
  IRECT r;
  if (!pGraphics->MeasureIText(pText, str.c_str(), &r)) return 0;
  return r.R - r.L;
}

}  // namespace

bool FitTextWithEllipsis(Graphics* pGraphics, IText* pText, const char* str, int width,
                         std::string* pFitted) {
  const std::string text(str ? str : "");
  if (text.empty() || TextWidth(pGraphics, pText, text) <= width) return false;
  // Where each character starts; a cut is made only there.
  std::vector<size_t> cuts;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) cuts.push_back(i);
  }
  auto withEllipsis = [&](size_t n) {
    size_t end = cuts[n];
    while (end > 0 && text[end - 1] == ' ') --end;
    return text.substr(0, end) + kEllipsis;
  };
  // The widest start that fits: widths grow with the number of characters.
  size_t lo = 0, hi = cuts.size() - 1;
  while (lo < hi) {
    const size_t mid = (lo + hi + 1) / 2;
    if (TextWidth(pGraphics, pText, withEllipsis(mid)) <= width) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  *pFitted = withEllipsis(lo);
  return true;
}

bool ITextControl::Draw(Graphics* pGraphics) {
  mStr.Use([&](const char* text) {
    if (!text[0]) return;
    std::string fitted;
    if (mEllipsis && FitTextWithEllipsis(pGraphics, &mText, text, mRECT.W(), &fitted)) {
      pGraphics->DrawIText(&mText, fitted.c_str(), &mRECT);
    } else {
      pGraphics->DrawIText(&mText, text, &mRECT);
    }
  });
  return true;
}

ICaptionControl::ICaptionControl(PlugBase* pPlug, IRECT pR, int paramIdx, IText* pText,
                                 bool showLabel)
    : ITextControl(pPlug, pR, pText, ""), mShowParamLabel(showLabel) {
  mParamIdx = paramIdx;
}

void ICaptionControl::OnMouseDown(int, int, IMouseMod* pMod) {
  if (pMod && (pMod->L || pMod->R)) PromptUserInput();
}

void ICaptionControl::OnMouseDblClick(int, int, IMouseMod*) { PromptUserInput(); }

bool ICaptionControl::Draw(Graphics* pGraphics) {
  IParam* pParam = GetParam();
  if (!pParam) return ITextControl::Draw(pGraphics);
  char text[2 * MAX_PARAM_DISPLAY_LEN + 2];
  pParam->GetDisplayForHost(text);
  if (mShowParamLabel) {
    strcat(text, " ");
    strncat(text, pParam->GetLabelForHost(), MAX_PARAM_DISPLAY_LEN);
  }
  mStr.Set(text);
  if (text[0]) pGraphics->DrawIText(&mText, text, &mRECT);
  return true;
}

bool DrawBitmapedText(Graphics* pGraphics, IBitmap* pBitmap, IRECT* pR, IText* pText,
                      IChannelBlend* pBlend, const char* str, bool vCenter, bool multiline, int cw,
                      int ch, int co) {
  if (!pGraphics || !pBitmap || !pR || !pText || cw <= 0) return false;
  if (!str || !str[0]) return true;
  // 64-bit positions: a very long text aligned right or centred starts far
  // to the left, and its characters there are skipped, not wrapped around.
  const long long len = static_cast<long long>(strlen(str));
  const long long width = pR->W(), textWidth = len * cw;
  const long long y0 = vCenter ? pR->T + (pR->H() - ch) / 2 : pR->T;
  long long x0 = pR->L;
  if (pText->mAlign == IText::kAlignCenter) x0 = pR->L + (width - textWidth) / 2;
  if (pText->mAlign == IText::kAlignFar) x0 = pR->R - textWidth;
  long long perLine = width / cw, lines = 1;
  if (multiline && textWidth <= width) perLine = len;
  if (multiline && textWidth > width && width > 0) lines = textWidth / width + 1;
  if (perLine <= 0) return true;
  for (long long l = 0; l < lines; ++l) {
    for (long long p = 0; p < perLine; ++p, ++str) {
      if (!*str) return true;
      const long long x = x0 + p * (cw + co), y = y0 + l * ch;
      if (x < INT_MIN / 2 || x > INT_MAX / 2 || y > INT_MAX / 2) continue;
      IRECT r(static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + cw,
              static_cast<int>(y) + ch);
      pGraphics->DrawBitmap(pBitmap, &r, static_cast<signed char>(*str) - 31, pBlend);
    }
  }
  return true;
}

IBitmapTextControl::IBitmapTextControl(PlugBase* pPlug, IRECT pR, IBitmap* pBitmap, const char* str,
                                       IText* pText, int charWidth, int charHeight, int charOffset,
                                       bool multiLine, bool vCenter)
    : IControl(pPlug, pR),
      mStr(str),
      mCharWidth(charWidth),
      mCharHeight(charHeight),
      mCharOffset(charOffset),
      mTextBitmap(*pBitmap),
      mMultiLine(multiLine),
      mVCentre(vCenter) {
  if (pText) mText = *pText;
}

void IBitmapTextControl::SetTextFromPlug(const char* str) {
  if (mStr.Set(str)) SetDirty(false);
}

bool IBitmapTextControl::Draw(Graphics* pGraphics) {
  mStr.Use([&](const char* text) {
    if (!text[0]) return;
    DrawBitmapedText(pGraphics, &mTextBitmap, &mRECT, &mText, &mBlend, text, mVCentre, mMultiLine,
                     mCharWidth, mCharHeight, mCharOffset);
  });
  return true;
}
