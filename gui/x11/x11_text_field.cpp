#include "gui/x11/x11_text_field.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <cstring>

#include "gui/x11/x11_paint.h"
#include "raster/raster.h"

namespace {

constexpr int kPadding = 2;

}  // namespace

X11TextField::X11TextField(Graphics* pGraphics, Display* pDisplay, IControl* pControl,
                           IParam* pParam, const IText* pText, const IRECT& r, int scale)
    : mGraphics(pGraphics),
      mDisplay(pDisplay),
      mControl(pControl),
      mParam(pParam),
      mStyle(*pText),
      mRect(r),
      mScale(scale),
      mBitmap(r.W(), r.H()) {
  mStyle.mSize = (int)(0.9 * pText->mSize);
  mStyle.mColor = pText->mTextEntryFGColor;
  mStyle.mCached = nullptr;
  mFormat = ITextEntryFormat::For(pControl, pParam);
}

X11TextField* X11TextField::Open(Graphics* pGraphics, Display* pDisplay, Window parent,
                                 IControl* pControl, const IText* pText, const IRECT& r,
                                 const char* text, IParam* pParam, int scale) {
  if (!pControl || !pText || r.W() <= 0 || r.H() <= 0) return nullptr;
  X11TextField* pField = new X11TextField(pGraphics, pDisplay, pControl, pParam, pText, r, scale);
  pField->mText = text ? text : "";
  pField->mCaret = pField->mText.size();
  XSetWindowAttributes a = {};
  a.event_mask = ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask;
  a.background_pixmap = None;
  pField->mWindow =
      XCreateWindow(pDisplay, parent, r.L * scale, r.T * scale, (unsigned)(r.W() * scale),
                    (unsigned)(r.H() * scale), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWEventMask | CWBackPixmap, &a);
  if (!pField->mWindow) {
    delete pField;
    return nullptr;
  }
  XMapRaised(pDisplay, pField->mWindow);
  // The field takes the keys while it is open.
  XSync(pDisplay, False);
  XSetInputFocus(pDisplay, pField->mWindow, RevertToParent, CurrentTime);
  pField->Paint();
  return pField;
}

X11TextField::~X11TextField() {
  if (mWindow) XDestroyWindow(mDisplay, mWindow);
}

bool X11TextField::Insert(const char* text) {
  std::string edited = mText;
  edited.insert(mCaret, text);
  if (!mFormat.Accepts(edited.c_str())) return false;
  mText = edited;
  mCaret += strlen(text);
  return true;
}

X11TextField::EResult X11TextField::OnKey(XKeyEvent* pEvent) {
  char chars[16];
  KeySym sym = NoSymbol;
  const int n = XLookupString(pEvent, chars, sizeof chars - 1, &sym, nullptr);
  switch (sym) {
    case XK_Return:
    case XK_KP_Enter: return kCommit;
    case XK_Escape: return kCancel;
    case XK_BackSpace:
      if (mCaret > 0) mText.erase(--mCaret, 1);
      break;
    case XK_Delete:
      if (mCaret < mText.size()) mText.erase(mCaret, 1);
      break;
    case XK_Left:
      if (mCaret > 0) --mCaret;
      break;
    case XK_Right:
      if (mCaret < mText.size()) ++mCaret;
      break;
    case XK_Home: mCaret = 0; break;
    case XK_End: mCaret = mText.size(); break;
    default:
      // Printable ASCII only: the field shows one line of plain characters.
      if (n == 1 && chars[0] >= 0x20 && chars[0] < 0x7F) {
        chars[1] = 0;
        Insert(chars);
      }
      break;
  }
  Paint();
  return kEditing;
}

void X11TextField::Paint() {
  const int w = mRect.W(), h = mRect.H();
  PX_FillRect(&mBitmap, 0, 0, w, h, PxColor(&mStyle.mTextEntryBGColor), 1.0f, 0);
  const int textW = X11TextWidth(mGraphics, &mStyle, mText.c_str(), (int)mText.size());
  int x = kPadding;
  if (mStyle.mAlign == IText::kAlignCenter) x = (w - textW) / 2;
  if (mStyle.mAlign == IText::kAlignFar) x = w - kPadding - textW;
  if (x < kPadding) x = kPadding;
  RECT r = {x, 0, w, h};
  X11DrawText(mGraphics, &mBitmap, &mStyle, mText.c_str(), (int)mText.size(), &r,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  const int caretX = x + X11TextWidth(mGraphics, &mStyle, mText.c_str(), (int)mCaret);
  if (caretX < w) {
    PX_FillRect(&mBitmap, caretX, 2, 1, h - 4 > 0 ? h - 4 : h, PxColor(&mStyle.mColor), 1.0f, 0);
  }
  X11PutBitmap(mDisplay, mWindow, &mBitmap, mScale);
}
