#include "gui/x11/x11_menu.h"

#include <poll.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "gui/graphics.h"
#include "gui/ipopup_menu.h"
#include "gui/x11/x11_colors.h"
#include "gui/x11/x11_paint.h"
#include "raster/raster.h"

namespace {

constexpr int kItemHeight = 20;
constexpr int kSeparatorHeight = 7;
constexpr int kMarginLeft = 22;
constexpr int kMarginRight = 24;
constexpr int kTitleIndent = 10;
constexpr int kMinWidth = 80;
constexpr int kWaitMs = 50;
const IColor kDisabledText(255, 150, 150, 150);
const IColor kHighlightText(255, 255, 255, 255);

bool Selectable(const IPopupMenuItem* pItem) {
  return pItem && pItem->GetEnabled() && !pItem->GetIsSeparator() && !pItem->GetSubmenu();
}

// One open menu window: the top menu or a submenu.
struct Level {
  IPopupMenu* menu = nullptr;
  Window window = 0;
  int x = 0, y = 0;  // root position, window pixels
  int w = 0, h = 0;  // editor pixels
  std::vector<int> tops;
  int hover = -1;
  PX_MemBitmap bitmap;

  int ItemAt(int rootX, int rootY, int scale) const {
    const int lx = (rootX - x) / scale, ly = (rootY - y) / scale;
    if (rootX < x || rootY < y || lx >= w || ly >= h) return -2;  // outside
    for (int i = 0; i < menu->GetNItems(); ++i) {
      if (ly >= tops[i] && ly < tops[i + 1]) return i;
    }
    return -1;
  }
};

class MenuRun {
 public:
  MenuRun(Graphics* pGraphics, Display* pDisplay, int scale, X11MenuOwner* pOwner)
      : mGraphics(pGraphics),
        mDisplay(pDisplay),
        mScale(scale),
        mOwner(pOwner),
        mStyle(13, &kX11WindowText, "sans-serif", IText::kStyleNormal, IText::kAlignNear) {}
  ~MenuRun() {
    while (!mLevels.empty()) CloseDeepest();
  }

  IPopupMenu* Run(IPopupMenu* pMenu, int rootX, int rootY);

 private:
  std::string ItemText(const IPopupMenu* pMenu, int i) const;
  bool Open(IPopupMenu* pMenu, int rootX, int rootY);
  void CloseDeepest();
  void Paint(Level* pLevel);
  int LevelOf(Window window) const;
  void Hover(int level, int item);
  void MoveHover(int step);
  bool Handle(XEvent* pEvent);

