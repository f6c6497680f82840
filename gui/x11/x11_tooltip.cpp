#include "gui/x11/x11_tooltip.h"

#include <cstdio>

#include "gui/graphics.h"
#include "gui/x11/x11_paint.h"
#include "raster/raster.h"

namespace {

constexpr int kPadding = 4;
const IColor kBackground(255, 255, 253, 220);
const IColor kBorder(255, 120, 120, 110);
const IColor kText(255, 0, 0, 0);

IText TipStyle() { return IText(12, &kText, "sans-serif", IText::kStyleNormal, IText::kAlignNear); }

}  // namespace

X11Tooltip::X11Tooltip(Graphics* pGraphics, Display* pDisplay, const char* text, int scale)
    : mGraphics(pGraphics), mDisplay(pDisplay), mScale(scale) {
  snprintf(mText, sizeof mText, "%s", text);
}

X11Tooltip* X11Tooltip::Show(Graphics* pGraphics, Display* pDisplay, const char* text, int rootX,
                             int rootY, int scale) {
  if (!text || !*text) return nullptr;
  X11Tooltip* pTip = new X11Tooltip(pGraphics, pDisplay, text, scale);
  IText style = TipStyle();
  RECT r = {0, 0, 0, 0};
  X11DrawText(pGraphics, nullptr, &style, pTip->mText, -1, &r, DT_CALCRECT | DT_NOCLIP);
  pTip->mW = r.right + 2 * kPadding;
  pTip->mH = r.bottom + 2 * kPadding;
  XSetWindowAttributes a = {};
  a.override_redirect = True;
  a.save_under = True;
  a.event_mask = ExposureMask;
  pTip->mWindow = XCreateWindow(pDisplay, DefaultRootWindow(pDisplay), rootX, rootY,
                                (unsigned)(pTip->mW * scale), (unsigned)(pTip->mH * scale), 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWOverrideRedirect | CWSaveUnder | CWEventMask, &a);
  if (!pTip->mWindow) {
    delete pTip;
    return nullptr;
  }
  XMapRaised(pDisplay, pTip->mWindow);
  return pTip;
}

X11Tooltip::~X11Tooltip() {
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
}

void X11Tooltip::Paint() {
  PX_MemBitmap bitmap(mW, mH);
  PX_FillRect(&bitmap, 0, 0, mW, mH, PxColor(&kBorder), 1.0f, 0);
  PX_FillRect(&bitmap, 1, 1, mW - 2, mH - 2, PxColor(&kBackground), 1.0f, 0);
  IText style = TipStyle();
  RECT r = {kPadding, kPadding, mW - kPadding, mH - kPadding};
  X11DrawText(mGraphics, &bitmap, &style, mText, -1, &r, DT_LEFT | DT_NOCLIP);
  X11PutBitmap(mDisplay, mWindow, &bitmap, mScale);
}