  Graphics* mGraphics;
  Display* mDisplay;
  int mScale;
  X11MenuOwner* mOwner;
  IText mStyle;
  std::vector<std::unique_ptr<Level>> mLevels;
  IPopupMenu* mChosen = nullptr;
};

std::string MenuRun::ItemText(const IPopupMenu* pMenu, int i) const {
  static const char* const kPrefixes[] = {"", "%1d: ", "%02d: ", "%03d: "};
  char prefix[16] = "";
  const int p = pMenu->GetPrefix();
  if (p >= 1 && p <= 3) snprintf(prefix, sizeof prefix, kPrefixes[p], i + 1);
  return std::string(prefix) + pMenu->GetItemText(i);
}

bool MenuRun::Open(IPopupMenu* pMenu, int rootX, int rootY) {
  if (!pMenu || pMenu->GetNItems() <= 0) return false;
  std::unique_ptr<Level> pLevel(new Level);
  pLevel->menu = pMenu;
  int y = 1, w = kMinWidth;
  for (int i = 0; i < pMenu->GetNItems(); ++i) {
    pLevel->tops.push_back(y);
    const IPopupMenuItem* pItem = pMenu->GetItem(i);
    y += pItem->GetIsSeparator() ? kSeparatorHeight : kItemHeight;
    const std::string text = ItemText(pMenu, i);
    const int textW = X11TextWidth(mGraphics, &mStyle, text.c_str(), (int)text.size());
    const int itemW = kMarginLeft + (pItem->GetIsTitle() ? kTitleIndent : 0) + textW + kMarginRight;
    if (itemW > w) w = itemW;
  }
  pLevel->tops.push_back(y);
  pLevel->w = w;
  pLevel->h = y + 1;
  pLevel->bitmap.resize(pLevel->w, pLevel->h);
  // Kept on the screen.
  const int screen = DefaultScreen(mDisplay);
  const int sw = DisplayWidth(mDisplay, screen), sh = DisplayHeight(mDisplay, screen);
  pLevel->x = rootX + w * mScale > sw ? sw - w * mScale : rootX;
  pLevel->y = rootY + pLevel->h * mScale > sh ? sh - pLevel->h * mScale : rootY;
  if (pLevel->x < 0) pLevel->x = 0;
  if (pLevel->y < 0) pLevel->y = 0;
  XSetWindowAttributes a = {};
  a.override_redirect = True;
  a.save_under = True;
  a.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                 KeyPressMask | StructureNotifyMask;
  pLevel->window = XCreateWindow(mDisplay, DefaultRootWindow(mDisplay), pLevel->x, pLevel->y,
                                 (unsigned)(pLevel->w * mScale), (unsigned)(pLevel->h * mScale), 0,
                                 CopyFromParent, InputOutput, CopyFromParent,
                                 CWOverrideRedirect | CWSaveUnder | CWEventMask, &a);
  if (!pLevel->window) return false;
  XMapRaised(mDisplay, pLevel->window);
  mLevels.push_back(std::move(pLevel));
  return true;
}

void MenuRun::CloseDeepest() {
  XDestroyWindow(mDisplay, mLevels.back()->window);
  mLevels.pop_back();
}

void MenuRun::Paint(Level* pLevel) {
  PX_MemBitmap* pBitmap = &pLevel->bitmap;
  PX_FillRect(pBitmap, 0, 0, pLevel->w, pLevel->h, PxColor(&kX11WindowBorder), 1.0f, 0);
  PX_FillRect(pBitmap, 1, 1, pLevel->w - 2, pLevel->h - 2, PxColor(&kX11WindowBackground), 1.0f, 0);
  IPopupMenu* pMenu = pLevel->menu;
  for (int i = 0; i < pMenu->GetNItems(); ++i) {
    const IPopupMenuItem* pItem = pMenu->GetItem(i);
    const int top = pLevel->tops[i], bottom = pLevel->tops[i + 1];
    if (pItem->GetIsSeparator()) {
      PX_FillRect(pBitmap, 4, (top + bottom) / 2, pLevel->w - 8, 1, PxColor(&kX11WindowBorder),
                  1.0f, 0);
      continue;
    }
    const bool lit = i == pLevel->hover && pItem->GetEnabled();
    if (lit)
      PX_FillRect(pBitmap, 1, top, pLevel->w - 2, bottom - top, PxColor(&kX11WindowHighlight), 1.0f,
                  0);
    mStyle.mColor = lit ? kHighlightText : pItem->GetEnabled() ? kX11WindowText : kDisabledText;
    if (pItem->GetChecked()) {
      PX_FillRect(pBitmap, 8, (top + bottom) / 2 - 3, 6, 6, PxColor(&mStyle.mColor), 1.0f, 0);
    }
    const std::string text = ItemText(pMenu, i);
    RECT r = {kMarginLeft + (pItem->GetIsTitle() ? kTitleIndent : 0), top, pLevel->w, bottom};
    X11DrawText(mGraphics, pBitmap, &mStyle, text.c_str(), -1, &r,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (pItem->GetSubmenu()) {
      RECT arrow = {pLevel->w - kMarginRight + 8, top, pLevel->w, bottom};
      X11DrawText(mGraphics, pBitmap, &mStyle, ">", -1, &arrow,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
  }
  X11PutBitmap(mDisplay, pLevel->window, pBitmap, mScale);
}

int MenuRun::LevelOf(Window window) const {
  for (size_t i = 0; i < mLevels.size(); ++i) {
    if (mLevels[i]->window == window) return (int)i;
  }
  return -1;
}

// Highlights item of a level; deeper levels close, and a submenu opens.
void MenuRun::Hover(int level, int item) {
  while ((int)mLevels.size() > level + 1 && mLevels[level]->hover != item) CloseDeepest();
  Level* pLevel = mLevels[level].get();
  if (pLevel->hover == item) return;
  pLevel->hover = item;
  Paint(pLevel);
  const IPopupMenuItem* pItem = pLevel->menu->GetItem(item);
  if (pItem && pItem->GetEnabled() && pItem->GetSubmenu()) {
    Open(pItem->GetSubmenu(), pLevel->x + pLevel->w * mScale - 2,
         pLevel->y + pLevel->tops[item] * mScale);
  }
}

void MenuRun::MoveHover(int step) {
  Level* pLevel = mLevels.back().get();
  const int n = pLevel->menu->GetNItems();
  int item = pLevel->hover;
  for (int tries = 0; tries < n; ++tries) {
    item = (item + step + n) % n;
    const IPopupMenuItem* pItem = pLevel->menu->GetItem(item);
    if (pItem->GetEnabled() && !pItem->GetIsSeparator()) break;
  }
  pLevel->hover = item;
  Paint(pLevel);
}

// False once the menu is finished.
bool MenuRun::Handle(XEvent* pEvent) {
  const int level = LevelOf(pEvent->xany.window);
  switch (pEvent->type) {
    case Expose:
      if (level >= 0) Paint(mLevels[level].get());
      else mOwner->MenuPassEvent(pEvent);
      return true;
    case MotionNotify:
      for (int l = (int)mLevels.size() - 1; l >= 0; --l) {
        const int item = mLevels[l]->ItemAt(pEvent->xmotion.x_root, pEvent->xmotion.y_root, mScale);
        if (item >= 0) {
          Hover(l, item);
          break;
        }
      }
      return true;
    case ButtonPress:
    case ButtonRelease:
      for (int l = (int)mLevels.size() - 1; l >= 0; --l) {
        const int item = mLevels[l]->ItemAt(pEvent->xbutton.x_root, pEvent->xbutton.y_root, mScale);
        if (item == -2) continue;
        if (pEvent->type == ButtonRelease && Selectable(mLevels[l]->menu->GetItem(item))) {
          mChosen = mLevels[l]->menu;
          mChosen->SetChosenItemIdx(item);
          return false;
        }
        return true;
      }
      // A press outside every level dismisses; the release of the click
      // that opened the menu does not.
      return pEvent->type != ButtonPress;
    case KeyPress: {
      const KeySym sym = XLookupKeysym(&pEvent->xkey, 0);
      Level* pDeepest = mLevels.back().get();
      if (sym == XK_Escape) return false;
      if (sym == XK_Up) MoveHover(-1);
      if (sym == XK_Down) MoveHover(1);
      if (sym == XK_Left && mLevels.size() > 1) CloseDeepest();
      if (sym == XK_Right && pDeepest->hover >= 0) {
        const int item = pDeepest->hover;
        pDeepest->hover = -1;
        Hover((int)mLevels.size() - 1, item);
      }
      if ((sym == XK_Return || sym == XK_KP_Enter) &&
          Selectable(pDeepest->menu->GetItem(pDeepest->hover))) {
        mChosen = pDeepest->menu;
        mChosen->SetChosenItemIdx(pDeepest->hover);
        return false;
      }
      return true;
    }
    default:
      if (level < 0) mOwner->MenuPassEvent(pEvent);
      return true;
  }
}

IPopupMenu* MenuRun::Run(IPopupMenu* pMenu, int rootX, int rootY) {
  if (!Open(pMenu, rootX, rootY)) return nullptr;
  const Window first = mLevels[0]->window;
  XMapRaised(mDisplay, first);
  XSync(mDisplay, False);
  const unsigned mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
  XGrabPointer(mDisplay, first, True, mask, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  XGrabKeyboard(mDisplay, first, True, GrabModeAsync, GrabModeAsync, CurrentTime);
  bool running = true;
  while (running && !mOwner->MenuShouldClose()) {
    if (!XPending(mDisplay)) {
      pollfd p = {ConnectionNumber(mDisplay), POLLIN, 0};
      poll(&p, 1, kWaitMs);
      continue;
    }
    XEvent event;
    XNextEvent(mDisplay, &event);
    running = Handle(&event);
  }
  XUngrabKeyboard(mDisplay, CurrentTime);
  XUngrabPointer(mDisplay, CurrentTime);
  return mChosen;
}

}  // namespace

IPopupMenu* X11RunPopupMenu(Graphics* pGraphics, Display* pDisplay, Window window, int x, int y,
                            int scale, IPopupMenu* pMenu, X11MenuOwner* pOwner) {
  if (!pMenu || !pOwner) return nullptr;
  Window child;
  int rootX = 0, rootY = 0;
  XTranslateCoordinates(pDisplay, window, DefaultRootWindow(pDisplay), x, y, &rootX, &rootY,
                        &child);
  IPopupMenu* pChosen;
  {
    MenuRun run(pGraphics, pDisplay, scale, pOwner);
    pChosen = run.Run(pMenu, rootX, rootY);
  }
  // The menu's windows go now, not at the next idle call.
  XFlush(pDisplay);
  return pChosen;
}
